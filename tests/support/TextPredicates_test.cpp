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

// Whether `pattern` matches somewhere in `text`; the compiled form must agree.
bool matches(std::string_view pattern, std::string_view text) {
  const bool found = isMatchingRegex(pattern, text);
  const std::optional<unicode::Regex> compiled = unicode::Regex::compile(pattern);
  EXPECT_TRUE(compiled && isMatchingRegex(*compiled, text) == found) << pattern << " in " << text;
  return found;
}

// Some match anywhere: a pattern carries its own anchors.
TEST(TextPredicates, RegexFindsSomeMatch) {
  for (const char* text : {"7xyz", "a", "Q-"})
    EXPECT_TRUE(matches(PRIMARY_ID_REGEX, text)) << text;
  for (const char* text : {"0", "r", "R1", "-1", "", "x1"})
    EXPECT_FALSE(matches(PRIMARY_ID_REGEX, text)) << text;
  EXPECT_TRUE(matches("b+", "abbc"));
  EXPECT_FALSE(matches("^a.b$", "a\nb")) << "a dot does not match a line end";
}

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
  EXPECT_TRUE(isEqualTo("aBcZ", "AbCz"));
  EXPECT_FALSE(isEqualTo("01", "1"));
  EXPECT_FALSE(isEqualTo("ab", "ac"));
  EXPECT_TRUE(isEqualTo("\u00c9COLE", "\u00e9cole"));
  EXPECT_TRUE(isEqualTo("\xC3\xA9", "e\xCC\x81")); // canonically equivalent
  EXPECT_TRUE(isEqualTo("\xE2\x84\xAA", "k"));     // the Kelvin sign lower-cases to k
  EXPECT_FALSE(isEqualTo("stra\u00dfe", "STRASSE"));
}

} // namespace
} // namespace pavenda
