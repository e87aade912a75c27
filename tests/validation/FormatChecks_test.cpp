#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::Codes;
using Check = void (ZArodezPayMerchantTLVValidator::*)(const std::optional<std::string> &);
using V = ZArodezPayMerchantTLVValidator;

struct FormatCase {
  const char *name;
  Check check;
  std::optional<std::string> value;
  Codes expected;
};

void PrintTo(const FormatCase &c, std::ostream *os) {
  *os << c.name;
}

class FormatChecks : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatChecks, RaisesTheFieldsCodes) {
  CheckHarness harness;
  (harness.validator().*GetParam().check)(GetParam().value);
  EXPECT_EQ(harness.codes(), GetParam().expected);
}

const std::string arabicIndic036 = "\xD9\xA0\xD9\xA3\xD9\xA6";

INSTANTIATE_TEST_SUITE_P(
    PayloadFormatIndicator, FormatChecks,
    ::testing::Values(FormatCase{"Valid", &V::validatePayloadFormatIndicator, "01", {}},
                      FormatCase{"Absent", &V::validatePayloadFormatIndicator, std::nullopt, {}},
                      FormatCase{"OtherValue", &V::validatePayloadFormatIndicator, "02", {"42"}},
                      FormatCase{"OneCharacter", &V::validatePayloadFormatIndicator, "1", {"41"}},
                      FormatCase{"LetterOnce", &V::validatePayloadFormatIndicator, "0A", {"42"}},
                      FormatCase{
                          "LongLetters", &V::validatePayloadFormatIndicator, "ABC", {"41", "42"}},
                      FormatCase{"LongDigits", &V::validatePayloadFormatIndicator, "001", {"41"}},
                      FormatCase{"Empty", &V::validatePayloadFormatIndicator, "", {"41"}}));

INSTANTIATE_TEST_SUITE_P(
    MerchantCategoryCode, FormatChecks,
    ::testing::Values(FormatCase{"Valid", &V::validateMerchantCategoryCode, "5812", {}},
                      FormatCase{"Three", &V::validateMerchantCategoryCode, "581", {"8"}},
                      FormatCase{"Five", &V::validateMerchantCategoryCode, "58120", {"8"}},
                      FormatCase{"Letter", &V::validateMerchantCategoryCode, "58A2", {"8"}},
                      FormatCase{"OtherScriptDigits",
                                 &V::validateMerchantCategoryCode,
                                 arabicIndic036 + "\xD9\xA1",
                                 {}},
                      FormatCase{"Absent", &V::validateMerchantCategoryCode, std::nullopt, {"9"}}));

INSTANTIATE_TEST_SUITE_P(
    CountryCode, FormatChecks,
    ::testing::Values(FormatCase{"Valid", &V::validateCountryCode, "US", {}},
                      FormatCase{"LowerCase", &V::validateCountryCode, "us", {"12"}},
                      FormatCase{"ThreeLettersOnce", &V::validateCountryCode, "USA", {"12"}},
                      FormatCase{"NotARegion", &V::validateCountryCode, "QQ", {"12"}},
                      FormatCase{"Empty", &V::validateCountryCode, "", {"12"}},
                      FormatCase{"Absent", &V::validateCountryCode, std::nullopt, {"13"}}));

INSTANTIATE_TEST_SUITE_P(
    MerchantName, FormatChecks,
    ::testing::Values(
        FormatCase{"TwentyFive", &V::validateMerchantName, std::string(25, 'n'), {}},
        FormatCase{"TwentySix", &V::validateMerchantName, std::string(26, 'n'), {"6"}},
        FormatCase{"AnyCharacters", &V::validateMerchantName, "Fulano de Tal & Co.", {}},
        FormatCase{
            "TwentyFiveAccented", &V::validateMerchantName, std::string(24, 'n') + "e\xCC\x81", {}},
        FormatCase{"Empty", &V::validateMerchantName, "", {"6"}},
        FormatCase{"Absent", &V::validateMerchantName, std::nullopt, {"7"}}));

INSTANTIATE_TEST_SUITE_P(
    CityName, FormatChecks,
    ::testing::Values(FormatCase{"Fifteen", &V::validateCityName, std::string(15, 'c'), {}},
                      FormatCase{"Sixteen", &V::validateCityName, std::string(16, 'c'), {"10"}},
                      FormatCase{"Empty", &V::validateCityName, "", {"10"}},
                      FormatCase{"Absent", &V::validateCityName, std::nullopt, {"11"}}));

INSTANTIATE_TEST_SUITE_P(
    CurrencyCode, FormatChecks,
    ::testing::Values(FormatCase{"Rupee", &V::validateCurrencyCode, "356", {}},
                      FormatCase{"NoCurrency", &V::validateCurrencyCode, "999", {}},
                      FormatCase{"LeadingZeros", &V::validateCurrencyCode, "008", {}},
                      FormatCase{"NotAKey", &V::validateCurrencyCode, "123", {"14"}},
                      FormatCase{"Successor", &V::validateCurrencyCode, "933", {"14"}},
                      FormatCase{"TwoCharacters", &V::validateCurrencyCode, "36", {"14"}},
                      FormatCase{"Letter", &V::validateCurrencyCode, "03A", {"14"}},
                      FormatCase{"Signed", &V::validateCurrencyCode, "+36", {"14"}},
                      FormatCase{
                          "OtherScriptDigits", &V::validateCurrencyCode, arabicIndic036, {"14"}},
                      FormatCase{"Absent", &V::validateCurrencyCode, std::nullopt, {"15"}}));

INSTANTIATE_TEST_SUITE_P(
    PostalCode, FormatChecks,
    ::testing::Values(FormatCase{"Absent", &V::validatePostalCode, std::nullopt, {}},
                      FormatCase{"Ten", &V::validatePostalCode, "SW1A 1AA12", {}},
                      FormatCase{"Eleven", &V::validatePostalCode, std::string(11, '1'), {"43"}},
                      FormatCase{"Empty", &V::validatePostalCode, "", {"43"}}));

} // namespace
} // namespace pavenda
