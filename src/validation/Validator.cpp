#include "validation/Validator.h"

#include <algorithm>

#include <pavenda/ErrorConstants.h>

#include "encoding/ZArodezQRUtility.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"

namespace pavenda {
namespace {

namespace codes = ZArodezErrorConstants;
namespace language = ZArodezErrorConstants::merchantLanguageInformationTemplate;

// The value of four hexadecimal digits in either case, or nothing for anything else: a sign, a
// blank or any other character makes the text no CRC at all.
std::optional<std::uint16_t> parseCrc(std::string_view text) noexcept {
  if (text.size() != 4)
    return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9')
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
    if (unicode::isAscii(tail) && tail.find("\r\n") == std::string_view::npos)
      return text.size() - 4;
  }
  const unicode::CharIndex characters(text);
  return characters.size() <= 4 ? 0 : characters.offset(characters.size() - 4);
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

const std::vector<std::string>&
ZArodezPayMerchantTLVValidator::validatePayMerchantTLV00(const ZArodezPayMerchantTLV* record) {
  errorCodes_.clear();
  if (record == nullptr)
    return errorCodes_;
  validateMerchantID(record->zArodezMerchantID());
  validateMerchantName(record->merchantName());
  validateMerchantCategoryCode(record->merchantCategoryCode());
  validateCityName(record->cityName());
  validateCountryCode(record->countryCode());
  validateCurrencyCode(record->currencyCode());
  validateTransactAmount(record->transactionAmount());
  validatePrimaryId(record->primaryID());
  validateSecondaryId(record->secondaryID());
  validateTipAndFeeIndicator(*record);
  return errorCodes_;
}

const std::vector<std::string>&
ZArodezPayMerchantTLVValidator::validatePayMerchantTLV01(const ZArodezPayMerchantTLV* record) {
  errorCodes_.clear();
  if (record == nullptr)
    return errorCodes_;
  validatePayloadFormatIndicator(record->payloadFormatIndicator());
  validateMerchantID(record->zArodezMerchantID());
  validateMerchantCategoryCode(record->merchantCategoryCode());
  validateCurrencyCode(record->currencyCode());
  validateTransactAmount(record->transactionAmount());
  validateTipAndFeeIndicator(*record);
  validateCountryCode(record->countryCode());
  validateMerchantName(record->merchantName());
  validateCityName(record->cityName());
  validatePostalCode(record->postalCode());
  validateAdditionalDataField(*record);
  validateMerchantInformationLanguageTemplate(*record);
  validateMerchantAccountInformationTemplate(*record);
  return errorCodes_;
}

void ZArodezPayMerchantTLVValidator::validateCRC(const std::optional<std::string>& crc,
                                                 std::optional<std::string_view> tlvString) {
  if (!crc || !tlvString)
    return;
  if (unicode::characterCount(*crc) != 4) {
    append(codes::crcInvalidValue);
    return;
  }
  const std::optional<std::uint16_t> given = parseCrc(*crc);
  if (!given) {
    append(codes::crcInvalidValue);
    return;
  }
  // The checksum covers everything before its own four characters, "6304" included.
  const std::string_view text = *tlvString;
  if (ZArodezQRUtility::payloadCrc(text.substr(0, startOfLastFourCharacters(text))) != *given)
    append(codes::crcInvalidValue);
}

void ZArodezPayMerchantTLVValidator::tagMandatoryLengthCheck(
    std::string_view type, std::string_view tagKeys, const std::optional<TextMap>& dataDictionary,
    bool isMandatory, int minLenght, int maxLenght) {
  const std::string* value = dataDictionary ? dataDictionary->find(tagKeys) : nullptr;
  if (value != nullptr) {
    if (isLengthInRange(*value, minLenght, maxLenght))
      return;
    if (tagKeys == "languagePreference")
      append(language::languagePreferenceInvalidTagLength);
    else if (tagKeys == "merchantNameAlternateLanguage")
      append(language::merchantNameInvalidTagLength);
    else if (type == "merchantInformationLanguageTemplate")
      append(language::invalidLengthTag);
    else
      append(codes::additionalDataInformationInvalidLength);
    return;
  }
  if (!isMandatory)
    return;
  if (tagKeys == "languagePreference")
    append(language::missingLanguagePreferenceTag);
  else if (tagKeys == "merchantNameAlternateLanguage")
    append(language::missingMerchantNameTag);
}

std::vector<QRError> ZArodezPayMerchantTLVValidator::errorObjects() const {
  std::vector<QRError> objects;
  objects.reserve(errorCodes_.size());
  for (const std::string& code : errorCodes_)
    objects.emplace_back(code, std::string(ZArodezErrorConstantsMap::message(code).value_or("")));
  return objects;
}

} // namespace pavenda
