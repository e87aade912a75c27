#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/TextPredicates.h"

namespace pavenda {
namespace {

TEST(TextPredicates, LengthCountsUserPerceivedCharacters) {
  EXPECT_FALSE(isLengthInRange("", 1, 26));
  EXPECT_TRUE(isLengthInRange("", 0, 0));
  EXPECT_TRUE(isLengthInRange(std::string(26, 'x'), 1, 26));
  EXPECT_FALSE(isLengthInRange(std::string(27, 'x'), 1, 26));
  EXPECT_FALSE(isLengthInRange("abc", 3, 2));
  EXPECT_TRUE(isLengthInRange("ab", -5, 2));
  EXPECT_TRUE(isLengthInRange("e\xCC\x81", 1, 1));                        // combining mark
  EXPECT_TRUE(isLengthInRange("\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", 1, 1)); // flag
  EXPECT_TRUE(isLengthInRange("a\r\n", 2, 2));
}

TEST(TextPredicates, CharacterAtAnswersTheWholeCharacterOrNothing) {
  EXPECT_EQ(characterAt("a", 1), std::nullopt);
  EXPECT_EQ(characterAt("ab", 1), "b");
  EXPECT_EQ(characterAt("", 0), std::nullopt);
  EXPECT_EQ(characterAt("abc", -1), std::nullopt);
  EXPECT_EQ(characterAt("ae\xCC\x81z", 1), "e\xCC\x81");
  EXPECT_EQ(characterAt("\r\nx", 1), "x");
}

struct RegexCase {
  const char* name;
  std::string pattern;
  std::string text;
  bool expected;
};

void PrintTo(const RegexCase& c, std::ostream* os) {
  *os << c.name;
}

class TextPredicatesRegex : public ::testing::TestWithParam<RegexCase> {};

TEST_P(TextPredicatesRegex, FindsSomeMatch) {
  const RegexCase& c = GetParam();
  EXPECT_EQ(isMatchingRegex(c.pattern, c.text), c.expected);
  const std::optional<unicode::Regex> compiled = unicode::Regex::compile(c.pattern);
  ASSERT_TRUE(compiled.has_value());
  EXPECT_EQ(isMatchingRegex(*compiled, c.text), c.expected) << "the compiled form must agree";
}

const std::string primary(PRIMARY_ID_REGEX);

INSTANTIATE_TEST_SUITE_P(
    TextPredicates, TextPredicatesRegex,
    ::testing::Values(RegexCase{"PrimarySeven", primary, "7xyz", true},
                      RegexCase{"PrimaryLowerA", primary, "a", true},
                      RegexCase{"PrimaryUpperQ", primary, "Q-", true},
                      RegexCase{"PrimaryZero", primary, "0", false},
                      RegexCase{"PrimaryLowerR", primary, "r", false},
                      RegexCase{"PrimaryUpperR", primary, "R1", false},
                      RegexCase{"PrimaryMinus", primary, "-1", false},
                      RegexCase{"PrimaryEmpty", primary, "", false},
                      RegexCase{"PrimaryAnchorsTheStart", primary, "x1", false},
                      RegexCase{"UnanchoredInTheMiddle", "b+", "abbc", true},
                      RegexCase{"DotDoesNotMatchLineEnd", "^a.b$", "a\nb", false}));

TEST(TextPredicates, BadPatternPrintsOneQuotedLineAndYieldsFalse) {
  ::testing::internal::CaptureStdout();
  const bool matched = isMatchingRegex("(\"", "x");
  const std::string output = ::testing::internal::GetCapturedStdout();
  EXPECT_FALSE(matched);
  ASSERT_GE(output.size(), 3U);
  EXPECT_EQ(output.front(), '"');
  EXPECT_EQ(output.substr(output.size() - 2), "\"\n");
  EXPECT_EQ(output.find('\n'), output.size() - 1) << "exactly one line";
  EXPECT_NE(output.find("\\\""), std::string::npos) << "quotes inside are escaped: " << output;
}

TEST(TextPredicates, EqualityIgnoresCase) {
  EXPECT_TRUE(isEqualTo("aBc", "AbC"));
  EXPECT_FALSE(isEqualTo("01", "1"));
  EXPECT_FALSE(isEqualTo("ab", "ac"));
  EXPECT_TRUE(isEqualTo("\xC3\x89"
                        "COLE",
                        "\xC3\xA9"
                        "cole"));
  EXPECT_TRUE(isEqualTo("\xC3\xA9", "e\xCC\x81")); // canonically equivalent
  EXPECT_TRUE(isEqualTo("\xE2\x84\xAA", "k"));     // the Kelvin sign lower-cases to k
  EXPECT_FALSE(isEqualTo("stra\xC3\x9F"
                         "e",
                         "STRASSE"));
}

} // namespace
} // namespace pavenda
