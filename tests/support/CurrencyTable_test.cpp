#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/CurrencyTable.h"

namespace pavenda {
namespace {

const ISOCurrencyTable& table = ISOCountryCodes::availableISOCurrencies;

// The numbers themselves are checked against ICU's in the ICU build (unicode_icu/).
TEST(CurrencyTable, LooksEveryRowUpByItsNumber) {
  ASSERT_EQ(table.size(), 179U);
  for (const ISOCurrency& row : table.entries()) {
    EXPECT_EQ(table.lookup(row.number), row.code);
    EXPECT_TRUE(table.contains(row.number)) << row.number;
  }
}

TEST(CurrencyTable, KeepsWithdrawnCodesAndLacksSuccessors) {
  std::set<std::string_view> codes;
  for (const ISOCurrency& row : table.entries())
    codes.insert(row.code);
  for (const std::string_view code : {"BYR", "HRK", "LTL", "MRO", "STD", "USS", "VEF", "XTS"})
    EXPECT_TRUE(codes.count(code)) << code;
  for (const std::string_view code : {"SVC", "BYN", "MRU", "STN", "VES", "ZWL"})
    EXPECT_FALSE(codes.count(code)) << code;
}

TEST(CurrencyTable, LooksNumbersUp) {
  EXPECT_EQ(table.lookup(8), "ALL");
  EXPECT_EQ(table.lookup(36), "AUD");
  EXPECT_EQ(table.lookup(840), "USD");
  EXPECT_EQ(table.lookup(932), "ZWD");
  EXPECT_EQ(table.lookup(999), "XXX");
  for (const int absent : {222, 716, 928, 929, 930, 933, 0, -8, 1000, 1023, 1024, 1032, -1024})
    EXPECT_FALSE(table.contains(absent)) << absent;
}

} // namespace
} // namespace pavenda
