#include "explanation/Findings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <utility>
#include <variant>

#include <pavenda/ErrorConstants.h>

#include "decoding/SingleCharacterTags.h"
#include "encoding/TagCatalogue.h"
#include "encoding/ZArodezQRUtility.h"
#include "support/AsciiNumber.h"
#include "support/DecimalText.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Checks.h"
#include "validation/Rules.h"

namespace pavenda::explain {
namespace {

using MapProperty = ZARODEZMerchantTLV::MapProperty;

std::string quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  out += text;
  out += '\'';
  // A combining mark or joiner at the start would sit on the quote mark: it goes on a dotted
  // circle.
  if (!unicode::startsCharacterAfterPrintable(out, 1))
    out.insert(1, "\u25CC");
  return out;
}

// Said of every explanation of a payload that does not start with "00".
constexpr std::string_view singleCharacterNote =
    " (read in the single-character scheme because it does not start with 00)";

std::string plural(std::size_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

// The first code point of `text` for which `test` holds, as its own text.
std::optional<std::string> firstCodePoint(std::string_view text,
                                          const std::function<bool(std::string_view)>& test) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    const std::int32_t start = i;
    unicode::nextCodePoint(bytes, i, length);
    const std::string_view point =
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start));
    if (test(point))
      return std::string(point);
  }
  return std::nullopt;
}

std::optional<std::string> firstNonDigit(std::string_view text) {
  return firstCodePoint(text, [](std::string_view c) { return !unicode::allDecimalDigits(c); });
}

std::optional<std::string> firstLetter(std::string_view text) {
  return firstCodePoint(text, [](std::string_view c) { return unicode::containsLetter(c); });
}

std::optional<std::string> firstNeitherDigitNorPeriod(std::string_view text) {
  return firstCodePoint(
      text, [](std::string_view c) { return unicode::containsOtherThanDigitsAnd(c, '.'); });
}

// How a text of digits 0-9 and periods parses as a decimal number: nothing when it does not (no
// digit 0-9, two periods, a digit of another script), else its value.
std::optional<double> decimalValue(std::string_view text) {
  return parseDecimal(text);
}

// A decimal bound as the rules write it, with two decimals.
std::string decimalText(double value) {
  char text[32];
  const int written = std::snprintf(text, sizeof text, "%.2f", value);
  return std::string(text, written > 0 ? static_cast<std::size_t>(written) : 0);
}

// The characters of `set` in words: "A, M and E".
std::string listed(std::string_view set) {
  std::string text;
  for (std::size_t i = 0; i < set.size(); ++i)
    text += (i == 0 ? "" : i + 1 == set.size() ? " and " : ", ") + std::string(1, set[i]);
  return text;
}

// A CRC as four upper-case hexadecimal digits.
std::string crcText(std::uint16_t crc) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(crc));
  return std::string(text, 4);
}

