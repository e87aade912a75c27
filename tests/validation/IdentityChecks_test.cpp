#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;

struct MerchantIdCase {
  const char *name;
  std::optional<std::string> id;
  Codes expected;
};

void PrintTo(const MerchantIdCase &c, std::ostream *os) {
  *os << c.name;
}

class IdentityMerchantId : public ::testing::TestWithParam<MerchantIdCase> {};

TEST_P(IdentityMerchantId, RaisesInOrder) {
  CheckHarness harness;
  harness.validator().validateMerchantID(GetParam().id);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Identity, IdentityMerchantId,
    ::testing::Values(MerchantIdCase{"Absent", std::nullopt, {}},
                      MerchantIdCase{"SixteenDigitsValid", "4000000000000002", {}},
                      MerchantIdCase{"EightDigitsValidAsPan", "41234568", {}},
                      MerchantIdCase{"EightDigitsInvalidAsPan", "41234567", {"3"}},
                      MerchantIdCase{"NineDigitsValidOnlyAsPan", "400000002", {}},
                      MerchantIdCase{"NineDigitsValidOnlyAsWritten", "400000006", {"3"}},
                      MerchantIdCase{"FifteenDigitsValidOnlyAsPan", "400000000000002", {}},
                      MerchantIdCase{"FifteenDigitsValidOnlyAsWritten", "400000000000006", {"3"}},
                      MerchantIdCase{"StartsWithFive", "5123456789012345", {"1", "3"}},
                      MerchantIdCase{"SevenCharacters", "4123456", {"2", "3"}},
                      MerchantIdCase{"LetterInside", "4A23456789012345", {"4", "3"}},
                      MerchantIdCase{"Empty", "", {"2", "4"}},
                      MerchantIdCase{"SeventeenDigitsLuhnValid", "41234567890123458", {"2"}},
                      MerchantIdCase{"SeventeenDigitsLuhnInvalid", "41234567890123456", {"2", "3"}},
                      MerchantIdCase{"TwentyDigitsOverflow", "40000000000000000002", {"2", "4"}},
                      MerchantIdCase{"TwentyDigitsFit", "18446744073709551615", {"1", "2", "3"}},
                      MerchantIdCase{"MinusZeros", "-0000000", {"1"}},
                      MerchantIdCase{"MinusNonZero", "-1000000", {"1", "4", "3"}},
                      MerchantIdCase{"PlusSign", "+4000000000000002", {"1", "2"}},
                      MerchantIdCase{"ArabicIndicDigit",
                                     "4\xD9\xA3"
                                     "00000000000002",
                                     {"4"}},
                      MerchantIdCase{"CombiningMarkOnFour",
                                     "4\xCC\x81"
                                     "000000000000002",
                                     {"1", "4", "3"}}));

struct PanCase {
  const char *name;
  std::string id;
  std::string pan;
};

void PrintTo(const PanCase &c, std::ostream *os) {
  *os << c.name;
}

class IdentityPan : public ::testing::TestWithParam<PanCase> {};

TEST_P(IdentityPan, ConvertsToSixteenCharacters) {
  EXPECT_EQ(ZArodezPayMerchantTLVValidator::convertMerchantIdToPan(GetParam().id), GetParam().pan);
}

INSTANTIATE_TEST_SUITE_P(
    Identity, IdentityPan,
    ::testing::Values(PanCase{"Eight", "41234567", "4123450000000067"},
                      PanCase{"Seven", "4123456", "4123450000000006"},
                      PanCase{"Fifteen", "412345678901234", "4123450678901234"},
                      PanCase{"SixUnchanged", "412345", "412345"},
                      PanCase{"SixteenUnchanged", "4123456789012345", "4123456789012345"},
                      PanCase{"SeventeenUnchanged", "41234567890123456", "41234567890123456"},
                      PanCase{"CountsCharacters",
                              "\xC3\xA9"
                              "23456789",
                              "\xC3\xA9"
                              "234560000000789"}));

struct LuhnCase {
  const char *name;
  std::string pan;
  bool passes;
};

void PrintTo(const LuhnCase &c, std::ostream *os) {
  *os << c.name;
}

class IdentityLuhn : public ::testing::TestWithParam<LuhnCase> {};

TEST_P(IdentityLuhn, SumsDoubledEvenPositions) {
  EXPECT_EQ(ZArodezPayMerchantTLVValidator::luhnsAlgorithmCheck(GetParam().pan), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(Identity, IdentityLuhn,
                         ::testing::Values(LuhnCase{"Empty", "", true},
                                           LuhnCase{"Valid", "4000000000000002", true},
                                           LuhnCase{"WrongCheckDigit", "4000000000000001", false},
                                           LuhnCase{"DoubledAboveNine", "59", true},
                                           LuhnCase{"LetterKeepsItsPosition", "5X09", true}));

struct AccountCase {
  const char *name;
  std::vector<std::pair<ZARODEZMerchantTLV::MapProperty, TextMap>> templates;
  Codes expected;
};

void PrintTo(const AccountCase &c, std::ostream *os) {
  *os << c.name;
}

class IdentityAccountTemplate : public ::testing::TestWithParam<AccountCase> {};

TEST_P(IdentityAccountTemplate, ChecksTheUniqueIdentifier) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  for (const auto &[property, map] : GetParam().templates)
    record.setMap(property, map);
  harness.validator().validateMerchantAccountInformationTemplate(record);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

using P = ZARODEZMerchantTLV::MapProperty;

INSTANTIATE_TEST_SUITE_P(
    Identity, IdentityAccountTemplate,
    ::testing::Values(
        AccountCase{"None", {}, {}},
        AccountCase{"Valid", {{P::tag26, TextMap{{"00", "br.gov.bcb.pix"}}}}, {}},
        AccountCase{"TwoWithoutIdentifierOnce",
                    {{P::tag26, TextMap{{"01", "x"}}}, {P::tag30, TextMap{{"02", "y"}}}},
                    {"49"}},
        AccountCase{"EmptyTemplate", {{P::tag51, TextMap{}}}, {"49"}},
        AccountCase{"ThirtyTwoCharacters", {{P::tag40, TextMap{{"00", std::string(32, 'a')}}}}, {}},
        AccountCase{
            "ThirtyThreeCharacters", {{P::tag40, TextMap{{"00", std::string(33, 'a')}}}}, {"50"}},
        AccountCase{"EmptyIdentifier", {{P::tag26, TextMap{{"00", ""}}}}, {"50"}},
        AccountCase{"InTagOrder",
                    {{P::tag27, TextMap{}}, {P::tag26, TextMap{{"00", std::string(33, 'a')}}}},
                    {"50", "49"}},
        AccountCase{"OutsideTheRangeIgnored", {{P::tag80, TextMap{}}, {P::tag99, TextMap{}}}, {}}));

} // namespace
} // namespace pavenda
