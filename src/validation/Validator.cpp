#include "validation/Validator.h"

#include "validation/Checks.h"

#include <algorithm>
#include <functional>

#include <pavenda/ErrorConstants.h>

#include "encoding/ZArodezQRUtility.h"
#include "support/AsciiNumber.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"

namespace pavenda {
namespace validation {
namespace {

namespace code = ZArodezErrorConstants;
namespace language = ZArodezErrorConstants::merchantLanguageInformationTemplate;

// The value of four hexadecimal digits in either case, or nothing for anything else: a sign, a
// blank or any other character makes the text no CRC at all.
std::optional<std::uint16_t> parseCrc(std::string_view text) noexcept {
  if (text.size() != 4)
    return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (isAsciiDigit(c))
      digit = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<unsigned>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<unsigned>(c - 'a' + 10);
    else
      return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<std::uint16_t>(value);
}

// The byte offset at which the last four characters of `text` start (0 when it has fewer). When
// the last five bytes are ASCII and hold no CR LF, each of the last four bytes is a character of
// its own: only non-ASCII characters join an ASCII one into a cluster, and none precedes them here.
std::size_t startOfLastFourCharacters(std::string_view text) {
  if (text.size() >= 5) {
    const std::string_view tail = text.substr(text.size() - 5);
    bool bytesAreCharacters = true;
    for (std::size_t i = 0; i < tail.size(); ++i)
      if (static_cast<unsigned char>(tail[i]) >= 0x80 ||
          (tail[i] == '\r' && i + 1 < tail.size() && tail[i + 1] == '\n'))
        bytesAreCharacters = false;
    if (bytesAreCharacters)
      return text.size() - 4;
  }
  const unicode::CharIndex characters(text);
  return characters.size() <= 4 ? 0 : characters.offset(characters.size() - 4);
}

} // namespace

std::vector<QRError> CodeList::errorObjects() const {
  std::vector<QRError> objects;
  objects.reserve(codes_.size());
  for (const std::string_view code : codes_)
    objects.emplace_back(std::string(code),
                         std::string(ZArodezErrorConstantsMap::message(code).value_or("")));
  return objects;
}

void validatePayMerchantTLV00(CodeList& codes, const RecordView& record) {
  using P = RecordView::TextProperty;
  validateMerchantID(codes, record.text(P::zArodezMerchantID));
  validateMerchantName(codes, record.text(P::merchantName));
  validateMerchantCategoryCode(codes, record.text(P::merchantCategoryCode));
  validateCityName(codes, record.text(P::cityName));
  validateCountryCode(codes, record.text(P::countryCode));
  validateCurrencyCode(codes, record.text(P::currencyCode));
  validateTransactAmount(codes, record.text(P::transactionAmount));
  validatePrimaryId(codes, record.text(P::primaryID));
  validateSecondaryId(codes, record.text(P::secondaryID));
  validateTipAndFeeIndicator(codes, record);
}

void validatePayMerchantTLV01(CodeList& codes, const RecordView& record) {
  using P = RecordView::TextProperty;
  validatePayloadFormatIndicator(codes, record.text(P::payloadFormatIndicator));
  validateMerchantID(codes, record.text(P::zArodezMerchantID));
  validateMerchantCategoryCode(codes, record.text(P::merchantCategoryCode));
  validateCurrencyCode(codes, record.text(P::currencyCode));
  validateTransactAmount(codes, record.text(P::transactionAmount));
  validateTipAndFeeIndicator(codes, record);
  validateCountryCode(codes, record.text(P::countryCode));
  validateMerchantName(codes, record.text(P::merchantName));
  validateCityName(codes, record.text(P::cityName));
  validatePostalCode(codes, record.text(P::postalCode));
  validateAdditionalDataField(codes, record);
  validateMerchantInformationLanguageTemplate(codes, record);
  validateMerchantAccountInformationTemplate(codes, record);
}

void validateCRC(CodeList& codes, Text crc, Text tlvString) {
  if (!crc || !tlvString)
    return;
  // Four hexadecimal digits are four characters: a text of any other length fails the parse.
  const std::optional<std::uint16_t> given = parseCrc(*crc);
  if (!given) {
    codes.append(code::crcInvalidValue);
    return;
  }
  // The checksum covers everything before its own four characters, "6304" included.
  const std::string_view text = *tlvString;
  if (ZArodezQRUtility::payloadCrc(text.substr(0, startOfLastFourCharacters(text))) != *given)
    codes.append(code::crcInvalidValue);
}

void tagMandatoryLengthCheck(CodeList& codes, std::string_view type, std::string_view tagKeys,
                             const std::optional<TemplateView>& dataDictionary, bool isMandatory,
                             int minLenght, int maxLenght) {
  subFieldLengthCheck(codes, type, tagKeys,
                      dataDictionary ? dataDictionary->field(tagKeys) : nullptr, isMandatory,
                      minLenght, maxLenght);
}

void subFieldLengthCheck(CodeList& codes, std::string_view type, std::string_view tagKeys,
                         const SubField* field, bool isMandatory, int minLenght, int maxLenght) {
  if (field != nullptr) {
    if (isCountInRange(field->characters(), minLenght, maxLenght))
      return;
    if (tagKeys == "languagePreference")
      codes.append(language::languagePreferenceInvalidTagLength);
    else if (tagKeys == "merchantNameAlternateLanguage")
      codes.append(language::merchantNameInvalidTagLength);
    else if (type == "merchantInformationLanguageTemplate")
      codes.append(language::invalidLengthTag);
    else
      codes.append(code::additionalDataInformationInvalidLength);
    return;
  }
  if (!isMandatory)
    return;
  if (tagKeys == "languagePreference")
    codes.append(language::missingLanguagePreferenceTag);
  else if (tagKeys == "merchantNameAlternateLanguage")
    codes.append(language::missingMerchantNameTag);
}

} // namespace validation

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

} // namespace pavenda