// The ranges of a one-class pattern in words: "^[1-9a-qA-Q]" is "1-9, a-q or A-Q".
std::string rangesOf(std::string_view pattern) {
  const std::size_t open = pattern.find('[');
  const std::size_t close = pattern.rfind(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::string(pattern);
  const std::string_view ranges = pattern.substr(open + 1, close - open - 1);
  std::string text;
  for (std::size_t i = 0; i < ranges.size(); i += 3) {
    const bool last = i + 3 >= ranges.size();
    text += (i == 0 ? "" : last ? " or " : ", ") + std::string(ranges.substr(i, 3));
  }
  return text;
}

namespace rules = validation::rules;

// Explains the codes of one record.
class Explainer {
public:
  Explainer(const ZArodezPayMerchantTLV& record, std::string_view payload,
            const validation::Facts& facts)
      : record_(record), payload_(payload), facts_(facts),
        singleCharacter_(!record.payloadFormatIndicator()) {}

  Finding explain(std::string_view code) const;

private:
  // A top-level text field by its key.
  FindingField field(std::string_view key) const {
    const auto value = record_.valueForKey(key);
    std::optional<std::string> text;
    if (const auto* held = std::get_if<std::string>(&value))
      text = *held;
    return {std::string(tagOf(key)), std::nullopt, std::string(key), std::move(text)};
  }

  std::string_view tagOf(std::string_view key) const { return tagOfField(key, singleCharacter_); }

  // How a field is named in a detail: "merchantName (tag 59)".
  static std::string named(const FindingField& f) {
    std::string name = f.field + " (tag " + f.tag;
    if (f.subtag)
      name += ", sub-tag " + *f.subtag;
    return name + ")";
  }

  // A length rule broken by `f`: "has 31 characters; at most 25 are allowed".
  static std::string lengthDetail(const FindingField& f, std::size_t minimum, std::size_t maximum,
                                  std::string_view unit = "character") {
    const std::size_t count = unicode::characterCount(f.value.value_or(""));
    const std::string subject = named(f);
    if (count == 0)
      return subject + " is empty; " +
             (minimum == maximum
                  ? "exactly " + plural(minimum, unit) + " are required"
                  : std::to_string(minimum) + " to " + plural(maximum, unit) + " are required");
    std::string has = subject + " has " + plural(count, unit) + "; ";
    if (minimum == maximum)
      return has + "exactly " + std::to_string(minimum) + " " + (minimum == 1 ? "is" : "are") +
             " required";
    if (count < minimum)
      return has + "at least " + std::to_string(minimum) + " are required";
    return has + "at most " + std::to_string(maximum) + " are allowed";
  }

  static bool lengthOutside(const FindingField& f, std::size_t minimum, std::size_t maximum) {
    const std::size_t count = unicode::characterCount(f.value.value_or(""));
    return count < minimum || count > maximum;
  }

  // The same for the bounds and unit of `rule`.
  static std::string lengthDetail(const FindingField& f, const rules::FieldRule& rule) {
    return lengthDetail(f, rule.minLength, rule.maxLength, rule.unit);
  }

  static bool lengthOutside(const FindingField& f, const rules::FieldRule& rule) {
    return lengthOutside(f, rule.minLength, rule.maxLength);
  }

  static std::string absent(const FindingField& f) {
    return named(f) + " is absent; it is required";
  }

  static std::string emptyButPresent(const FindingField& f) {
    return named(f) + " is present but empty; leave the tag out when it has no value";
  }

  static Finding make(std::string_view code, std::vector<FindingField> fields, std::string detail) {
    return {std::string(code), std::string(ZArodezErrorConstantsMap::message(code).value_or("")),
            std::move(fields), std::move(detail)};
  }

  static std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
      text += (text.empty() ? "" : "; ") + part;
    return text;
  }

  Finding merchantId(std::string_view code) const;
  Finding currency(std::string_view code) const;
  Finding amount(std::string_view code) const;
  Finding identifier(std::string_view code, std::string_view key) const;
  Finding feeAmount(std::string_view code) const;
  Finding feePercentage(std::string_view code) const;
  Finding tipAndFee(std::string_view code) const;
  Finding additionalData(std::string_view code) const;
  Finding accountTemplates(std::string_view code) const;
  Finding languageTemplate(std::string_view code) const;
  Finding crc(std::string_view code) const;

  const ZArodezPayMerchantTLV& record_;
  std::string_view payload_;
  const validation::Facts& facts_;
  bool singleCharacter_;
};

Finding Explainer::merchantId(std::string_view code) const {
  const FindingField id = field("zArodezMerchantID");
  const std::string value = id.value.value_or("");
  std::string detail;
  if (code == "1") {
    detail = named(id) + " starts with " + quoted(value.substr(0, 1)) + "; it must start with " +
             std::string(rules::merchantId.allowed);
  } else if (code == "2") {
    detail = lengthDetail(id, rules::merchantId);
  } else if (code == "3") {
    detail = named(id) + " fails the Luhn check-digit test, taken over its 16-digit form " +
             facts_.merchantPan;
  } else if (value.empty()) {
    detail = named(id) + " is empty; it must be an unsigned decimal number";
  } else if (const auto other = firstCodePoint(
                 std::string_view(value).substr(value[0] == '+' ? 1 : 0),
                 [](std::string_view c) { return c.size() != 1 || c[0] < '0' || c[0] > '9'; })) {
    detail = named(id) + " holds " + quoted(*other) + ", which is not a digit 0-9";
  } else {
    detail = named(id) + " exceeds " + std::string(rules::largestMerchantIdNumber) +
             ", the largest number it may hold";
  }
  return make(code, {id}, detail);
}

