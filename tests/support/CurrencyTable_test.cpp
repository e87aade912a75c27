#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include <unicode/ucurr.h>
#include <unicode/ustring.h>

#include "support/CurrencyTable.h"

namespace pavenda {
namespace {

const ISOCurrencyTable &table = ISOCountryCodes::availableISOCurrencies;

// ICU's ISO 4217 numeric code of `code`, the reference the table is checked against (ICU itself
// is not what the library reads; the table is compiled in).
int icuNumericCode(std::string_view code) {
  UChar isoCode[4] = {};
  for (std::size_t i = 0; i < 3 && i < code.size(); ++i)
    isoCode[i] = static_cast<UChar>(code[i]);
  return ucurr_getNumericCode(isoCode);
}

TEST(CurrencyTable, HasTheAcceptedCount) {
  EXPECT_EQ(table.size(), 179U);
}

TEST(CurrencyTable, MatchesIcuExceptTheKnownDeparture) {
  // 932 is paired with ZWD, whose ISO number was 716; every other row carries ICU's number.
  const std::map<std::string, std::pair<int, int>> departures = {{"ZWD", {932, 716}}};
  std::set<std::string> departuresSeen;
  for (const ISOCurrency &row : table.entries()) {
    const std::string code(row.code);
    const int icu = icuNumericCode(code);
    if (const auto departure = departures.find(code); departure != departures.end()) {
      EXPECT_EQ(row.number, departure->second.first) << code;
      EXPECT_EQ(icu, departure->second.second) << code;
      departuresSeen.insert(code);
    } else {
      EXPECT_EQ(row.number, icu) << code;
    }
  }
  EXPECT_EQ(departuresSeen.size(), departures.size());
}

TEST(CurrencyTable, CodesAreDistinctThreeUpperCaseLetters) {
  std::set<std::string_view> codes;
  for (const ISOCurrency &row : table.entries()) {
    EXPECT_EQ(row.code.size(), 3U);
    for (const char c : row.code)
      EXPECT_TRUE(c >= 'A' && c <= 'Z') << row.code;
    codes.insert(row.code);
  }
  EXPECT_EQ(codes.size(), table.size());
}

TEST(CurrencyTable, KeepsWithdrawnCodesAndLacksSuccessors) {
  const std::set<std::string_view> withdrawn = {"BYR", "HRK", "LTL", "MRO", "STD", "USS", "VEF"};
  const std::set<std::string_view> missing = {"SVC", "BYN", "MRU", "STN", "VES", "ZWL"};
  std::set<std::string_view> present;
  for (const ISOCurrency &row : table.entries())
    present.insert(row.code);
  for (const std::string_view code : withdrawn)
    EXPECT_TRUE(present.count(code)) << code;
  for (const std::string_view code : missing)
    EXPECT_FALSE(present.count(code)) << code;
}

struct LookupCase {
  int number;
  std::optional<std::string_view> code;
};

void PrintTo(const LookupCase &c, std::ostream *os) {
  *os << c.number;
}

class CurrencyTableLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(CurrencyTableLookup, FindsTheCodeOrNothing) {
  EXPECT_EQ(table.lookup(GetParam().number), GetParam().code);
  EXPECT_EQ(table.contains(GetParam().number), GetParam().code.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    CurrencyTable, CurrencyTableLookup,
    ::testing::Values(LookupCase{8, "ALL"}, LookupCase{36, "AUD"}, LookupCase{784, "AED"},
                      LookupCase{840, "USD"}, LookupCase{932, "ZWD"}, LookupCase{963, "XTS"},
                      LookupCase{999, "XXX"}, LookupCase{222, std::nullopt},
                      LookupCase{716, std::nullopt}, LookupCase{928, std::nullopt},
                      LookupCase{929, std::nullopt}, LookupCase{930, std::nullopt},
                      LookupCase{933, std::nullopt}, LookupCase{0, std::nullopt},
                      LookupCase{-8, std::nullopt}));

TEST(CurrencyTable, EveryEntryIsFoundByItsNumber) {
  for (const ISOCurrency &row : table.entries())
    EXPECT_EQ(table.lookup(row.number), row.code) << row.number;
}

} // namespace
} // namespace pavenda
