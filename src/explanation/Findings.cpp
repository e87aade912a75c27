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

namespace pavenda::explain {
namespace {

using MapProperty = ZARODEZMerchantTLV::MapProperty;

std::string quoted(std::string_view text) {
  std::string out = "'" + std::string(text) + "'";
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

// Explains the codes of one record.
class Explainer {
public:
  Explainer(const ZArodezPayMerchantTLV& record, std::string_view payload)
      : record_(record), payload_(payload), singleCharacter_(!record.payloadFormatIndicator()) {}

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
  bool singleCharacter_;
};

Finding Explainer::merchantId(std::string_view code) const {
  const FindingField id = field("zArodezMerchantID");
  const std::string value = id.value.value_or("");
  std::string detail;
  if (code == "1") {
    detail = named(id) + " starts with " + quoted(value.substr(0, 1)) + "; it must start with 4";
  } else if (code == "2") {
    detail = lengthDetail(id, 8, 16);
  } else if (code == "3") {
    detail = named(id) + " fails the Luhn check-digit test, taken over its 16-digit form " +
             validation::convertMerchantIdToPan(value);
  } else if (value.empty()) {
    detail = named(id) + " is empty; it must be an unsigned decimal number";
  } else if (const auto other = firstCodePoint(
                 std::string_view(value).substr(value[0] == '+' ? 1 : 0),
                 [](std::string_view c) { return c.size() != 1 || c[0] < '0' || c[0] > '9'; })) {
    detail = named(id) + " holds " + quoted(*other) + ", which is not a digit 0-9";
  } else {
    detail = named(id) + " exceeds 18446744073709551615, the largest number it may hold";
  }
  return make(code, {id}, detail);
}

Finding Explainer::currency(std::string_view code) const {
  const FindingField f = field("currencyCode");
  if (code == "15")
    return make(code, {f}, absent(f));
  const std::string& value = *f.value;
  if (lengthOutside(f, 3, 3))
    return make(code, {f}, lengthDetail(f, 3, 3, "digit"));
  if (const auto other = firstNonDigit(value))
    return make(code, {f},
                named(f) + " holds " + quoted(*other) + ", which is not a decimal digit");
  return make(code, {f},
              named(f) + " is " + quoted(value) +
                  ", which is not a known ISO 4217 numeric currency code");
}

Finding Explainer::amount(std::string_view code) const {
  const FindingField f = field("transactionAmount");
  const std::string& value = *f.value;
  if (code == "16") {
    if (unicode::allDecimalDigits(value))
      return make(code, {f}, lengthDetail(f, 1, 12, "digit"));
    return make(code, {f}, lengthDetail(f, 1, 13) + " (12 without a period)");
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
  const std::string& value = *f.value;
  if (code == "21" || code == "25")
    return make(code, {f}, emptyButPresent(f));
  std::vector<std::string> reasons;
  if (lengthOutside(f, 1, 26))
    reasons.push_back(lengthDetail(f, 1, 26));
  const std::size_t count = unicode::characterCount(value);
  const bool shortForm = value.starts_with("?");
  if (shortForm && count > 2 && code != "23")
    reasons.push_back(named(f) + " starts with '?', and an identifier starting with '?' has at "
                                 "most 2 characters");
  if (shortForm && count >= 2 && (code == "23" || code == "24")) {
    const std::string second = *characterAt(value, 1);
    const bool allowed = second.size() == 1 && ((second[0] >= '1' && second[0] <= '9') ||
                                                (second[0] >= 'a' && second[0] <= 'q') ||
                                                (second[0] >= 'A' && second[0] <= 'Q'));
    if (!allowed)
      reasons.push_back(named(f) + " has " + quoted(second) +
                        " after '?'; only 1-9, a-q or A-Q may follow it");
  }
  return make(code, {f}, joined(reasons));
}

Finding Explainer::feeAmount(std::string_view code) const {
  const FindingField f = field("convenienceFeeAmount");
  const std::string& value = *f.value;
  if (code == "34")
    return make(code, {f}, emptyButPresent(f));
  std::vector<std::string> reasons;
  if (code == "31") {
    if (lengthOutside(f, 1, 13))
      reasons.push_back(lengthDetail(f, 1, 13));
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
  const std::string& value = *f.value;
  if (code == "38")
    return make(code, {f}, emptyButPresent(f));
  if (code == "35")
    return make(code, {f}, lengthDetail(f, 1, 5));
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
  return make(code, {f}, named(f) + " is " + quoted(value) + "; it must be from 0.01 to 99.99");
}

Finding Explainer::tipAndFee(std::string_view code) const {
  const FindingField indicator = field("tipAndFeeIndicator");
  const FindingField amount = field("convenienceFeeAmount");
  const FindingField percentage = field("convenienceFeePercentage");
  if (code == "28")
    return make(code, {indicator},
                indicator.value->empty() ? named(indicator) + " is empty; it must be 01, 02 or 03"
                                         : named(indicator) + " is " + quoted(*indicator.value) +
                                               "; it must be 01, 02 or 03");
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
                          "; a fee field needs the indicator 02 or 03");
      }
  } else if (code == "40" ||
             (code == "39" && isEqualTo(indicator.value.value_or(""), "03") && amount.value)) {
    fields.push_back(percentage);
    fields.push_back(amount);
    reasons.push_back(setting + " (a percentage fee) but the payload gives " + named(amount) +
                      " instead of " + named(percentage));
  } else if (isEqualTo(indicator.value.value_or(""), "03")) {
    fields.push_back(percentage);
    reasons.push_back(setting + " (a percentage fee) but " + named(percentage) + " is absent");
  } else {
    if (!amount.value) {
      fields.push_back(amount);
      reasons.push_back(setting + " (a fixed fee) but " + named(amount) + " is absent");
    }
    if (percentage.value) {
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
  for (const auto& [key, value] : data) {
    // A sub-field outside the key table is held under its own sub-tag.
    const auto tag = catalogue::tagForKey(key);
    const bool inTable = tag && tag->size() == 4;
    FindingField f{"62", std::string(inTable ? tag->substr(2) : std::string_view(key)),
                   std::string(key), value};
    if (code == "46" && key == "additionalConsumerDataRequest") {
      if (lengthOutside(f, 1, 3))
        reasons.push_back(lengthDetail(f, 1, 3));
      if (const auto other = firstCodePoint(
              value, [](std::string_view c) { return c != "A" && c != "M" && c != "E"; }))
        reasons.push_back(named(f) + " holds " + quoted(*other) + "; only A, M and E are allowed");
      fields.push_back(std::move(f));
    } else if (code == "45" && key != "additionalConsumerDataRequest" && lengthOutside(f, 1, 25)) {
      reasons.push_back(lengthDetail(f, 1, 25));
      fields.push_back(std::move(f));
    }
  }
  return make(code, std::move(fields), joined(reasons));
}

Finding Explainer::accountTemplates(std::string_view code) const {
  std::vector<FindingField> fields;
  std::vector<std::string> reasons;
  for (int t = 26; t <= 51; ++t) {
    const auto property = static_cast<MapProperty>(static_cast<int>(MapProperty::tag26) + t - 26);
    const std::optional<TextMap>& map = record_.map(property);
    if (!map)
      continue;
    const std::string tag = std::to_string(t);
    const std::string* id = map->find("00");
    FindingField f{tag, "00", "tag" + tag, id ? std::optional<std::string>(*id) : std::nullopt};
    if (code == "49" && !id) {
      reasons.push_back("template tag" + tag + " (tag " + tag + ") " +
                        (map->empty() ? "is empty" : "has no sub-tag 00") +
                        "; it needs a unique identifier in sub-tag 00");
      fields.push_back(std::move(f));
    } else if (code == "50" && id && lengthOutside(f, 1, 32)) {
      reasons.push_back(lengthDetail(f, 1, 32));
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
    return FindingField{"64", std::string(catalogue::languageSubtagForKey(key).value_or(key)),
                        std::string(key),
                        value ? std::optional<std::string>(*value) : std::nullopt};
  };
  if (code == "51" || code == "52") {
    const FindingField f =
        sub(code == "51" ? "languagePreference" : "merchantNameAlternateLanguage");
    return make(code, {f}, named(f) + " is missing; the alternate-language template requires it");
  }
  for (const auto& [key, value] : language) {
    const auto rules = validation::validateSubtags(key);
    FindingField f = sub(key);
    const auto minimum = static_cast<std::size_t>(rules.minLenght);
    const auto maximum = static_cast<std::size_t>(rules.maxLenght);
    const bool ownCode =
        (key == "languagePreference" && code == "53") ||
        (key == "merchantNameAlternateLanguage" && code == "54") ||
        (key != "languagePreference" && key != "merchantNameAlternateLanguage" && code == "55");
    if (ownCode && lengthOutside(f, minimum, maximum)) {
      reasons.push_back(lengthDetail(f, minimum, maximum));
      fields.push_back(std::move(f));
    }
  }
  return make(code, std::move(fields), joined(reasons));
}

Finding Explainer::crc(std::string_view code) const {
  const FindingField f = field("crc");
  const std::string& given = *f.value;
  if (unicode::characterCount(given) != 4)
    return make(code, {f}, lengthDetail(f, 4, 4) + " (hexadecimal digits)");
  const std::optional<std::string> computed = computedCrc(payload_);
  const bool hex = std::all_of(given.begin(), given.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
  std::string detail = named(f) + " is " + quoted(given);
  detail += hex ? "" : ", which is not a hexadecimal number";
  if (computed)
    detail += (hex ? "; the CRC of the payload before it is " : "; the CRC computed is ") +
              quoted(*computed);
  return make(code, {f}, detail);
}

Finding Explainer::explain(std::string_view code) const {
  const std::optional<int> number = parseAsciiDigits(code);
  const auto simple = [&](std::string_view key, std::size_t minimum, std::size_t maximum) {
    const FindingField f = field(key);
    return make(code, {f}, f.value ? lengthDetail(f, minimum, maximum) : absent(f));
  };
  switch (number.value_or(-1)) {
  case 1:
  case 2:
  case 3:
  case 4:
    return merchantId(code);
  case 6:
  case 7:
    return simple("merchantName", 1, 25);
  case 8:
  case 9: {
    const FindingField f = field("merchantCategoryCode");
    if (!f.value)
      return make(code, {f}, absent(f));
    if (lengthOutside(f, 4, 4))
      return make(code, {f}, lengthDetail(f, 4, 4, "digit"));
    return make(code, {f},
                named(f) + " holds " + quoted(firstNonDigit(*f.value).value_or("")) +
                    ", which is not a decimal digit");
  }
  case 10:
  case 11:
    return simple("cityName", 1, 15);
  case 12:
  case 13: {
    const FindingField f = field("countryCode");
    if (!f.value)
      return make(code, {f}, absent(f));
    if (lengthOutside(f, 2, 2))
      return make(code, {f}, lengthDetail(f, 2, 2, "letter"));
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
    if (code == "41")
      return make(code, {f}, lengthDetail(f, 2, 2, "digit"));
    if (const auto other = firstNonDigit(*f.value))
      return make(code, {f},
                  named(f) + " holds " + quoted(*other) + ", which is not a decimal digit");
    return make(code, {f}, named(f) + " is " + quoted(*f.value) + "; it must be 01");
  }
  case 43:
    return simple("postalCode", 1, 10);
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
                                 std::span<const std::string> codes, std::string_view payload) {
  const Explainer explainer(record, payload);
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
