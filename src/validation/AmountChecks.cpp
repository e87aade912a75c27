#include <charconv>
#include <limits>

#include <pavenda/ErrorConstants.h>

#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Validator.h"

namespace pavenda {
namespace {

namespace codes = ZArodezErrorConstants;

constexpr char period = ZArodezBaseConstants::periodCharacter[0];

// The whole-text decimal parse of a text of digits and periods: at least one digit 0-9, at most one
// period, nothing else (digits of other scripts fail). "5.", ".5" and "007" are numbers. A value
// beyond the range of a double is infinity, one below its precision zero.
std::optional<double> parseNumber(std::string_view text) noexcept {
  bool sawDigit = false;
  bool sawPeriod = false;
  bool wholePartNonZero = false;
  for (const char c : text) {
    if (c == period) {
      if (sawPeriod)
        return std::nullopt;
      sawPeriod = true;
    } else if (c >= '0' && c <= '9') {
      sawDigit = true;
      wholePartNonZero = wholePartNonZero || (!sawPeriod && c != '0');
    } else {
      return std::nullopt;
    }
  }
  if (!sawDigit)
    return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range)
    return wholePartNonZero ? std::numeric_limits<double>::infinity() : 0.0;
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

// Whether `text` is a number above zero, as `parseNumber` reads it. Up to 300 characters, the value
// can neither underflow to zero nor overflow, so any digit other than 0 makes it positive without
// converting it.
bool isPositiveNumber(std::string_view text) noexcept {
  if (text.size() > 300) {
    const std::optional<double> number = parseNumber(text);
    return number && *number > 0;
  }
  bool sawDigit = false;
  bool sawPeriod = false;
  bool nonZero = false;
  for (const char c : text) {
    if (c == period) {
      if (sawPeriod)
        return false;
      sawPeriod = true;
    } else if (c >= '0' && c <= '9') {
      sawDigit = true;
      nonZero = nonZero || c != '0';
    } else {
      return false;
    }
  }
  return sawDigit && nonZero;
}

bool containsOtherThanDigitsAndPeriod(std::string_view text) {
  return unicode::containsOtherThanDigitsAnd(text, period);
}

} // namespace

void ZArodezPayMerchantTLVValidator::validateTransactAmount(
    const std::optional<std::string>& value) {
  if (!value)
    return;
  const std::string_view amount = *value;
  // A plain digit string may have 12 characters; one with a period (or anything else) 13.
  const int maxLength = unicode::allDecimalDigits(amount) ? 12 : 13;
  if (!isLengthInRange(amount, 1, maxLength))
    append(codes::transactionAmountInvalidLength);
  if (unicode::containsLetter(amount) || containsOtherThanDigitsAndPeriod(amount)) {
    append(codes::transactionAmountIncorrectValue);
  } else if (!isPositiveNumber(amount)) {
    append(codes::transactionAmountIncorrectValue);
  }
  if (amount.empty())
    append(codes::transactionAmountTagPresentWithoutAmountValue);
}

void ZArodezPayMerchantTLVValidator::validateConvenienceFeeAmount(std::string_view value) {
  if (!isLengthInRange(value, 1, 13))
    append(codes::convenienceFeeAmountInvalidLength);
  if (unicode::containsLetter(value)) {
    // A letter counts as a length fault here, not as a wrong value.
    append(codes::convenienceFeeAmountInvalidLength);
  } else if (containsOtherThanDigitsAndPeriod(value)) {
    append(codes::convenienceFeeAmountIncorrectValue);
  } else if (!isPositiveNumber(value)) {
    append(codes::convenienceFeeAmountIncorrectValue);
  }
  if (value.empty())
    append(codes::convenienceFeeTagPresentWithoutValue);
}

void ZArodezPayMerchantTLVValidator::validateConveniencePercentage(std::string_view value) {
  if (!isLengthInRange(value, 1, 5))
    append(codes::convenienceFeePercentageInvalidLength);
  if (unicode::containsLetter(value) || containsOtherThanDigitsAndPeriod(value)) {
    append(codes::convenienceFeePercentageIncorrectValue);
  } else if (!value.empty()) {
    const std::optional<double> number = parseNumber(value);
    if (!number || *number < 0.01 || *number > 99.99)
      append(codes::convenienceFeePercentageIncorrectValue);
  }
  if (value.empty())
    append(codes::convenienceFeePercentageTagPresentWithoutValue);
}

void ZArodezPayMerchantTLVValidator::validateTipAndFeeIndicator(
    const ZArodezPayMerchantTLV& record) {
  const std::optional<std::string>& indicator = record.tipAndFeeIndicator();
  const std::optional<std::string>& amount = record.convenienceFeeAmount();
  const std::optional<std::string>& percentage = record.convenienceFeePercentage();

  const auto noFeeFieldAllowed = [&] {
    if (amount)
      append(codes::tipAndFeeIndicatorInvalidTagsPresent);
    if (percentage)
      append(codes::tipAndFeeIndicatorInvalidTagsPresent);
  };

  if (!indicator) {
    noFeeFieldAllowed();
    return;
  }
  if (isEqualTo(*indicator, "01")) {
    noFeeFieldAllowed();
    return;
  }
  if (isEqualTo(*indicator, "02")) {
    if (amount)
      validateConvenienceFeeAmount(*amount);
    else
      append(codes::convenienceInvalidTagPresent);
    if (percentage)
      append(codes::convenienceInvalidTagPresent);
    return;
  }
  if (isEqualTo(*indicator, "03")) {
    if (percentage) {
      validateConveniencePercentage(*percentage);
      return;
    }
    if (!amount) {
      append(codes::convenienceInvalidTagPresent);
      return;
    }
    // A fixed fee where a percentage is due: the single-character scheme has a code of its own.
    const std::optional<std::string>& formatIndicator = record.payloadFormatIndicator();
    if (!formatIndicator)
      append(codes::convenienceFeePercentageInvalidTagPresent);
    else if (!formatIndicator->empty())
      append(codes::convenienceInvalidTagPresent);
    return;
  }
  append(codes::tipAndFeeIndicatorInvalidCriteria);
  if (indicator->empty())
    append(codes::tipAndFeeIndicatorTagPresentWithoutValue);
}

} // namespace pavenda
