#include <array>

#include <pavenda/ErrorConstants.h>

#include "encoding/TagCatalogue.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Checks.h"
#include "validation/Rules.h"

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
                     std::string_view pattern, const rules::FieldRule& rule,
                     const IdentifierCodes& raise) {
  if (!value)
    return;
  const std::string_view id = *value;
  const std::size_t characters = value.characters();
  if (characters < rule.minLength || characters > rule.maxLength)
    codes.append(raise.invalidLength);
  if (id.empty()) {
    codes.append(raise.withoutValue);
    return;
  }
  if (characterAt(id, 0) != rules::shortFormPrefix)
    return;
  if (characters < rule.minLength || characters > rules::shortFormMaxLength)
    codes.append(raise.invalidLength);
  if (const std::optional<std::string> second = characterAt(id, 1))
    if (!secondCharacterMatches(compiled, pattern, *second))
      codes.append(raise.invalidFormat);
}

} // namespace

void validatePrimaryId(CodeList& codes, Text value) {
  static const std::optional<unicode::Regex> compiled = unicode::Regex::compile(PRIMARY_ID_REGEX);
  checkIdentifier(codes, value, compiled, PRIMARY_ID_REGEX, rules::primaryId,
                  {rules::primaryId.lengthCode, code::primaryIdTagPresentWithoutValue,
                   code::primaryIdInvalidFormat});
}

void validateSecondaryId(CodeList& codes, Text value) {
  static const std::optional<unicode::Regex> compiled = unicode::Regex::compile(SECONDARY_ID_REGEX);
  // The secondary ID has no format code of its own: a wrong second character is a length fault.
  checkIdentifier(codes, value, compiled, SECONDARY_ID_REGEX, rules::secondaryId,
                  {rules::secondaryId.lengthCode, code::secondaryIdTagPresentWithoutValue,
                   rules::secondaryId.lengthCode});
}

void validateAdditionalDataField(CodeList& codes, const RecordView& record) {
  const std::optional<TemplateView> additionalData =
      record.map(RecordView::MapProperty::additionalDataFieldTemplate);
  if (!additionalData)
    return;
  constexpr const rules::FieldRule& consumerData = rules::additionalConsumerDataRequest;
  constexpr const rules::FieldRule& other = rules::additionalDataSubField;
  for (const SubField& field : *additionalData) {
    if (field.key == consumerData.field) {
      const std::size_t characters = field.characters();
      if (characters < consumerData.minLength || characters > consumerData.maxLength)
        codes.append(consumerData.lengthCode);
      if (field.value.find_first_not_of(consumerData.allowed) != std::string_view::npos)
        codes.append(consumerData.lengthCode);
      continue;
    }
    // Keys are unique within a template: `field` is what a look-up of its key would find.
    subFieldLengthCheck(codes, additionalDataType, field.key, &field, false,
                        static_cast<int>(other.minLength), static_cast<int>(other.maxLength));
  }
}

namespace {

constexpr SubtagRules rulesOfSubtag(std::string_view key) noexcept {
  const rules::FieldRule& rule = rules::languageSubField(key);
  return {!rule.absentCode.empty(), static_cast<int>(rule.minLength),
          static_cast<int>(rule.maxLength)};
}

constexpr auto& languageEntries = catalogue::languageEntries;

// The rules of the known sub-fields, in sub-tag order.
constexpr std::array<SubtagRules, languageEntries.size()> knownRules = [] {
  std::array<SubtagRules, languageEntries.size()> rules{};
  for (std::size_t i = 0; i < rules.size(); ++i)
    rules[i] = rulesOfSubtag(languageEntries[i].key);
  return rules;
}();

} // namespace

SubtagRules validateSubtags(std::string_view key) noexcept {
  return rulesOfSubtag(key);
}

void validateMerchantInformationLanguageTemplate(CodeList& codes, const RecordView& record) {
  const std::optional<TemplateView> languageTemplate =
      record.map(RecordView::MapProperty::merchantInformationLanguageTemplate);
  if (!languageTemplate)
    return;
  // One pass finds where each known sub-field stands (keys are unique within a template).
  std::array<const SubField*, languageEntries.size()> known{};
  bool anyUnknown = false;
  for (const SubField& field : *languageTemplate) {
    std::size_t i = 0;
    while (i < languageEntries.size() && languageEntries[i].key != field.key)
      ++i;
    if (i < languageEntries.size())
      known[i] = &field;
    else
      anyUnknown = true;
  }
  // The known sub-fields first, so that a missing mandatory one is found.
  for (std::size_t i = 0; i < languageEntries.size(); ++i)
    subFieldLengthCheck(codes, languageTemplateType, languageEntries[i].key, known[i],
                        knownRules[i].isMandatory, knownRules[i].minLenght,
                        knownRules[i].maxLenght);
  if (!anyUnknown)
    return;
  for (const SubField& field : *languageTemplate) {
    if (catalogue::languageSubtagForKey(field.key))
      continue;
    const SubtagRules rules = rulesOfSubtag(field.key);
    subFieldLengthCheck(codes, languageTemplateType, field.key, &field, rules.isMandatory,
                        rules.minLenght, rules.maxLenght);
  }
}

} // namespace pavenda::validation