Finding Explainer::currency(std::string_view code) const {
  const FindingField f = field("currencyCode");
  if (code == "15")
    return make(code, {f}, absent(f));
  if (!f.value)
    return make(code, {f}, absent(f));
  const std::string& value = *f.value;
  if (lengthOutside(f, rules::currencyCode))
    return make(code, {f}, lengthDetail(f, rules::currencyCode));
  if (const auto other = firstNonDigit(value))
    return make(code, {f},
                named(f) + " holds " + quoted(*other) + ", which is not a decimal digit");
  return make(code, {f},
              named(f) + " is " + quoted(value) +
                  ", which is not a known ISO 4217 numeric currency code");
}

Finding Explainer::amount(std::string_view code) const {
  const FindingField f = field("transactionAmount");
  if (!f.value)
    return make(code, {f}, named(f) + " is absent");
  const std::string& value = *f.value;
  constexpr const rules::FieldRule& rule = rules::transactionAmount;
  if (code == "16") {
    if (unicode::allDecimalDigits(value))
      return make(code, {f}, lengthDetail(f, rule));
    return make(code, {f},
                lengthDetail(f, rule.minLength, rules::transactionAmountMaxLengthWithPeriod) +
                    " (" + std::to_string(rule.maxLength) + " without a period)");
  }
  if (code == "18")
    return make(code, {f}, emptyButPresent(f));
  if (const auto letter = firstLetter(value))
    return make(code, {f}, named(f) + " holds the letter " + quoted(*letter));
  if (const auto other = firstNeitherDigitNorPeriod(value))
    return make(code, {f},
                named(f) + " holds " + quoted(*other) +
                    ", which is neither a decimal digit nor a period");
  if (!decimalValue(value))
    return make(code, {f},
                named(f) + " " + quoted(value) +
                    " is not a decimal number (digits 0-9 with at most one period)");
  return make(code, {f}, named(f) + " is " + quoted(value) + "; it must be greater than 0");
}

Finding Explainer::identifier(std::string_view code, std::string_view key) const {
  const FindingField f = field(key);
  if (!f.value)
    return make(code, {f}, named(f) + " is absent");
  const std::string& value = *f.value;
  if (code == "21" || code == "25")
    return make(code, {f}, emptyButPresent(f));
  const rules::FieldRule& rule =
      key == rules::primaryId.field ? rules::primaryId : rules::secondaryId;
  const std::string prefix = quoted(rules::shortFormPrefix);
  std::vector<std::string> reasons;
  if (lengthOutside(f, rule))
    reasons.push_back(lengthDetail(f, rule));
  const std::size_t count = unicode::characterCount(value);
  const bool shortForm = value.starts_with(rules::shortFormPrefix);
  if (shortForm && count > rules::shortFormMaxLength && code != "23")
    reasons.push_back(named(f) + " starts with " + prefix + ", and an identifier starting with " +
                      prefix + " has at most " + std::to_string(rules::shortFormMaxLength) +
                      " characters");
  if (shortForm && count >= 2 && (code == "23" || code == "24")) {
    const std::string second = characterAt(value, 1).value_or("");
    const std::string_view pattern =
        key == rules::primaryId.field ? PRIMARY_ID_REGEX : SECONDARY_ID_REGEX;
    if (!isMatchingRegex(pattern, second))
      reasons.push_back(named(f) + " has " + quoted(second) + " after " + prefix + "; only " +
                        rangesOf(pattern) + " may follow it");
  }
  return make(code, {f}, joined(reasons));
}

Finding Explainer::feeAmount(std::string_view code) const {
  const FindingField f = field("convenienceFeeAmount");
  if (!f.value)
    return make(code, {f}, named(f) + " is absent");
  const std::string& value = *f.value;
  if (code == "34")
    return make(code, {f}, emptyButPresent(f));
  std::vector<std::string> reasons;
  if (code == "31") {
    if (lengthOutside(f, rules::convenienceFeeAmount))
      reasons.push_back(lengthDetail(f, rules::convenienceFeeAmount));
    if (const auto letter = firstLetter(value))
      reasons.push_back(named(f) + " holds the letter " + quoted(*letter));
  } else if (const auto other = firstNeitherDigitNorPeriod(value)) {
    reasons.push_back(named(f) + " holds " + quoted(*other) +
                      ", which is neither a decimal digit nor a period");
  } else if (!decimalValue(value)) {
    reasons.push_back(named(f) + " " + quoted(value) +
                      " is not a decimal number (digits 0-9 with at most one period)");
  } else {
    reasons.push_back(named(f) + " is " + quoted(value) + "; it must be greater than 0");
  }
  return make(code, {f}, joined(reasons));
}

