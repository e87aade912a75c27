#include <cstdint>

#include <pavenda/ErrorConstants.h>

#include "support/AsciiNumber.h"
#include "support/CurrencyTable.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Checks.h"
#include "validation/Rules.h"

namespace pavenda::validation {
namespace {

namespace code = ZArodezErrorConstants;

// A field with a length rule and no character class: its absence code when it is mandatory and
// absent, its length code when its length is out of bounds.
void checkLength(CodeList& codes, Text value, const rules::FieldRule& rule) {
  if (!value) {
    if (!rule.absentCode.empty())
      codes.append(rule.absentCode);
    return;
  }
  if (!isCountInRange(value.characters(), static_cast<std::int64_t>(rule.minLength),
                      static_cast<std::int64_t>(rule.maxLength)))
    codes.append(rule.lengthCode);
}

} // namespace

void validatePayloadFormatIndicator(CodeList& codes, Text value) {
  if (!value)
    return;
  // Two ASCII digits are two characters, all decimal: only the value can be wrong.
  constexpr const rules::FieldRule& rule = rules::payloadFormatIndicator;
  static_assert(rule.minLength == rule.maxLength && rule.allowed.size() == rule.minLength);
  if (value->size() == rule.minLength && allAsciiDigits(*value)) {
    if (*value != rule.allowed)
      codes.append(code::payloadFormatIndicatorInvalidValue);
    return;
  }
  if (value.characters() != rule.minLength)
    codes.append(rule.lengthCode);
  else if (*value != rule.allowed)
    codes.append(code::payloadFormatIndicatorInvalidValue);
  if (!unicode::allDecimalDigits(*value))
    codes.append(code::payloadFormatIndicatorInvalidValue);
}

void validateMerchantCategoryCode(CodeList& codes, Text value) {
  constexpr const rules::FieldRule& rule = rules::merchantCategoryCode;
  static_assert(rule.minLength == rule.maxLength);
  if (!value) {
    codes.append(rule.absentCode);
    return;
  }
  if (value->size() == rule.minLength && allAsciiDigits(*value))
    return;
  if (value.characters() != rule.minLength || !unicode::allDecimalDigits(*value))
    codes.append(rule.lengthCode);
}

void validateCountryCode(CodeList& codes, Text value) {
  constexpr const rules::FieldRule& rule = rules::countryCode;
  static_assert(rule.minLength == 2 && rule.maxLength == 2, "the fast path reads two bytes");
  if (!value) {
    codes.append(rule.absentCode);
    return;
  }
  // Two ASCII capitals are two letters: only the region list can reject them.
  const auto capital = [](char c) { return c >= 'A' && c <= 'Z'; };
  if (value->size() == 2 && capital((*value)[0]) && capital((*value)[1])) {
    if (!unicode::isISORegionCode(*value))
      codes.append(rule.lengthCode);
    return;
  }
  if (!unicode::isISORegionCode(*value))
    codes.append(rule.lengthCode);
  if (value.characters() != rule.minLength || !unicode::allLetters(*value))
    codes.append(rule.lengthCode);
}

void validateMerchantName(CodeList& codes, Text value) {
  checkLength(codes, value, rules::merchantName);
}

void validateCityName(CodeList& codes, Text value) {
  checkLength(codes, value, rules::cityName);
}

void validateCurrencyCode(CodeList& codes, Text value) {
  constexpr const rules::FieldRule& rule = rules::currencyCode;
  static_assert(rule.minLength == rule.maxLength);
  if (!value) {
    codes.append(rule.absentCode);
    return;
  }
  // Three characters that are all decimal digits but not all ASCII name no currency either.
  if (value->size() != rule.minLength || !allAsciiDigits(*value)) {
    codes.append(rule.lengthCode);
    return;
  }
  const std::optional<int> number = parseAsciiDigits(*value);
  if (!number || !ISOCountryCodes::availableISOCurrencies.contains(*number))
    codes.append(rule.lengthCode);
}

void validatePostalCode(CodeList& codes, Text value) {
  checkLength(codes, value, rules::postalCode);
}

} // namespace pavenda::validation
