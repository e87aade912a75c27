#ifndef PAVENDA_VALIDATION_CHECKS_H
#define PAVENDA_VALIDATION_CHECKS_H

// The field checks as functions of the record and one validation's own code list: no shared state,
// so any number of threads validate at once without a lock.

#include <algorithm>
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

/// The codes one validation raised, in the order first raised, each once. Holds views: every code
/// passed to `append` must outlive the list (the catalogue's constants live for the process).
class CodeList {
public:
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
