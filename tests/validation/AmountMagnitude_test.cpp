#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "validation/Validator.h"

namespace pavenda {
namespace {

using Codes = std::vector<std::string>;

// A transaction amount and a fee amount are positive only when their value, read as a double, is:
// a value too small for a double reads as zero, however many digits it has.
struct MagnitudeCase {
  const char* name;
  std::string value;
  bool positive;
};

void PrintTo(const MagnitudeCase& c, std::ostream* os) {
  *os << c.name;
}

class AmountMagnitude : public ::testing::TestWithParam<MagnitudeCase> {};

bool contains(const Codes& codes, const char* code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

TEST_P(AmountMagnitude, DecidesTheIncorrectValueCodes) {
  ZArodezPayMerchantTLVValidator& validator = ZArodezPayMerchantTLVValidator::sharedValidator();
  const auto lock = validator.lock();
  validator.validatePayMerchantTLV01(nullptr);
  validator.validateTransactAmount(GetParam().value);
  EXPECT_EQ(contains(validator.errorCodes(), "17"), !GetParam().positive);
  validator.validatePayMerchantTLV01(nullptr);
  validator.validateConvenienceFeeAmount(GetParam().value);
  EXPECT_EQ(contains(validator.errorCodes(), "32"), !GetParam().positive);
}

INSTANTIATE_TEST_SUITE_P(
    Validation, AmountMagnitude,
    ::testing::Values(MagnitudeCase{"Ordinary", "450.00", true},
                      MagnitudeCase{"AllZeros", "000.000", false},
                      MagnitudeCase{"SmallestDigitAt300", "0." + std::string(297, '0') + "1", true},
                      MagnitudeCase{"UnderflowsToZero", "0." + std::string(400, '0') + "1", false},
                      MagnitudeCase{"ManyLeadingZeros", std::string(400, '0') + "7", true},
                      MagnitudeCase{"HugeIsPositive", std::string(400, '9'), true},
                      MagnitudeCase{"TwoPeriods", "1.2.3", false},
                      MagnitudeCase{"PeriodOnly", ".", false}));

} // namespace
} // namespace pavenda
