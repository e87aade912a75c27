#ifndef PAVENDA_VALIDATION_CHECKS_H
#define PAVENDA_VALIDATION_CHECKS_H

// The field checks as functions of the record and one validation's own code list: no shared state,
// so any number of threads validate at once without a lock.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/QRCodeError.h>

#include "decoding/RecordView.h"

namespace pavenda::validation {

// The checks read the record view the decoder fills.
using decoding::RecordView;
using decoding::SubField;
using decoding::TemplateView;
using decoding::Text;

/// What the logic checks found, recorded as they raise their codes so that an explanation words
/// these facts instead of working them out again. Recorded only when a validation asks for them.
struct Facts {
  /// Code "3": the 16-character form of the merchant ID that failed the Luhn test.
  std::string merchantPan;
  /// Code "39" or "40" with the percentage indicator: a fixed fee given instead of the percentage.
  bool feeAmountInsteadOfPercentage = false;
  /// Code "39" with the percentage indicator: neither fee field given.
  bool percentageMissing = false;
  /// Code "39" with the fixed-fee indicator: the fixed fee absent; the percentage present.
  bool fixedFeeMissing = false;
  bool percentageWithFixedFee = false;
  /// Code "48": the given value has four characters but is no hexadecimal number.
  bool crcNotHexadecimal = false;
  /// Code "48": the CRC computed over the payload before the given value, when one was computed.
  std::optional<std::uint16_t> computedCrc;
};

/// The codes one validation raised, in the order first raised, each once. Holds views: every code
/// passed to `append` must outlive the list (the catalogue's constants live for the process).
class CodeList {
public:
  CodeList() noexcept = default;
  /// A list whose checks also record the facts of their findings in `facts`.
  explicit CodeList(Facts* facts) noexcept : facts_(facts) {}

  /// Where the facts of findings go; null when nobody asked for them.
  Facts* facts() const noexcept { return facts_; }

  /// The append rule: adds `code` at the end unless the list holds it already.
  void append(std::string_view code) {
    if (std::find(codes_.begin(), codes_.end(), code) == codes_.end())
      codes_.push_back(code);
  }

  const std::vector<std::string_view>& codes() const noexcept { return codes_; }
  bool empty() const noexcept { return codes_.empty(); }

  /// The codes as owned texts, in order.
  std::vector<std::string> texts() const { return {codes_.begin(), codes_.end()}; }

  /// One error object per code, in order; a code without a message gets an empty one.
  std::vector<QRError> errorObjects() const;

private:
  std::vector<std::string_view> codes_;
  Facts* facts_ = nullptr;
};

/// The rules of one sub-field of the alternate-language template.
struct SubtagRules {
  bool isMandatory;
  int minLenght;
  int maxLenght;
};

// Drivers: each runs its scheme's checks in their fixed order.
void validatePayMerchantTLV00(CodeList& codes, const RecordView& record);
void validatePayMerchantTLV01(CodeList& codes, const RecordView& record);

/// Raises "48" unless `crc` is four hexadecimal digits equal to the CRC of `tlvString` without its
/// last four characters; nothing when either is absent.
void validateCRC(CodeList& codes, Text crc, Text tlvString);

/// The length-and-presence check of one template sub-field `tagKeys` of the template `type`.
void tagMandatoryLengthCheck(CodeList& codes, std::string_view type, std::string_view tagKeys,
                             const std::optional<TemplateView>& dataDictionary, bool isMandatory,
                             int minLenght, int maxLenght);

/// The same check of a sub-field already looked up: `field` null when the template lacks it.
void subFieldLengthCheck(CodeList& codes, std::string_view type, std::string_view tagKeys,
                         const SubField* field, bool isMandatory, int minLenght, int maxLenght);

// Merchant identity checks.
void validateMerchantID(CodeList& codes, Text id);
/// The 16-character PAN form of a merchant ID of 7 to 15 characters; any other ID unchanged.
std::string convertMerchantIdToPan(std::string_view id);
/// Whether the Luhn sum of `forMerchantPan` is a multiple of 10; a non-digit adds nothing.
bool luhnsAlgorithmCheck(std::string_view forMerchantPan);
void validateMerchantAccountInformationTemplate(CodeList& codes, const RecordView& record);

// Field format checks.
void validatePayloadFormatIndicator(CodeList& codes, Text value);
void validateMerchantCategoryCode(CodeList& codes, Text value);
void validateCountryCode(CodeList& codes, Text value);
void validateMerchantName(CodeList& codes, Text value);
void validateCityName(CodeList& codes, Text value);
void validateCurrencyCode(CodeList& codes, Text value);
void validatePostalCode(CodeList& codes, Text value);

// Amount, tip and fee checks.
void validateTransactAmount(CodeList& codes, Text value);
void validateTipAndFeeIndicator(CodeList& codes, const RecordView& record);
void validateConvenienceFeeAmount(CodeList& codes, Text field);
void validateConveniencePercentage(CodeList& codes, Text field);

// Additional data and language template checks.
void validatePrimaryId(CodeList& codes, Text value);
void validateSecondaryId(CodeList& codes, Text value);
void validateAdditionalDataField(CodeList& codes, const RecordView& record);
void validateMerchantInformationLanguageTemplate(CodeList& codes, const RecordView& record);
SubtagRules validateSubtags(std::string_view key) noexcept;

} // namespace pavenda::validation

#endif
