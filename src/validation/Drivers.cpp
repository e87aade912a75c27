// The drivers, the CRC check and the template sub-field check the library's own validations run.

#include "validation/Checks.h"

#include <algorithm>

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
  // The checksum covers everything before its own four characters, "6304" included.
  const std::string_view text = *tlvString;
  const auto computed = [&] {
    return ZArodezQRUtility::payloadCrc(text.substr(0, startOfLastFourCharacters(text)));
  };
  if (!given) {
    codes.append(code::crcInvalidValue);
    // Four characters that are no hexadecimal number: the explanation still names the right CRC.
    if (Facts* facts = codes.facts(); facts && crc.characters() == 4) {
      facts->crcNotHexadecimal = true;
      facts->computedCrc = computed();
    }
    return;
  }
  const std::uint16_t expected = computed();
  if (expected != *given) {
    codes.append(code::crcInvalidValue);
    if (Facts* facts = codes.facts())
      facts->computedCrc = expected;
  }
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

} // namespace pavenda
