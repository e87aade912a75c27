#ifndef PAVENDA_VALIDATION_SHAREDVALIDATOR_H
#define PAVENDA_VALIDATION_SHAREDVALIDATOR_H

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeError.h>
#include <pavenda/TextMap.h>

#include "validation/Checks.h"

namespace pavenda {

/// Checks a decoded record field by field and collects the codes of everything found wrong.
///
/// One shared instance, `sharedValidator()`, for callers who use it as the frame it is: its code
/// list is rewritten by every validation, so such a caller holds `lock()` from a driver's start
/// until the codes have been read. The library's own validations do not use it: they run the checks
/// of validation/Checks.h on a code list of their own and take no lock.
class ZArodezPayMerchantTLVValidator {
public:
  /// The rules of one sub-field of the alternate-language template.
  using SubtagRules = validation::SubtagRules;

  /// The one instance, made on first use.
  static ZArodezPayMerchantTLVValidator& sharedValidator();

  /// Serialises validations: hold it from a driver's start until the codes have been read.
  [[nodiscard]] std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }

  /// The codes collected so far, in the order first raised, each once.
  const std::vector<std::string>& errorCodes() const noexcept { return errorCodes_; }

  /// The append rule: adds `code` at the end unless the list holds it already.
  void append(std::string_view code);

  /// Driver for the single-character scheme: empties the list, runs its checks in their fixed order
  /// and answers the list (empty for an absent record).
  const std::vector<std::string>& validatePayMerchantTLV00(const ZArodezPayMerchantTLV* record);

  /// Driver for the two-digit scheme; the CRC check is separate and follows it.
  const std::vector<std::string>& validatePayMerchantTLV01(const ZArodezPayMerchantTLV* record);

  /// Raises "48" unless `crc` is four hexadecimal digits equal to the CRC of `tlvString` without
  /// its last four characters; nothing when either is absent.
  void validateCRC(const std::optional<std::string>& crc,
                   std::optional<std::string_view> tlvString);

  /// The shared length-and-presence check of template sub-fields.
  void tagMandatoryLengthCheck(std::string_view type, std::string_view tagKeys,
                               const std::optional<TextMap>& dataDictionary, bool isMandatory,
                               int minLenght, int maxLenght);

  /// One error object per collected code, in order; a code without a message gets an empty one.
  std::vector<QRError> errorObjects() const;

  // Merchant identity checks.
  void validateMerchantID(const std::optional<std::string>& id);
  void validateMerchantAccountInformationTemplate(const ZArodezPayMerchantTLV& record);
  static std::string convertMerchantIdToPan(std::string_view id);
  static bool luhnsAlgorithmCheck(std::string_view forMerchantPan);

  // Field format checks.
  void validatePayloadFormatIndicator(const std::optional<std::string>& value);
  void validateMerchantCategoryCode(const std::optional<std::string>& value);
  void validateCountryCode(const std::optional<std::string>& value);
  void validateMerchantName(const std::optional<std::string>& value);
  void validateCityName(const std::optional<std::string>& value);
  void validateCurrencyCode(const std::optional<std::string>& value);
  void validatePostalCode(const std::optional<std::string>& value);

  // Amount, tip and fee checks.
  void validateTransactAmount(const std::optional<std::string>& value);
  void validateTipAndFeeIndicator(const ZArodezPayMerchantTLV& record);
  void validateConvenienceFeeAmount(std::string_view value);
  void validateConveniencePercentage(std::string_view value);

  // Additional data and language template checks.
  void validatePrimaryId(const std::optional<std::string>& value);
  void validateSecondaryId(const std::optional<std::string>& value);
  void validateAdditionalDataField(const ZArodezPayMerchantTLV& record);
  void validateMerchantInformationLanguageTemplate(const ZArodezPayMerchantTLV& record);
  static SubtagRules validateSubtags(std::string_view key) noexcept;

private:
  ZArodezPayMerchantTLVValidator() = default;

  // Runs `check` on a list of its own and adds what it raised to this validator's list.
  void run(const std::function<void(validation::CodeList&)>& check);

  std::vector<std::string> errorCodes_;
  std::mutex mutex_;
};

} // namespace pavenda

#endif
