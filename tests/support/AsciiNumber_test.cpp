#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "support/AsciiNumber.h"

namespace pavenda {
namespace {

// A text of ASCII digits is its number while it fits an int; beyond, nothing (a currency field of
// twenty digits once wrapped around to some other number).
TEST(AsciiNumber, ParsesDigitsOnlyWhileTheNumberFits) {
  struct Case {
    std::string_view text;
    std::optional<int> value;
  };
  for (const Case& c : {Case{"036", 36}, Case{"0", 0}, Case{"2147483647", 2147483647},
                        Case{"2147483648", std::nullopt}, Case{"4294967302", std::nullopt},
                        Case{"23978570135915", std::nullopt}, Case{"", std::nullopt},
                        Case{"3a", std::nullopt}, Case{"+3", std::nullopt}})
    EXPECT_EQ(parseAsciiDigits(c.text), c.value) << c.text;
}

} // namespace
} // namespace pavenda
