#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::CodeCase;
using testing_support::Codes;

const std::string otherScriptDigits = "\xD9\xA1\xD9\xA2"; // Arabic-Indic 12

class AmountTransaction : public ::testing::TestWithParam<CodeCase> {};

TEST_P(AmountTransaction, RaisesInOrder) {
  CheckHarness harness;
  validation::validateTransactAmount(harness.list, testing_support::textOf(GetParam().value));
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Amount, AmountTransaction,
    ::testing::Values(CodeCase{"Absent", std::nullopt, {}}, CodeCase{"Decimal", "12.50", {}},
                      CodeCase{"ZeroDecimal", "0.00", {"17"}}, CodeCase{"Negative", "-5", {"17"}},
                      CodeCase{"Comma", "1,000", {"17"}}, CodeCase{"LeadingBlank", " 5", {"17"}},
                      CodeCase{"TwelveDigits", "123456789012", {}},
                      CodeCase{"ThirteenDigits", "1234567890123", {"16"}},
                      CodeCase{"ThirteenWithPeriod", "12345678901.5", {}},
                      CodeCase{"FourteenWithPeriod", "123456789012.5", {"16"}},
                      CodeCase{"TwoPeriods", "1.2.3", {"17"}}, CodeCase{"LonePeriod", ".", {"17"}},
                      CodeCase{"TrailingPeriod", "5.", {}}, CodeCase{"Exponent", "1e5", {"17"}},
                      CodeCase{"OtherScriptDigits", otherScriptDigits, {"17"}},
                      CodeCase{"Empty", "", {"16", "17", "18"}}));

// The fee checks run only from the tip and fee check, so they are driven through it.
struct TipCase {
  const char* name;
  std::optional<std::string> indicator;
  std::optional<std::string> amount;
  std::optional<std::string> percentage;
  std::optional<std::string> formatIndicator;
  Codes expected;
};

void PrintTo(const TipCase& c, std::ostream* os) {
  *os << c.name;
}

class AmountTipAndFee : public ::testing::TestWithParam<TipCase> {};

TEST_P(AmountTipAndFee, FollowsTheIndicator) {
  CheckHarness harness;
  const TipCase& c = GetParam();
  ZArodezPayMerchantTLV record;
  record.setTipAndFeeIndicator(c.indicator);
  record.setConvenienceFeeAmount(c.amount);
  record.setConvenienceFeePercentage(c.percentage);
  record.setPayloadFormatIndicator(c.formatIndicator);
  harness.onRecord(validation::validateTipAndFeeIndicator, record);
  EXPECT_EQ(harness.codes(), c.expected);
}

const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Amount, AmountTipAndFee,
    ::testing::Values(TipCase{"NoIndicatorWithFees", none, "1", "1", "01", {"29"}},
                      TipCase{"NoIndicatorWithPercentage", none, none, "1", "01", {"29"}},
                      TipCase{"NoIndicatorAlone", none, none, none, "01", {}},
                      TipCase{"OneCharacterIndicator", "1", "abc", "abc", "01", {"28"}},
                      TipCase{"EmptyIndicator", "", none, none, "01", {"28", "30"}},
                      TipCase{"TipWithEmptyAmount", "01", "", none, "01", {"29"}},
                      TipCase{"TipAlone", "01", none, none, "01", {}},
                      TipCase{"FixedFeeMissing", "02", none, none, "01", {"39"}},
                      TipCase{"FixedFeeValid", "02", "2.50", none, "01", {}},
                      TipCase{"FixedFeeLettersOnce", "02", "abc", none, "01", {"31"}},
                      TipCase{"FixedFeeComma", "02", "5,00", none, "01", {"32"}},
                      // A combining mark is a letter, so the length rule fires, not the value rule.
                      TipCase{"FixedFeeCombiningMark", "02", "5\u0301", none, "01", {"31"}},
                      TipCase{"FixedFeeThirteenDigits", "02", "1234567890123", none, "01", {}},
                      TipCase{"FixedFeeFourteenDigits", "02", "12345678901234", none, "01", {"31"}},
                      TipCase{
                          "FixedFeeOtherScriptDigits", "02", otherScriptDigits, none, "01", {"32"}},
                      TipCase{"FixedFeeEmpty", "02", "", none, "01", {"31", "32", "34"}},
                      TipCase{"FixedFeeWithPercentage", "02", "0", "5", "01", {"32", "39"}},
                      TipCase{"PercentageLowest", "03", none, "0.01", "01", {}},
                      TipCase{"PercentageHighest", "03", "abc", "99.99", "01", {}},
                      TipCase{"PercentageBelowLowest", "03", none, "0.001", "01", {"36"}},
                      TipCase{"PercentageHundred", "03", none, "100", "01", {"36"}},
                      TipCase{"PercentageLongAndAbove", "03", none, "99.995", "01", {"35", "36"}},
                      TipCase{"PercentageComma", "03", none, "1,5", "01", {"36"}},
                      TipCase{"PercentageEmpty", "03", none, "", "01", {"35", "38"}},
                      TipCase{"PercentageMissing", "03", none, none, "01", {"39"}},
                      TipCase{"AmountForPercentageSingleCharacter", "03", "5", none, none, {"40"}},
                      TipCase{"AmountForPercentageTwoDigit", "03", "5", none, "01", {"39"}},
                      TipCase{"AmountForPercentageEmptyFormat", "03", "5", none, "", {}}));

} // namespace
} // namespace pavenda
