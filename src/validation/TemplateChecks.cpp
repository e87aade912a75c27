#include <pavenda/ErrorConstants.h>

#include "encoding/TagCatalogue.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Checks.h"

namespace pavenda::validation {
namespace {

namespace code = ZArodezErrorConstants;

constexpr std::string_view additionalDataType = "AdditionalDataField";
constexpr std::string_view languageTemplateType = "merchantInformationLanguageTemplate";

// The codes one identifier check raises.
struct IdentifierCodes {
  std::string_view invalidLength;
  std::string_view withoutValue;
  std::string_view invalidFormat;
};

// Whether the second character of a "?" identifier is acceptable. The pattern is compiled on first
// use only; should it ever fail to compile, the uncompiled test reports that and answers false.
bool secondCharacterMatches(const std::optional<unicode::Regex>& compiled, std::string_view pattern,
                            std::string_view character) {
  return compiled ? isMatchingRegex(*compiled, character) : isMatchingRegex(pattern, character);
}

// An identifier is 1 to 26 characters not starting with "?", or "?" alone, or "?" and one character
// of the pattern.
void checkIdentifier(CodeList& codes, Text value, const std::optional<unicode::Regex>& compiled,
                     std::string_view pattern, const IdentifierCodes& raise) {
  if (!value)
    return;
  const std::string_view id = *value;
  if (!isLengthInRange(id, 1, 26))
    codes.append(raise.invalidLength);
  if (id.empty()) {
    codes.append(raise.withoutValue);
    return;
  }
  if (characterAt(id, 0) != "?")
    return;
  if (!isLengthInRange(id, 1, 2))
    codes.append(raise.invalidLength);
  if (const std::optional<std::string> second = characterAt(id, 1))
    if (!secondCharacterMatches(compiled, pattern, *second))
      codes.append(raise.invalidFormat);
}

} // namespace

void validatePrimaryId(CodeList& codes, Text value) {
  static const std::optional<unicode::Regex> compiled = unicode::Regex::compile(PRIMARY_ID_REGEX);
  checkIdentifier(codes, value, compiled, PRIMARY_ID_REGEX,
                  {code::primaryIdInvalidLengthOrCharacters, code::primaryIdTagPresentWithoutValue,
                   code::primaryIdInvalidFormat});
}

void validateSecondaryId(CodeList& codes, Text value) {
  static const std::optional<unicode::Regex> compiled = unicode::Regex::compile(SECONDARY_ID_REGEX);
  // The secondary ID has no format code of its own: a wrong second character is a length fault.
  checkIdentifier(codes, value, compiled, SECONDARY_ID_REGEX,
                  {code::secondaryIdInvalidLengthOrCharacters,
                   code::secondaryIdTagPresentWithoutValue,
                   code::secondaryIdInvalidLengthOrCharacters});
}

void validateAdditionalDataField(CodeList& codes, const RecordView& record) {
  const std::optional<TemplateView> additionalData =
      record.map(RecordView::MapProperty::additionalDataFieldTemplate);
  if (!additionalData)
    return;
  for (const auto& [key, value] : *additionalData) {
    if (key == "additionalConsumerDataRequest") {
      if (!isLengthInRange(value, 1, 3))
        codes.append(code::additionalConsumerDataInvalidValue);
      if (value.find_first_not_of("AME") != std::string_view::npos)
        codes.append(code::additionalConsumerDataInvalidValue);
      continue;
    }
    // Keys are unique within a template: `value` is what a look-up of `key` would find.
    subFieldLengthCheck(codes, additionalDataType, key, &value, false, 1, 25);
  }
}

SubtagRules validateSubtags(std::string_view key) noexcept {
  if (key == "languagePreference")
    return {true, 2, 2};
  if (key == "merchantNameAlternateLanguage")
    return {true, 1, 25};
  if (key == "merchantCityAlternateLanguage")
    return {false, 2, 15};
  return {false, 1, 99};
}

void validateMerchantInformationLanguageTemplate(CodeList& codes, const RecordView& record) {
  const std::optional<TemplateView> languageTemplate =
      record.map(RecordView::MapProperty::merchantInformationLanguageTemplate);
  if (!languageTemplate)
    return;
  const auto check = [&](std::string_view key) {
    const SubtagRules rules = validateSubtags(key);
    tagMandatoryLengthCheck(codes, languageTemplateType, key, languageTemplate, rules.isMandatory,
                            rules.minLenght, rules.maxLenght);
  };
  // The known sub-fields first, so that a missing mandatory one is found.
  for (const auto& [subtag, key] : catalogue::merchantInformationLanguageTemplateSubTagDictionary())
    check(key);
  // A known sub-field checked again would raise the same codes, which the append rule drops.
  for (const auto& [key, value] : *languageTemplate)
    if (!catalogue::languageSubtagForKey(key))
      check(key);
}

} // namespace pavenda::validation
