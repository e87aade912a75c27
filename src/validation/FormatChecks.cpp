#include <pavenda/ErrorConstants.h>

#include "support/AsciiNumber.h"
#include "support/CurrencyTable.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Checks.h"

namespace pavenda::validation {
namespace {

namespace code = ZArodezErrorConstants;

} // namespace

void validatePayloadFormatIndicator(CodeList& codes, Text value) {
  if (!value)
    return;
  // Two ASCII digits are two characters, all decimal: only the value can be wrong.
  if (value->size() == 2 && allAsciiDigits(*value)) {
    if (*value != "01")
      codes.append(code::payloadFormatIndicatorInvalidValue);
    return;
  }
  if (value.characters() != 2)
    codes.append(code::payloadFormatIndicatorInvalidLength);
  else if (*value != "01")
    codes.append(code::payloadFormatIndicatorInvalidValue);
  if (!unicode::allDecimalDigits(*value))
    codes.append(code::payloadFormatIndicatorInvalidValue);
}

void validateMerchantCategoryCode(CodeList& codes, Text value) {
  if (!value) {
    codes.append(code::merchantCategoryCodeNotPresent);
    return;
  }
  if (value->size() == 4 && allAsciiDigits(*value))
    return;
  if (value.characters() != 4 || !unicode::allDecimalDigits(*value))
    codes.append(code::merchantCategoryCodeInvalidLength);
}

void validateCountryCode(CodeList& codes, Text value) {
  if (!value) {
    codes.append(code::countryCodeNotPresent);
    return;
  }
  // Two ASCII capitals are two letters: only the region list can reject them.
  const auto capital = [](char c) { return c >= 'A' && c <= 'Z'; };
  if (value->size() == 2 && capital((*value)[0]) && capital((*value)[1])) {
    if (!unicode::isISORegionCode(*value))
      codes.append(code::countryCodeInvalidLengthOrCharacters);
    return;
  }
  if (!unicode::isISORegionCode(*value))
    codes.append(code::countryCodeInvalidLengthOrCharacters);
  if (value.characters() != 2 || !unicode::allLetters(*value))
    codes.append(code::countryCodeInvalidLengthOrCharacters);
}

void validateMerchantName(CodeList& codes, Text value) {
  if (!value) {
    codes.append(code::merchantNameNotPresent);
    return;
  }
  if (!isCountInRange(value.characters(), 1, 25))
    codes.append(code::merchantNameInvalidLengthOrCharacters);
}

void validateCityName(CodeList& codes, Text value) {
  if (!value) {
    codes.append(code::cityNameNotPresent);
    return;
  }
  if (!isCountInRange(value.characters(), 1, 15))
    codes.append(code::cityNameInvalidLengthOrCharacters);
}

void validateCurrencyCode(CodeList& codes, Text value) {
  if (!value) {
    codes.append(code::currencyCodeNotPresent);
    return;
  }
  // Three characters that are all decimal digits but not all ASCII name no currency either.
  if (value->size() != 3 || !allAsciiDigits(*value)) {
    codes.append(code::currencyCodeInvaidLength);
    return;
  }
  const std::optional<int> number = parseAsciiDigits(*value);
  if (!number || !ISOCountryCodes::availableISOCurrencies.contains(*number))
    codes.append(code::currencyCodeInvaidLength);
}

void validatePostalCode(CodeList& codes, Text value) {
  if (!value)
    return;
  if (!isCountInRange(value.characters(), 1, 10))
    codes.append(code::postalCodeIndicatorInvalidLength);
}

} // namespace pavenda::validation
