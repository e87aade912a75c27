#include "validation/SharedValidator.h"

#include <algorithm>
#include <functional>

#include <pavenda/ErrorConstants.h>

#include "validation/Checks.h"

namespace pavenda {

namespace {

validation::Text viewOf(const std::optional<std::string>& value) noexcept {
  return value ? validation::Text(*value) : std::nullopt;
}

} // namespace

ZArodezPayMerchantTLVValidator& ZArodezPayMerchantTLVValidator::sharedValidator() {
  static ZArodezPayMerchantTLVValidator instance;
  return instance;
}

void ZArodezPayMerchantTLVValidator::append(std::string_view code) {
  if (std::find(errorCodes_.begin(), errorCodes_.end(), code) == errorCodes_.end())
    errorCodes_.emplace_back(code);
}

void ZArodezPayMerchantTLVValidator::run(const std::function<void(validation::CodeList&)>& check) {
  validation::CodeList codes;
  check(codes);
  for (const std::string_view code : codes.codes())
    append(code);
}

const std::vector<std::string>&
ZArodezPayMerchantTLVValidator::validatePayMerchantTLV00(const ZArodezPayMerchantTLV* record) {
  errorCodes_.clear();
  if (record != nullptr) {
    const validation::RecordView view(*record);
    run([&](validation::CodeList& codes) { validation::validatePayMerchantTLV00(codes, view); });
  }
  return errorCodes_;
}

const std::vector<std::string>&
ZArodezPayMerchantTLVValidator::validatePayMerchantTLV01(const ZArodezPayMerchantTLV* record) {
  errorCodes_.clear();
  if (record != nullptr) {
    const validation::RecordView view(*record);
    run([&](validation::CodeList& codes) { validation::validatePayMerchantTLV01(codes, view); });
  }
  return errorCodes_;
}

void ZArodezPayMerchantTLVValidator::validateCRC(const std::optional<std::string>& crc,
                                                 std::optional<std::string_view> tlvString) {
  const validation::Text payload = tlvString ? validation::Text(*tlvString) : std::nullopt;
  run([&](validation::CodeList& codes) { validation::validateCRC(codes, viewOf(crc), payload); });
}

void ZArodezPayMerchantTLVValidator::tagMandatoryLengthCheck(
    std::string_view type, std::string_view tagKeys, const std::optional<TextMap>& dataDictionary,
    bool isMandatory, int minLenght, int maxLenght) {
  std::vector<validation::SubField> fields;
  if (dataDictionary)
    for (const auto& [key, value] : *dataDictionary)
      fields.push_back({key, value});
  const std::optional<validation::TemplateView> view =
      dataDictionary ? std::optional(validation::TemplateView(fields.data(), fields.size()))
                     : std::nullopt;
  run([&](validation::CodeList& codes) {
    validation::tagMandatoryLengthCheck(codes, type, tagKeys, view, isMandatory, minLenght,
                                        maxLenght);
  });
}

std::vector<QRError> ZArodezPayMerchantTLVValidator::errorObjects() const {
  std::vector<QRError> objects;
  objects.reserve(errorCodes_.size());
  for (const std::string& code : errorCodes_)
    objects.emplace_back(code, std::string(ZArodezErrorConstantsMap::message(code).value_or("")));
  return objects;
}

// Each field check runs on a list of its own whose codes then join this validator's list; the
// append rule makes that the same as raising them here directly.
#define PAVENDA_TEXT_CHECK(name)                                                                   \
  void ZArodezPayMerchantTLVValidator::name(const std::optional<std::string>& value) {             \
    run([&](validation::CodeList& codes) { validation::name(codes, viewOf(value)); });             \
  }
#define PAVENDA_RECORD_CHECK(name)                                                                 \
  void ZArodezPayMerchantTLVValidator::name(const ZArodezPayMerchantTLV& record) {                 \
    const validation::RecordView view(record);                                                     \
    run([&](validation::CodeList& codes) { validation::name(codes, view); });                      \
  }
#define PAVENDA_VALUE_CHECK(name)                                                                  \
  void ZArodezPayMerchantTLVValidator::name(std::string_view value) {                              \
    run([&](validation::CodeList& codes) { validation::name(codes, value); });                     \
  }
PAVENDA_TEXT_CHECK(validateMerchantID)
PAVENDA_TEXT_CHECK(validatePayloadFormatIndicator)
PAVENDA_TEXT_CHECK(validateMerchantCategoryCode)
PAVENDA_TEXT_CHECK(validateCountryCode)
PAVENDA_TEXT_CHECK(validateMerchantName)
PAVENDA_TEXT_CHECK(validateCityName)
PAVENDA_TEXT_CHECK(validateCurrencyCode)
PAVENDA_TEXT_CHECK(validatePostalCode)
PAVENDA_TEXT_CHECK(validateTransactAmount)
PAVENDA_TEXT_CHECK(validatePrimaryId)
PAVENDA_TEXT_CHECK(validateSecondaryId)
PAVENDA_RECORD_CHECK(validateMerchantAccountInformationTemplate)
PAVENDA_RECORD_CHECK(validateTipAndFeeIndicator)
PAVENDA_RECORD_CHECK(validateAdditionalDataField)
PAVENDA_RECORD_CHECK(validateMerchantInformationLanguageTemplate)
PAVENDA_VALUE_CHECK(validateConvenienceFeeAmount)
PAVENDA_VALUE_CHECK(validateConveniencePercentage)
#undef PAVENDA_TEXT_CHECK
#undef PAVENDA_RECORD_CHECK
#undef PAVENDA_VALUE_CHECK

ZArodezPayMerchantTLVValidator::SubtagRules
ZArodezPayMerchantTLVValidator::validateSubtags(std::string_view key) noexcept {
  return validation::validateSubtags(key);
}

std::string ZArodezPayMerchantTLVValidator::convertMerchantIdToPan(std::string_view id) {
  return validation::convertMerchantIdToPan(id);
}

bool ZArodezPayMerchantTLVValidator::luhnsAlgorithmCheck(std::string_view forMerchantPan) {
  return validation::luhnsAlgorithmCheck(forMerchantPan);
}

} // namespace pavenda
