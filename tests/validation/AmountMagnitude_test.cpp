#include <gtest/gtest.h>

#include <algorithm>

#include "validation/Checks.h"

namespace pavenda {
namespace {

// Transaction ("17") and fee ("32") amounts are positive only when their value, read as a double,
// is: one too small for a double reads as zero, however many digits it has.
TEST(Validation, AmountMagnitudeDecidesTheIncorrectValueCodes) {
  const std::tuple<const char*, std::string, bool> cases[] = {
      {"SmallestDigitAt300", "0." + std::string(297, '0') + "1", true},
      {"UnderflowsToZero", "0." + std::string(400, '0') + "1", false},
      {"ManyLeadingZeros", std::string(400, '0') + "7", true},
      {"HugeIsPositive", std::string(400, '9'), true}};
  for (const auto& [name, value, positive] : cases) {
    validation::CodeList codes;
    validation::validateTransactAmount(codes, value);
    validation::validateConvenienceFeeAmount(codes, value);
    for (const std::string_view code : {"17", "32"})
      EXPECT_EQ(std::ranges::count(codes.codes(), code), !positive) << name << " " << code;
  }
}

} // namespace
} // namespace pavenda
