#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"
#include "validation/SharedValidator.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::CodeCase;
using testing_support::Codes;

class IdentityMerchantId : public ::testing::TestWithParam<CodeCase> {};

TEST_P(IdentityMerchantId, RaisesInOrder) {
  CheckHarness harness;
  validation::validateMerchantID(harness.list, testing_support::textOf(GetParam().value));
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

const std::string arabicThree = "\u0663", eAcute = "\u00e9", acute = "\u0301";

// The seven-, nine- and fifteen-digit cases pass the Luhn test only in their PAN form or only as
// written.
INSTANTIATE_TEST_SUITE_P(
    Identity, IdentityMerchantId,
    ::testing::Values(
        CodeCase{"Absent", std::nullopt, {}}, CodeCase{"SixteenDigits", "4000000000000002", {}},
        CodeCase{"EightDigitsBadCheck", "41234567", {"3"}},
        CodeCase{"NineValidAsPan", "400000002", {}},
        CodeCase{"NineValidAsWritten", "400000006", {"3"}},
        CodeCase{"FifteenValidAsPan", "400000000000002", {}},
        CodeCase{"FifteenValidAsWritten", "400000000000006", {"3"}},
        CodeCase{"StartsWithFive", "5123456789012345", {"1", "3"}},
        CodeCase{"SevenCharacters", "4123456", {"2", "3"}},
        CodeCase{"SevenValidAsPan", "4000002", {"2"}},
        CodeCase{"LetterInside", "4A23456789012345", {"4", "3"}}, CodeCase{"Empty", "", {"2", "4"}},
        CodeCase{"SeventeenValid", "41234567890123458", {"2"}},
        CodeCase{"TwentyDigitsOverflow", "40000000000000000002", {"2", "4"}},
        CodeCase{"MinusZeros", "-0000000", {"1"}},
        CodeCase{"LeadingZerosFit", "000000000000000000004", {"1", "2", "3"}},
        CodeCase{"TwentyDigitsAtTheLimit", "18446744073709551615", {"1", "2", "3"}},
        CodeCase{"PlusSign", "+4000000000000002", {"1", "2"}},
        CodeCase{"OtherScriptDigitAddsNothing", "4" + arabicThree + "00000000000002", {"4"}},
        CodeCase{"NonAsciiPanForm", "4" + eAcute + "0000002", {"4"}},
        CodeCase{"MarkJoinsTheFour", "4" + acute + "000000000000002", {"1", "4", "3"}}));

TEST(Identity, PanFormCountsCharacters) {
  EXPECT_EQ(ZArodezPayMerchantTLVValidator::convertMerchantIdToPan("41234567"), "4123450000000067");
  EXPECT_EQ(ZArodezPayMerchantTLVValidator::convertMerchantIdToPan(eAcute + "23456789"),
            eAcute + "234560000000789");
  EXPECT_EQ(ZArodezPayMerchantTLVValidator::convertMerchantIdToPan("412345"), "412345");
}

struct AccountCase {
  const char* name;
  std::vector<std::pair<ZARODEZMerchantTLV::MapProperty, TextMap>> templates;
  Codes expected;
};

void PrintTo(const AccountCase& c, std::ostream* os) {
  *os << c.name;
}

class IdentityAccountTemplate : public ::testing::TestWithParam<AccountCase> {};

TEST_P(IdentityAccountTemplate, ChecksTheUniqueIdentifier) {
  CheckHarness harness;
  ZArodezPayMerchantTLV record;
  for (const auto& [property, map] : GetParam().templates)
    record.setMap(property, map);
  harness.onRecord(validation::validateMerchantAccountInformationTemplate, record);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

using P = ZARODEZMerchantTLV::MapProperty;
// Characters, not bytes, are counted: the 32 characters of `id32` take 34 bytes.
const std::string id32 = std::string(31, 'a') + "\u4e2d", id33(33, 'a');

INSTANTIATE_TEST_SUITE_P(
    Identity, IdentityAccountTemplate,
    ::testing::Values(
        AccountCase{
            "TwoWithoutIdentifierOnce", {{P::tag26, {{"01", "x"}}}, {P::tag30, {}}}, {"49"}},
        AccountCase{"ThirtyTwoCharacters", {{P::tag51, {{"00", id32}}}}, {}},
        AccountCase{"ThirtyThreeCharacters", {{P::tag51, TextMap{{"00", id33}}}}, {"50"}},
        AccountCase{"EmptyIdentifier", {{P::tag26, {{"00", ""}}}}, {"50"}},
        AccountCase{"InTagOrder", {{P::tag27, {}}, {P::tag26, {{"00", id33}}}}, {"50", "49"}},
        AccountCase{"OtherTemplatesIgnored", {{P::tag80, {}}}, {}}));

} // namespace
} // namespace pavenda