Finding Explainer::feePercentage(std::string_view code) const {
  const FindingField f = field("convenienceFeePercentage");
  if (!f.value)
    return make(code, {f}, named(f) + " is absent");
  const std::string& value = *f.value;
  if (code == "38")
    return make(code, {f}, emptyButPresent(f));
  if (code == "35")
    return make(code, {f}, lengthDetail(f, rules::convenienceFeePercentage));
  if (const auto other = firstCodePoint(value, [](std::string_view c) {
        return unicode::containsLetter(c) || unicode::containsOtherThanDigitsAnd(c, '.');
      }))
    return make(code, {f},
                named(f) + " holds " + quoted(*other) +
                    ", which is neither a decimal digit nor a period");
  const std::optional<double> number = decimalValue(value);
  if (!number)
    return make(code, {f},
                named(f) + " " + quoted(value) +
                    " is not a decimal number (digits 0-9 with at most one period)");
  return make(code, {f},
              named(f) + " is " + quoted(value) + "; it must be from " +
                  decimalText(rules::minimumPercentage) + " to " +
                  decimalText(rules::maximumPercentage));
}

Finding Explainer::tipAndFee(std::string_view code) const {
  const FindingField indicator = field("tipAndFeeIndicator");
  const FindingField amount = field("convenienceFeeAmount");
  const FindingField percentage = field("convenienceFeePercentage");
  const std::string allowed = std::string(rules::tipPrompt) + ", " + std::string(rules::fixedFee) +
                              " or " + std::string(rules::percentageFee);
  if (code == "28")
    return make(code, {indicator},
                !indicator.value || indicator.value->empty()
                    ? named(indicator) + " is empty; it must be " + allowed
                    : named(indicator) + " is " + quoted(*indicator.value) + "; it must be " +
                          allowed);
  if (code == "30")
    return make(code, {indicator}, emptyButPresent(indicator));

  std::vector<FindingField> fields{indicator};
  std::vector<std::string> reasons;
  const std::string setting = indicator.value ? named(indicator) + " is " + quoted(*indicator.value)
                                              : named(indicator) + " is absent";
  if (code == "29") {
    for (const FindingField* fee : {&amount, &percentage})
      if (fee->value) {
        fields.push_back(*fee);
        reasons.push_back(named(*fee) + " is present although " + setting +
                          "; a fee field needs the indicator " + std::string(rules::fixedFee) +
                          " or " + std::string(rules::percentageFee));
      }
  } else if (facts_.feeAmountInsteadOfPercentage) {
    fields.push_back(percentage);
    fields.push_back(amount);
    reasons.push_back(setting + " (a percentage fee) but the payload gives " + named(amount) +
                      " instead of " + named(percentage));
  } else if (facts_.percentageMissing) {
    fields.push_back(percentage);
    reasons.push_back(setting + " (a percentage fee) but " + named(percentage) + " is absent");
  } else {
    if (facts_.fixedFeeMissing) {
      fields.push_back(amount);
      reasons.push_back(setting + " (a fixed fee) but " + named(amount) + " is absent");
    }
    if (facts_.percentageWithFixedFee) {
      fields.push_back(percentage);
      reasons.push_back(setting + " (a fixed fee) but " + named(percentage) +
                        " is present; only the fixed fee belongs with it");
    }
  }
  return make(code, std::move(fields), joined(reasons));
}

