
#include <pavenda/ErrorConstants.h>

#include "support/AsciiNumber.h"
#include "support/DecimalText.h"
#include "support/TextPredicates.h"
#include "support/Unicode.h"
#include "validation/Checks.h"

namespace pavenda::validation {
namespace {

namespace code = ZArodezErrorConstants;

using TextProperty = RecordView::TextProperty;

constexpr char period = ZArodezBaseConstants::periodCharacter[0];

// What a scan of a number text found: whether any of its digits 0-9 is other than zero.
struct NumberDigits {
  bool anyNonZero;
};

// The digits of a text of digits 0-9 and periods with at least one digit and at most one period,
// or nothing for any other text (digits of other scripts included).
std::optional<NumberDigits> scanNumber(std::string_view text) noexcept {
  bool sawDigit = false;
  bool sawPeriod = false;
  NumberDigits digits{false};
  for (const char c : text) {
    if (c == period) {
      if (sawPeriod)
        return std::nullopt;
      sawPeriod = true;
    } else if (isAsciiDigit(c)) {
      sawDigit = true;
      digits.anyNonZero = digits.anyNonZero || c != '0';
    } else {
      return std::nullopt;
    }
  }
  if (!sawDigit)
    return std::nullopt;
  return digits;
}

// Whether `text` is a number above zero, as `parseDecimal` reads it. Up to 300 characters, the
// value can neither underflow to zero nor overflow, so any digit other than 0 makes it positive
// without converting it.
bool isPositiveNumber(std::string_view text) noexcept {
  if (text.size() > 300) {
    const std::optional<double> number = parseDecimal(text);
    return number && *number > 0;
  }
  const std::optional<NumberDigits> digits = scanNumber(text);
  return digits && digits->anyNonZero;
}

bool containsOtherThanDigitsAndPeriod(std::string_view text) {
  return unicode::containsOtherThanDigitsAnd(text, period);
}

// What one pass over a text of ASCII digits 0-9 and periods finds; nothing for any other text.
// Each byte of such a text is a character, none a letter, none other than a digit or a period.
struct PlainNumber {
  std::size_t periods;
  bool nonZeroDigit;

