#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <string_view>

#include "support/DecimalText.h"

namespace pavenda {
namespace {

// `before`, `n` zeros, then `after`.
std::string withZeros(std::string_view before, std::size_t n, std::string_view after) {
  std::string text(before);
  text.append(n, '0');
  text.append(after);
  return text;
}

// The exact decimal expansion of a double, as the C library prints it.
std::string exactDecimal(double value) {
  char buffer[1200];
  std::snprintf(buffer, sizeof buffer, "%.1100f", value);
  std::string text(buffer);
  while (text.back() == '0')
    text.pop_back();
  return text;
}

TEST(DecimalText, RefusesAnythingButDigitsAndOnePeriod) {
  for (const std::string_view text : {"", ".", "..", "1..2", "1.2.3", "-1", "+1", "1e5", " 1", "1 ",
                                      "0x10", "1,5", "\u0661", "inf", "nan"})
    EXPECT_FALSE(parseDecimal(text)) << text;
}

// Expectations are the compiler's own correctly rounded literals.
TEST(DecimalText, RoundsToNearestDouble) {
  const std::pair<std::string, double> cases[] = {
      {"0", 0.0},
      {"000", 0.0},
      {"0.000", 0.0},
      {"5.", 5.0},
      {".5", 0.5},
      {"007", 7.0},
      {"12.50", 12.5},
      {"0.01", 0.01},
      {"99.99", 99.99},
      {"0.1", 0.1},
      {"1234567890123.45", 1234567890123.45},
      {"123456789012345678901234567890", 1.2345678901234568e29},
      {withZeros("1", 23, ""), 1e23},
      {"9007199254740993", 9007199254740992.0}, // halfway, ties to even below
      {"9007199254740995", 9007199254740996.0}, // halfway, ties to even above
      {"9007199254740993.0000000000000000000001", 9007199254740994.0}, // just above halfway
      {withZeros("0.", 307, "22250738585072011"), 2.2250738585072011e-308},
      {withZeros("0.", 307, "22250738585072014"), 2.2250738585072014e-308},
      {withZeros("0.", 323, "5"), 4.9406564584124654e-324},
      {withZeros("0.", 323, "3"), 4.9406564584124654e-324},
      {withZeros("0.", 323, "2"), 0.0},
      {withZeros("0.", 400, "1"), 0.0},
      {withZeros("17976931348623157", 292, ""), 1.7976931348623157e308},
      {withZeros("18", 307, ""), std::numeric_limits<double>::infinity()},
      {withZeros("1", 400, ""), std::numeric_limits<double>::infinity()},
      {"3.14159265358979323846264338327950288419716939937510", 3.14159265358979323846},
  };
  for (const auto& [text, expected] : cases) {
    const std::optional<double> value = parseDecimal(text);
    ASSERT_TRUE(value) << text;
    EXPECT_EQ(*value, expected) << text;
  }
}

// The exact boundaries: the largest double and the smallest subnormal come back from their exact
// expansions, and the midpoint between the two smallest doubles ties to zero while a hair more
// rounds up; a text of more digits than can matter still rounds on its last one.
TEST(DecimalText, ExactExpansionsAndMidpoints) {
  EXPECT_EQ(parseDecimal(exactDecimal(DBL_MAX)), DBL_MAX);
  const double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(parseDecimal(exactDecimal(tiny)), tiny);
  EXPECT_EQ(parseDecimal(exactDecimal(DBL_MIN)), DBL_MIN);
  // tiny / 2 is exactly 2^-1075: tiny's expansion halved, which ends in 5 one place further.
  const std::string tinyText = exactDecimal(tiny); // "0.000...4940656..."
  std::string half = "0.";
  int carry = 0;
  for (const char c : tinyText.substr(2) + "0") {
    const int d = carry * 10 + (c - '0');
    half.push_back(static_cast<char>('0' + d / 2));
    carry = d % 2;
  }
  EXPECT_EQ(parseDecimal(half), 0.0);
  EXPECT_EQ(parseDecimal(withZeros(half, 900, "1")), tiny);
  // 1 + 2^-53, halfway between 1 and the next double, ties to 1; anything above, however far out,
  // goes up.
  std::string oneAndHalfUlp = exactDecimal(std::ldexp(1.0, -53));
  oneAndHalfUlp[0] = '1';
  EXPECT_EQ(parseDecimal(oneAndHalfUlp), 1.0);
  EXPECT_EQ(parseDecimal(withZeros(oneAndHalfUlp, 2000, "1")), 1.0 + std::ldexp(1.0, -52));
}

// Random texts of every shape against the C library's strtod, which rounds correctly on the
// hosts the suite runs on (glibc). The texts are plain "C" locale numbers.
TEST(DecimalText, AgreesWithStrtodOnRandomTexts) {
  std::mt19937_64 random(2024);
  const auto digits = [&random](std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
      text.push_back(static_cast<char>('0' + random() % 10));
    return text;
  };
  for (int i = 0; i < 10000; ++i) {
    const std::size_t whole = random() % (i % 10 == 0 ? 400 : 25);
    const std::size_t fraction = random() % (i % 7 == 0 ? 400 : 25);
    const std::size_t zeroRun = i % 5 == 0 ? random() % 340 : 0;
    std::string text = digits(whole);
    if (fraction > 0 || zeroRun > 0 || whole == 0)
      text += withZeros(".", zeroRun, digits(fraction + (whole == 0 ? 1 : 0)));
    const double expected = std::strtod(text.c_str(), nullptr);
    const std::optional<double> value = parseDecimal(text);
    ASSERT_TRUE(value) << text;
    ASSERT_EQ(*value, expected) << text;
  }
}

} // namespace
} // namespace pavenda