Finding Explainer::additionalData(std::string_view code) const {
  std::vector<FindingField> fields;
  std::vector<std::string> reasons;
  const TextMap& data = record_.additionalDataFieldTemplate().value_or(TextMap{});
  constexpr const rules::FieldRule& consumerData = rules::additionalConsumerDataRequest;
  for (const auto& [key, value] : data) {
    // A sub-field outside the key table is held under its own sub-tag.
    const auto tag = catalogue::tagForKey(key);
    const bool inTable = tag && tag->size() == 4;
    FindingField f{
        std::string(catalogue::tagForKey(rules::additionalDataSubField.field).value_or("")),
        std::string(inTable ? tag->substr(2) : std::string_view(key)), std::string(key), value};
    if (code == "46" && key == consumerData.field) {
      if (lengthOutside(f, consumerData))
        reasons.push_back(lengthDetail(f, consumerData));
      if (const auto other = firstCodePoint(value, [](std::string_view c) {
            return c.size() != 1 || consumerData.allowed.find(c[0]) == std::string_view::npos;
          }))
        reasons.push_back(named(f) + " holds " + quoted(*other) + "; only " +
                          listed(consumerData.allowed) + " are allowed");
      fields.push_back(std::move(f));
    } else if (code == "45" && key != consumerData.field &&
               lengthOutside(f, rules::additionalDataSubField)) {
      reasons.push_back(lengthDetail(f, rules::additionalDataSubField));
      fields.push_back(std::move(f));
    }
  }
  return make(code, std::move(fields), joined(reasons));
}

Finding Explainer::accountTemplates(std::string_view code) const {
  std::vector<FindingField> fields;
  std::vector<std::string> reasons;
  for (int t = rules::firstAccountTemplate; t <= rules::lastAccountTemplate; ++t) {
    const auto property = static_cast<MapProperty>(static_cast<int>(MapProperty::tag26) + t -
                                                   rules::firstAccountTemplate);
    const std::optional<TextMap>& map = record_.map(property);
    if (!map)
      continue;
    const std::string tag = std::to_string(t);
    constexpr const rules::FieldRule& rule = rules::accountIdentifier;
    const std::string* id = map->find(rule.subtag);
    FindingField f{tag, std::string(rule.subtag), "tag" + tag,
                   id ? std::optional<std::string>(*id) : std::nullopt};
    if (code == "49" && !id) {
      reasons.push_back("template tag" + tag + " (tag " + tag + ") " +
                        (map->empty() ? "is empty" : "has no sub-tag " + std::string(rule.subtag)) +
                        "; it needs a unique identifier in sub-tag " + std::string(rule.subtag));
      fields.push_back(std::move(f));
    } else if (code == "50" && id && lengthOutside(f, rule)) {
      reasons.push_back(lengthDetail(f, rule));
      fields.push_back(std::move(f));
    }
  }
  return make(code, std::move(fields), joined(reasons));
}

Finding Explainer::languageTemplate(std::string_view code) const {
  std::vector<FindingField> fields;
  std::vector<std::string> reasons;
  const TextMap& language = record_.merchantInformationLanguageTemplate().value_or(TextMap{});
  const auto sub = [&](std::string_view key) {
    const std::string* value = language.find(key);
    return FindingField{
        std::string(catalogue::tagForKey(rules::otherLanguageSubField.field).value_or("")),
        std::string(catalogue::languageSubtagForKey(key).value_or(key)), std::string(key),
        value ? std::optional<std::string>(*value) : std::nullopt};
  };
  for (const rules::FieldRule* rule :
       {&rules::languagePreference, &rules::merchantNameAlternateLanguage})
    if (code == rule->absentCode) {
      const FindingField f = sub(rule->field);
      return make(code, {f}, named(f) + " is missing; the alternate-language template requires it");
    }
  for (const auto& [key, value] : language) {
    const rules::FieldRule& rule = rules::languageSubField(key);
    FindingField f = sub(key);
    if (code == rule.lengthCode && lengthOutside(f, rule)) {
      reasons.push_back(lengthDetail(f, rule));
      fields.push_back(std::move(f));
    }
  }
  return make(code, std::move(fields), joined(reasons));
}

Finding Explainer::crc(std::string_view code) const {
  const FindingField f = field("crc");
  if (!f.value)
    return make(code, {f}, named(f) + " is absent");
  const std::string& given = *f.value;
  if (lengthOutside(f, rules::crc))
    return make(code, {f}, lengthDetail(f, rules::crc) + " (hexadecimal digits)");
  const bool hex = !facts_.crcNotHexadecimal;
  std::string detail = named(f) + " is " + quoted(given);
  detail += hex ? "" : ", which is not a hexadecimal number";
  if (facts_.computedCrc)
    detail += (hex ? "; the CRC of the payload before it is " : "; the CRC computed is ") +
              quoted(crcText(*facts_.computedCrc));
  return make(code, {f}, detail);
}