  // Whether the text is a number above zero, as `isPositiveNumber` reads it.
  bool positive(std::string_view text) const noexcept {
    if (text.size() > 300)
      return isPositiveNumber(text);
    return periods <= 1 && nonZeroDigit;
  }
};

std::optional<PlainNumber> scanPlainNumber(std::string_view text) noexcept {
  PlainNumber found{0, false};
  for (const char c : text) {
    if (c == period)
      ++found.periods;
    else if (!isAsciiDigit(c))
      return std::nullopt;
    else
      found.nonZeroDigit = found.nonZeroDigit || c != '0';
  }
  return found;
}

bool lengthWithin(std::size_t length, std::size_t minimum, std::size_t maximum) noexcept {
  return length >= minimum && length <= maximum;
}

} // namespace

void validateTransactAmount(CodeList& codes, Text value) {
  if (!value)
    return;
  const std::string_view amount = *value;
  if (const std::optional<PlainNumber> plain = scanPlainNumber(amount)) {
    if (!lengthWithin(amount.size(), 1, plain->periods == 0 ? 12 : 13))
      codes.append(code::transactionAmountInvalidLength);
    if (!plain->positive(amount))
      codes.append(code::transactionAmountIncorrectValue);
    if (amount.empty())
      codes.append(code::transactionAmountTagPresentWithoutAmountValue);
    return;
  }
  // A plain digit string may have 12 characters; one with a period (or anything else) 13.
  const int maxLength = unicode::allDecimalDigits(amount) ? 12 : 13;
  if (!isCountInRange(value.characters(), 1, maxLength))
    codes.append(code::transactionAmountInvalidLength);
  if (unicode::containsLetter(amount) || containsOtherThanDigitsAndPeriod(amount)) {
    codes.append(code::transactionAmountIncorrectValue);
  } else if (!isPositiveNumber(amount)) {
    codes.append(code::transactionAmountIncorrectValue);
  }
  if (amount.empty())
    codes.append(code::transactionAmountTagPresentWithoutAmountValue);
}

void validateConvenienceFeeAmount(CodeList& codes, Text field) {
  const std::string_view value = *field;
  if (const std::optional<PlainNumber> plain = scanPlainNumber(value)) {
    if (!lengthWithin(value.size(), 1, 13))
      codes.append(code::convenienceFeeAmountInvalidLength);
    if (!plain->positive(value))
      codes.append(code::convenienceFeeAmountIncorrectValue);
    if (value.empty())
      codes.append(code::convenienceFeeTagPresentWithoutValue);
    return;
  }
  if (!isCountInRange(field.characters(), 1, 13))
    codes.append(code::convenienceFeeAmountInvalidLength);
  if (unicode::containsLetter(value)) {
    // A letter counts as a length fault here, not as a wrong value.
    codes.append(code::convenienceFeeAmountInvalidLength);
  } else if (containsOtherThanDigitsAndPeriod(value)) {
    codes.append(code::convenienceFeeAmountIncorrectValue);
  } else if (!isPositiveNumber(value)) {
    codes.append(code::convenienceFeeAmountIncorrectValue);
  }
  if (value.empty())
    codes.append(code::convenienceFeeTagPresentWithoutValue);
}

void validateConveniencePercentage(CodeList& codes, Text field) {
  const std::string_view value = *field;
  if (!isCountInRange(field.characters(), 1, 5))
    codes.append(code::convenienceFeePercentageInvalidLength);
  if (unicode::containsLetter(value) || containsOtherThanDigitsAndPeriod(value)) {
    codes.append(code::convenienceFeePercentageIncorrectValue);
  } else if (!value.empty()) {
    const std::optional<double> number = parseDecimal(value);
    if (!number || *number < 0.01 || *number > 99.99)
      codes.append(code::convenienceFeePercentageIncorrectValue);
  }
  if (value.empty())
    codes.append(code::convenienceFeePercentageTagPresentWithoutValue);
}

void validateTipAndFeeIndicator(CodeList& codes, const RecordView& record) {
  const Text indicator = record.text(TextProperty::tipAndFeeIndicator);
  const Text amount = record.text(TextProperty::convenienceFeeAmount);
  const Text percentage = record.text(TextProperty::convenienceFeePercentage);

  const auto noFeeFieldAllowed = [&] {
    if (amount)
      codes.append(code::tipAndFeeIndicatorInvalidTagsPresent);
    if (percentage)
      codes.append(code::tipAndFeeIndicatorInvalidTagsPresent);
  };

  if (!indicator) {
    noFeeFieldAllowed();
    return;
  }
  // The indicators are digits, which have no case: ASCII text equals one only byte for byte.
  const bool ascii = unicode::isAscii(*indicator);
  const auto is = [&](std::string_view wanted) {
    return ascii ? *indicator == wanted : isEqualTo(*indicator, wanted);
  };
  if (is("01")) {
    noFeeFieldAllowed();
    return;
  }
  if (is("02")) {
    if (amount)
      validateConvenienceFeeAmount(codes, amount);
    else
      codes.append(code::convenienceInvalidTagPresent);
    if (percentage)
      codes.append(code::convenienceInvalidTagPresent);
    return;
  }
  if (is("03")) {
    if (percentage) {
      validateConveniencePercentage(codes, percentage);
      return;
    }
    if (!amount) {
      codes.append(code::convenienceInvalidTagPresent);
      return;
    }
    // A fixed fee where a percentage is due: the single-character scheme has a code of its own.
    const Text formatIndicator = record.text(TextProperty::payloadFormatIndicator);
    if (!formatIndicator)
      codes.append(code::convenienceFeePercentageInvalidTagPresent);
    else if (!formatIndicator->empty())
      codes.append(code::convenienceInvalidTagPresent);
    return;
  }
  codes.append(code::tipAndFeeIndicatorInvalidCriteria);
  if (indicator->empty())
    codes.append(code::tipAndFeeIndicatorTagPresentWithoutValue);
}

} // namespace pavenda::validation
