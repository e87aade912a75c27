#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;

const std::string arabicIndic12 = "\xD9\xA1\xD9\xA2";

struct AmountCase {
  const char *name;
  std::optional<std::string> value;
  Codes expected;
};

void PrintTo(const AmountCase &c, std::ostream *os) {
  *os << c.name;
}

class AmountTransaction : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountTransaction, RaisesInOrder) {
  CheckHarness harness;
  harness.validator().validateTransactAmount(GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Amount, AmountTransaction,
    ::testing::Values(AmountCase{"Absent", std::nullopt, {}}, AmountCase{"Decimal", "12.50", {}},
                      AmountCase{"ZeroDecimal", "0.00", {"17"}}, AmountCase{"Zero", "0", {"17"}},
                      AmountCase{"Negative", "-5", {"17"}}, AmountCase{"Comma", "1,000", {"17"}},
                      AmountCase{"LeadingBlank", " 5", {"17"}},
                      AmountCase{"TwelveDigits", "123456789012", {}},
                      AmountCase{"ThirteenDigits", "1234567890123", {"16"}},
                      AmountCase{"FourteenWithPeriod", "123456789012.5", {"16"}},
                      AmountCase{"ThirteenWithPeriod", "12345678901.5", {}},
                      AmountCase{"TwoPeriods", "1.2.3", {"17"}},
                      AmountCase{"LonePeriod", ".", {"17"}}, AmountCase{"TrailingPeriod", "5.", {}},
                      AmountCase{"LeadingPeriod", ".5", {}}, AmountCase{"Exponent", "1e5", {"17"}},
                      AmountCase{"OtherScriptDigits", arabicIndic12, {"17"}},
                      AmountCase{"Empty", "", {"16", "17", "18"}},
                      AmountCase{
                          "ThirteenLettersTooLongAndWrong", std::string(14, 'x'), {"16", "17"}}));

class AmountFee : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountFee, RaisesInOrder) {
  CheckHarness harness;
  harness.validator().validateConvenienceFeeAmount(*GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Amount, AmountFee,
                         ::testing::Values(AmountCase{"Valid", "5.00", {}},
                                           AmountCase{"LettersOnce", "abc", {"31"}},
                                           AmountCase{"Comma", "5,00", {"32"}},
                                           AmountCase{"Zero", "0.0", {"32"}},
                                           AmountCase{"ThirteenDigits", "1234567890123", {}},
                                           AmountCase{"FourteenDigits", "12345678901234", {"31"}},
                                           AmountCase{"OtherScriptDigits", arabicIndic12, {"32"}},
                                           AmountCase{"Empty", "", {"31", "32", "34"}}));

class AmountPercentage : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountPercentage, RaisesInOrder) {
  CheckHarness harness;
  harness.validator().validateConveniencePercentage(*GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Amount, AmountPercentage,
                         ::testing::Values(AmountCase{"Lowest", "0.01", {}},
                                           AmountCase{"Highest", "99.99", {}},
                                           AmountCase{"BelowLowest", "0.001", {"36"}},
                                           AmountCase{"Hundred", "100", {"36"}},
                                           AmountCase{"TooLongAndAbove", "99.995", {"35", "36"}},
                                           AmountCase{"Letter", "1a", {"36"}},
                                           AmountCase{"Comma", "1,5", {"36"}},
                                           AmountCase{"TwoPeriods", "1.2.3", {"36"}},
                                           AmountCase{"OtherScriptDigits", arabicIndic12, {"36"}},
                                           AmountCase{"Empty", "", {"35", "38"}}));

struct TipCase {
  const char *name;
  std::optional<std::string> indicator;
  std::optional<std::string> amount;
  std::optional<std::string> percentage;
  std::optional<std::string> formatIndicator;
  Codes expected;
};

void PrintTo(const TipCase &c, std::ostream *os) {
  *os << c.name;
}

class AmountTipAndFee : public ::testing::TestWithParam<TipCase> {};

TEST_P(AmountTipAndFee, FollowsTheIndicator) {
  CheckHarness harness;
  const TipCase &c = GetParam();
  ZArodezPayMerchantTLV record;
  record.setTipAndFeeIndicator(c.indicator);
  record.setConvenienceFeeAmount(c.amount);
  record.setConvenienceFeePercentage(c.percentage);
  record.setPayloadFormatIndicator(c.formatIndicator);
  harness.validator().validateTipAndFeeIndicator(record);
  EXPECT_EQ(harness.codes(), c.expected);
}

const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Amount, AmountTipAndFee,
    ::testing::Values(TipCase{"AbsentWithAmount", none, "1", none, "01", {"29"}},
                      TipCase{"AbsentWithPercentage", none, none, "1", "01", {"29"}},
                      TipCase{"AbsentWithBothOnce", none, "1", "1", "01", {"29"}},
                      TipCase{"AbsentAlone", none, none, none, "01", {}},
                      TipCase{"OneCharacter", "1", "abc", "abc", "01", {"28"}},
                      TipCase{"Unknown", "04", none, none, "01", {"28"}},
                      TipCase{"Empty", "", none, none, "01", {"28", "30"}},
                      TipCase{"TipWithAmount", "01", "", none, "01", {"29"}},
                      TipCase{"TipWithPercentage", "01", none, "5", "01", {"29"}},
                      TipCase{"TipAlone", "01", none, none, "01", {}},
                      TipCase{"FixedFeeMissing", "02", none, none, "01", {"39"}},
                      TipCase{"FixedFeeValid", "02", "2.50", none, "01", {}},
                      TipCase{"FixedFeeChecked", "02", "", none, "01", {"31", "32", "34"}},
                      TipCase{"FixedFeeWithPercentage", "02", "abc", "5", "01", {"31", "39"}},
                      TipCase{"FixedFeeOnlyPercentage", "02", none, "5", "01", {"39"}},
                      TipCase{"PercentageValid", "03", none, "5", "01", {}},
                      TipCase{"PercentageChecked", "03", "abc", "", "01", {"35", "38"}},
                      TipCase{"PercentageMissing", "03", none, none, "01", {"39"}},
                      TipCase{
                          "PercentageGivenAsAmountSingleCharacter", "03", "5", none, none, {"40"}},
                      TipCase{"PercentageGivenAsAmountTwoDigit", "03", "5", none, "01", {"39"}},
                      TipCase{"PercentageGivenAsAmountEmptyFormat", "03", "5", none, "", {}}));

} // namespace
} // namespace pavenda
