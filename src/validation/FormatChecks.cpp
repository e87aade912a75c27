#include <pavenda/ErrorConstants.h>

#include "support/AsciiNumber.h"
#include "support/CurrencyTable.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Validator.h"

namespace pavenda {
namespace {

namespace codes = ZArodezErrorConstants;

} // namespace

void ZArodezPayMerchantTLVValidator::validatePayloadFormatIndicator(
    const std::optional<std::string>& value) {
  if (!value)
    return;
  if (unicode::characterCount(*value) != 2)
    append(codes::payloadFormatIndicatorInvalidLength);
  else if (*value != "01")
    append(codes::payloadFormatIndicatorInvalidValue);
  if (!unicode::allDecimalDigits(*value))
    append(codes::payloadFormatIndicatorInvalidValue);
}

void ZArodezPayMerchantTLVValidator::validateMerchantCategoryCode(
    const std::optional<std::string>& value) {
  if (!value) {
    append(codes::merchantCategoryCodeNotPresent);
    return;
  }
  if (unicode::characterCount(*value) != 4 || !unicode::allDecimalDigits(*value))
    append(codes::merchantCategoryCodeInvalidLength);
}

void ZArodezPayMerchantTLVValidator::validateCountryCode(const std::optional<std::string>& value) {
  if (!value) {
    append(codes::countryCodeNotPresent);
    return;
  }
  if (!unicode::isISORegionCode(*value))
    append(codes::countryCodeInvalidLengthOrCharacters);
  if (unicode::characterCount(*value) != 2 || !unicode::allLetters(*value))
    append(codes::countryCodeInvalidLengthOrCharacters);
}

void ZArodezPayMerchantTLVValidator::validateMerchantName(const std::optional<std::string>& value) {
  if (!value) {
    append(codes::merchantNameNotPresent);
    return;
  }
  if (!isLengthInRange(*value, 1, 25))
    append(codes::merchantNameInvalidLengthOrCharacters);
}

void ZArodezPayMerchantTLVValidator::validateCityName(const std::optional<std::string>& value) {
  if (!value) {
    append(codes::cityNameNotPresent);
    return;
  }
  if (!isLengthInRange(*value, 1, 15))
    append(codes::cityNameInvalidLengthOrCharacters);
}

void ZArodezPayMerchantTLVValidator::validateCurrencyCode(const std::optional<std::string>& value) {
  if (!value) {
    append(codes::currencyCodeNotPresent);
    return;
  }
  if (unicode::characterCount(*value) != 3 || !unicode::allDecimalDigits(*value)) {
    append(codes::currencyCodeInvaidLength);
    return;
  }
  const std::optional<int> number = parseAsciiDigits(*value);
  if (!number || !ISOCountryCodes::availableISOCurrencies.contains(*number))
    append(codes::currencyCodeInvaidLength);
}

void ZArodezPayMerchantTLVValidator::validatePostalCode(const std::optional<std::string>& value) {
  if (!value)
    return;
  if (!isLengthInRange(*value, 1, 10))
    append(codes::postalCodeIndicatorInvalidLength);
}

} // namespace pavenda
