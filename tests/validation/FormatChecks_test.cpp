#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "validation/CheckHarness.h"

namespace pavenda {
namespace {

using testing_support::CheckHarness;
using testing_support::CodeCase;
using testing_support::textOf;

// The check under test is the suite's parameter; its cases the test's.
template <void (*check)(validation::CodeList&, validation::Text)>
class FormatCheck : public ::testing::TestWithParam<CodeCase> {
protected:
  void run() {
    CheckHarness harness;
    check(harness.list, textOf(GetParam().value));
    EXPECT_EQ(harness.codes(), GetParam().expected);
  }
};

#define PAVENDA_FORMAT_CHECK(Name, ...)                                                            \
  using Name = FormatCheck<&validation::validate##Name>;                                           \
  TEST_P(Name, RaisesItsCodes) {                                                                   \
    run();                                                                                         \
  }                                                                                                \
  INSTANTIATE_TEST_SUITE_P(Format, Name, ::testing::Values(__VA_ARGS__))

const std::string otherScriptDigits = "\xD9\xA0\xD9\xA3\xD9\xA6"; // Arabic-Indic 036

PAVENDA_FORMAT_CHECK(PayloadFormatIndicator, CodeCase{"Valid", "01", {}},
                     CodeCase{"Absent", std::nullopt, {}}, CodeCase{"OtherValue", "02", {"42"}},
                     CodeCase{"OneCharacter", "1", {"41"}}, CodeCase{"LetterOnce", "0A", {"42"}},
                     CodeCase{"LongLetters", "ABC", {"41", "42"}},
                     CodeCase{"LongDigits", "001", {"41"}});

PAVENDA_FORMAT_CHECK(MerchantCategoryCode, CodeCase{"Valid", "5812", {}},
                     CodeCase{"Three", "581", {"8"}}, CodeCase{"Five", "58120", {"8"}},
                     CodeCase{"Letter", "58A2", {"8"}},
                     CodeCase{"OtherScriptDigits", otherScriptDigits + "\xD9\xA1", {}},
                     CodeCase{"Absent", std::nullopt, {"9"}});

PAVENDA_FORMAT_CHECK(CountryCode, CodeCase{"Valid", "US", {}}, CodeCase{"LowerCase", "us", {"12"}},
                     CodeCase{"ThreeLettersOnce", "USA", {"12"}},
                     CodeCase{"NotARegion", "QQ", {"12"}},
                     CodeCase{"Absent", std::nullopt, {"13"}});

PAVENDA_FORMAT_CHECK(MerchantName, CodeCase{"TwentyFive", std::string(24, 'n') + "e\xCC\x81", {}},
                     CodeCase{"TwentySix", std::string(26, 'n'), {"6"}},
                     CodeCase{"Empty", "", {"6"}}, CodeCase{"Absent", std::nullopt, {"7"}});

PAVENDA_FORMAT_CHECK(CityName, CodeCase{"Fifteen", std::string(15, 'c'), {}},
                     CodeCase{"Sixteen", std::string(16, 'c'), {"10"}},
                     CodeCase{"Empty", "", {"10"}}, CodeCase{"Absent", std::nullopt, {"11"}});

PAVENDA_FORMAT_CHECK(CurrencyCode, CodeCase{"Rupee", "356", {}}, CodeCase{"NoCurrency", "999", {}},
                     CodeCase{"LeadingZeros", "008", {}}, CodeCase{"NotAKey", "123", {"14"}},
                     CodeCase{"Successor", "933", {"14"}}, CodeCase{"TwoCharacters", "36", {"14"}},
                     CodeCase{"Letter", "03A", {"14"}},
                     CodeCase{"OtherScriptDigits", otherScriptDigits, {"14"}},
                     CodeCase{"Absent", std::nullopt, {"15"}});

PAVENDA_FORMAT_CHECK(PostalCode, CodeCase{"Absent", std::nullopt, {}},
                     CodeCase{"Ten", "SW1A 1AA12", {}},
                     CodeCase{"Eleven", std::string(11, '1'), {"43"}},
                     CodeCase{"Empty", "", {"43"}});

} // namespace
} // namespace pavenda