Finding Explainer::explain(std::string_view code) const {
  const std::optional<int> number = parseAsciiDigits(code);
  const auto simple = [&](const rules::FieldRule& rule) {
    const FindingField f = field(rule.field);
    return make(code, {f}, f.value ? lengthDetail(f, rule) : absent(f));
  };
  switch (number.value_or(-1)) {
  case 1:
  case 2:
  case 3:
  case 4:
    return merchantId(code);
  case 6:
  case 7:
    return simple(rules::merchantName);
  case 8:
  case 9: {
    const FindingField f = field("merchantCategoryCode");
    if (!f.value)
      return make(code, {f}, absent(f));
    if (lengthOutside(f, rules::merchantCategoryCode))
      return make(code, {f}, lengthDetail(f, rules::merchantCategoryCode));
    return make(code, {f},
                named(f) + " holds " + quoted(firstNonDigit(*f.value).value_or("")) +
                    ", which is not a decimal digit");
  }
  case 10:
  case 11:
    return simple(rules::cityName);
  case 12:
  case 13: {
    const FindingField f = field("countryCode");
    if (!f.value)
      return make(code, {f}, absent(f));
    if (lengthOutside(f, rules::countryCode))
      return make(code, {f}, lengthDetail(f, rules::countryCode));
    return make(code, {f},
                named(f) + " is " + quoted(*f.value) +
                    ", which is not an ISO 3166-1 two-letter region code in upper case");
  }
  case 14:
  case 15:
    return currency(code);
  case 16:
  case 17:
  case 18:
    return amount(code);
  case 20:
  case 21:
  case 23:
    return identifier(code, "primaryID");
  case 24:
  case 25:
    return identifier(code, "secondaryID");
  case 28:
  case 29:
  case 30:
  case 39:
  case 40:
    return tipAndFee(code);
  case 31:
  case 32:
  case 34:
    return feeAmount(code);
  case 35:
  case 36:
  case 38:
    return feePercentage(code);
  case 41:
  case 42: {
    const FindingField f = field("payloadFormatIndicator");
    if (!f.value)
      return make(code, {f}, named(f) + " is absent");
    if (code == "41")
      return make(code, {f}, lengthDetail(f, rules::payloadFormatIndicator));
    if (const auto other = firstNonDigit(*f.value))
      return make(code, {f},
                  named(f) + " holds " + quoted(*other) + ", which is not a decimal digit");
    return make(code, {f},
                named(f) + " is " + quoted(*f.value) + "; it must be " +
                    std::string(rules::payloadFormatIndicator.allowed));
  }
  case 43:
    return simple(rules::postalCode);
  case 45:
  case 46:
    return additionalData(code);
  case 48:
    return crc(code);
  case 49:
  case 50:
    return accountTemplates(code);
  case 51:
  case 52:
  case 53:
  case 54:
  case 55:
    return languageTemplate(code);
  default:
    return make(code, {}, "code " + std::string(code) + " is not one the validator raises");
  }
}

// The characters of `text` before its first ill-formed UTF-8 sequence.
std::size_t charactersBeforeIllFormed(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  std::int32_t i = 0;
  while (i < length) {
    const std::int32_t start = i;
    if (unicode::nextCodePoint(bytes, i, length) < 0) {
      i = start;
      break;
    }
  }
  return unicode::characterCount(text.substr(0, static_cast<std::size_t>(i)));
}

// "tag 59" or "sub-tag 01 of template 62".
std::string elementName(const decoding::DecodeStop& stop, std::string_view kind = "tag") {
  if (stop.enclosing.empty())
    return std::string(kind) + " " + quoted(stop.element);
  return "sub-tag " + quoted(stop.element) + " of template " + stop.enclosing;
}

std::string within(const decoding::DecodeStop& stop) {
  return stop.enclosing.empty() ? " before the end of the payload"
                                : " before the end of template " + stop.enclosing;
}

} // namespace

std::string_view tagOfField(std::string_view key, bool singleCharacter) noexcept {
  if (singleCharacter) {
    for (const decoding::SingleCharacterTag& entry : decoding::singleCharacterTags)
      if (entry.field == key)
        return entry.text();
  }
  return catalogue::tagForKey(key).value_or("");
}

std::string_view fieldOfTag(std::string_view tag, bool singleCharacter) noexcept {
  if (singleCharacter) {
    for (const decoding::SingleCharacterTag& entry : decoding::singleCharacterTags)
      if (tag.size() == 1 &&
          entry.character == (tag[0] >= 'a' && tag[0] <= 'z' ? tag[0] - 32 : tag[0]))
        return entry.field;
    return "";
  }
  return catalogue::keyForTag(tag).value_or("");
}

