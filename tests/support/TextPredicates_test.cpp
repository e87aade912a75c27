#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/TextPredicates.h"

namespace pavenda {
namespace {

struct LengthCase {
  const char *name;
  std::string text;
  std::int64_t minimum;
  std::int64_t maxValue;
  bool expected;
};

void PrintTo(const LengthCase &c, std::ostream *os) {
  *os << c.name;
}

class TextPredicatesLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(TextPredicatesLength, CountsUserPerceivedCharacters) {
  const LengthCase &c = GetParam();
  EXPECT_EQ(isLengthInRange(c.text, c.minimum, c.maxValue), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextPredicates, TextPredicatesLength,
    ::testing::Values(LengthCase{"EmptyBelowOne", "", 1, 26, false},
                      LengthCase{"EmptyInZeroToZero", "", 0, 0, true},
                      LengthCase{"TwentySixInRange", std::string(26, 'x'), 1, 26, true},
                      LengthCase{"TwentySevenAbove", std::string(27, 'x'), 1, 26, false},
                      LengthCase{"MinimumAboveMaximum", "abc", 3, 2, false},
                      LengthCase{"NegativeMinimum", "ab", -5, 2, true},
                      LengthCase{"CombiningMarkIsOneCharacter", "e\xCC\x81", 1, 1, true},
                      LengthCase{"FlagIsOneCharacter", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", 1, 1,
                                 true},
                      LengthCase{"CrLfIsOneCharacter", "a\r\n", 2, 2, true},
                      LengthCase{"MultiByteNotCountedAsBytes", "caf\xC3\xA9", 4, 4, true}));

struct CharacterCase {
  const char *name;
  std::string text;
  std::int64_t position;
  std::optional<std::string> expected;
};

void PrintTo(const CharacterCase &c, std::ostream *os) {
  *os << c.name;
}

class TextPredicatesCharacterAt : public ::testing::TestWithParam<CharacterCase> {};

TEST_P(TextPredicatesCharacterAt, AnswersTheCharacterOrNothing) {
  const CharacterCase &c = GetParam();
  EXPECT_EQ(characterAt(c.text, c.position), c.expected);
}

INSTANTIATE_TEST_SUITE_P(TextPredicates, TextPredicatesCharacterAt,
                         ::testing::Values(CharacterCase{"SecondOfOne", "a", 1, std::nullopt},
                                           CharacterCase{"SecondOfTwo", "ab", 1, "b"},
                                           CharacterCase{"FirstOfEmpty", "", 0, std::nullopt},
                                           CharacterCase{"Negative", "abc", -1, std::nullopt},
                                           CharacterCase{"WholeCluster", "ae\xCC\x81z", 1,
                                                         "e\xCC\x81"},
                                           CharacterCase{"AfterCrLf", "\r\nx", 1, "x"},
                                           CharacterCase{"PastTheEnd", "abc", 3, std::nullopt}));

struct RegexCase {
  const char *name;
  std::string pattern;
  std::string text;
  bool expected;
};

void PrintTo(const RegexCase &c, std::ostream *os) {
  *os << c.name;
}

class TextPredicatesRegex : public ::testing::TestWithParam<RegexCase> {};

TEST_P(TextPredicatesRegex, FindsSomeMatch) {
  const RegexCase &c = GetParam();
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
                      RegexCase{"PrimaryLowerQ", primary, "q", true},
                      RegexCase{"PrimaryZero", primary, "0", false},
                      RegexCase{"PrimaryLowerR", primary, "r", false},
                      RegexCase{"PrimaryUpperR", primary, "R1", false},
                      RegexCase{"PrimaryMinus", primary, "-1", false},
                      RegexCase{"PrimaryEmpty", primary, "", false},
                      RegexCase{"PrimaryOnlyAnchorsTheStart", primary, "x1", false},
                      RegexCase{"UnanchoredInTheMiddle", "b+", "abbc", true},
                      RegexCase{"DotDoesNotMatchLineEnd", "^a.b$", "a\nb", false},
                      RegexCase{"CaseSensitive", "abc", "ABC", false}));

TEST(TextPredicatesRegexFailure, PrintsOneQuotedLineAndYieldsFalse) {
  ::testing::internal::CaptureStdout();
  const bool matched = isMatchingRegex("[a-", "a");
  const std::string output = ::testing::internal::GetCapturedStdout();
  EXPECT_FALSE(matched);
  ASSERT_GE(output.size(), 3U);
  EXPECT_EQ(output.front(), '"');
  EXPECT_EQ(output.substr(output.size() - 2), "\"\n");
  EXPECT_EQ(output.find('\n'), output.size() - 1) << "exactly one line";
}

TEST(TextPredicatesRegexFailure, EscapesQuotesInTheDescription) {
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(isMatchingRegex("(\"", "x"));
  const std::string output = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(output.find("\\\""), std::string::npos) << output;
}

TEST(TextPredicatesRegexFailure, TheLibraryPatternsCompile) {
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(isMatchingRegex(PRIMARY_ID_REGEX, "1"));
  EXPECT_TRUE(isMatchingRegex(SECONDARY_ID_REGEX, "Q"));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

struct EqualCase {
  const char *name;
  std::string a;
  std::string b;
  bool expected;
};

void PrintTo(const EqualCase &c, std::ostream *os) {
  *os << c.name;
}

class TextPredicatesEqual : public ::testing::TestWithParam<EqualCase> {};

TEST_P(TextPredicatesEqual, ComparesLowerCased) {
  const EqualCase &c = GetParam();
  EXPECT_EQ(isEqualTo(c.a, c.b), c.expected);
  EXPECT_EQ(isEqualTo(c.b, c.a), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextPredicates, TextPredicatesEqual,
    ::testing::Values(EqualCase{"DifferInCase", "aBc", "AbC", true},
                      EqualCase{"LeadingZeroMatters", "01", "1", false},
                      EqualCase{"Same", "03", "03", true}, EqualCase{"Empty", "", "", true},
                      EqualCase{"DifferentLetters", "ab", "ac", false},
                      EqualCase{"AccentedCapital",
                                "\xC3\x89"
                                "COLE",
                                "\xC3\xA9"
                                "cole",
                                true},
                      EqualCase{"CanonicallyEquivalent", "\xC3\xA9", "e\xCC\x81", true},
                      EqualCase{"KelvinSign", "\xE2\x84\xAA", "k", true},
                      EqualCase{"SharpSNotFolded",
                                "stra\xC3\x9F"
                                "e",
                                "STRASSE", false}));

} // namespace
} // namespace pavenda