DecodeError describeStop(const decoding::DecodeStop& stop, std::string_view payload) {
  using decoding::StopReason;
  const bool singleCharacter = !payload.starts_with("00");
  std::string reason;
  std::size_t offset = stop.offset;
  switch (stop.reason) {
  case StopReason::notUtf8:
    offset = charactersBeforeIllFormed(payload);
    reason = "the text is not well-formed UTF-8";
    break;
  case StopReason::tooLong:
    offset = 0;
    reason = "the payload has more than 4294967295 bytes";
    break;
  case StopReason::tooShort:
    offset = 0;
    reason =
        "the payload has " + plural(stop.remaining, "character") + "; the shortest element has 2";
    break;
  case StopReason::tagCutShort:
    reason = "only " + plural(stop.remaining, "character") + " (" + quoted(stop.element) +
             ") remain" + (stop.remaining == 1 ? "s" : "") + within(stop) +
             ", too few for a two-digit tag";
    break;
  case StopReason::repeatedTag:
    reason = elementName(stop) + " occurs a second time";
    break;
  case StopReason::lengthCutShort:
    reason =
        elementName(stop) + (singleCharacter ? " has no length character after it"
                                             : " has no two-digit length field" + within(stop));
    break;
  case StopReason::lengthNotNumber:
    reason = singleCharacter ? "length character " + quoted(stop.element) +
                                   " is not a digit 0-9 or a letter a-z"
                             : "length field " + quoted(stop.element) + " is not two digits";
    break;
  case StopReason::lengthBelowOne:
    reason = "length field " + quoted(stop.element) + " is below 01";
    break;
  case StopReason::valueCutShort:
    reason = elementName(stop) + " declares " + plural(stop.declared, "character") + " but only " +
             std::to_string(stop.remaining) + (stop.remaining == 1 ? " remains" : " remain") +
             within(stop);
    break;
  case StopReason::refused:
    reason = elementName(stop) + " is not a field this format accepts" +
             (stop.enclosing.empty() ? "" : " there");
    break;
  case StopReason::noClosingCrc:
    reason =
        "the payload ends with tag " + quoted(stop.element) + "; it must end with tag 63 (CRC)";
    break;
  }
  // Past the checks of any text, what went wrong depends on the scheme the payload was read in.
  if (singleCharacter && stop.reason != StopReason::notUtf8 && stop.reason != StopReason::tooLong &&
      stop.reason != StopReason::tooShort)
    reason += singleCharacterNote;
  return {std::move(reason), offset};
}

Finding malformedFinding(const DecodeError& error) {
  return {std::string(ZArodezErrorConstants::malformedTags),
          std::string(
              ZArodezErrorConstantsMap::message(ZArodezErrorConstants::malformedTags).value_or("")),
          {},
          "at character " + std::to_string(error.offset) + ": " + error.reason};
}

std::optional<std::string> computedCrc(std::string_view payload) {
  const unicode::CharIndex chars(payload);
  if (chars.size() < 4)
    return std::nullopt;
  const std::uint16_t value =
      ZArodezQRUtility::payloadCrc(payload.substr(0, chars.offset(chars.size() - 4)));
  std::array<char, 5> hex{};
  std::snprintf(hex.data(), hex.size(), "%04X", static_cast<unsigned>(value));
  return std::string(hex.data(), 4);
}

CrcCheck crcCheck(const ZArodezPayMerchantTLV& record, std::string_view payload) {
  if (!record.payloadFormatIndicator() || !record.crc())
    return {};
  return {record.crc(), computedCrc(payload)};
}

std::vector<Finding> findingsFor(const ZArodezPayMerchantTLV& record,
                                 std::span<const std::string> codes, std::string_view payload,
                                 const validation::Facts& facts) {
  const Explainer explainer(record, payload, facts);
  std::vector<Finding> findings;
  findings.reserve(codes.size());
  for (const std::string& code : codes) {
    findings.push_back(explainer.explain(code));
    if (!record.payloadFormatIndicator())
      findings.back().detail += singleCharacterNote;
  }
  return findings;
}

} // namespace pavenda::explain
