#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "support/Unicode.h"
#include "support/UnicodeBackend.h"

namespace pavenda::unicode {
namespace {

// A text and the byte offsets at which its user-perceived characters start, the end included.
struct BoundaryCase {
  const char* name;
  std::string text;
  std::vector<std::size_t> starts;
};

void PrintTo(const BoundaryCase& c, std::ostream* os) {
  *os << c.name;
}

class UnicodeBoundaries : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(UnicodeBoundaries, FindTheStartOfEveryCharacter) {
  const BoundaryCase& c = GetParam();
  const CharIndex index(c.text);
  ASSERT_EQ(index.size() + 1, c.starts.size());
  for (std::size_t i = 0; i < c.starts.size(); ++i)
    EXPECT_EQ(index.offset(i), c.starts[i]) << "character " << i;
  EXPECT_EQ(characterCount(c.text), index.size());
}

INSTANTIATE_TEST_SUITE_P(
    Unicode, UnicodeBoundaries,
    ::testing::Values(
        BoundaryCase{"Empty", "", {0}}, BoundaryCase{"AsciiCrLfIsOne", "a\r\nb\r", {0, 1, 3, 4, 5}},
        BoundaryCase{"HanOnePerCodePoint", "金龙茶馆", {0, 3, 6, 9, 12}},
        BoundaryCase{"HanWithCrLf", "上\r\n海", {0, 3, 5, 8}},
        // Ideographs are read three bytes at a time; others with the same lead bytes are not.
        BoundaryCase{"HanTakesAMark", "金\u0301龙\r金", {0, 5, 8, 9, 12}},
        BoundaryCase{"KanaVoicedSoundMarkJoins", "か\u3099x", {0, 6, 7}},
        BoundaryCase{"CyrillicWithLoneCr", "Ж\rЖ", {0, 2, 3, 5}},
        BoundaryCase{"CombiningMarkJoinsItsBase", "上海e\xCC\x81x", {0, 3, 6, 9, 10}},
        BoundaryCase{"HangulSyllablesStandAlone", "한국어", {0, 3, 6, 9}},
        BoundaryCase{"HangulJamoJoin", "\xE1\x84\x80\xE1\x85\xA1\xE1\x86\xA8k", {0, 9, 10}},
        BoundaryCase{"ZeroWidthJoinerJoinsBackwards", "中\xE2\x80\x8D文", {0, 6, 9}},
        BoundaryCase{
            "EmojiZwjSequenceIsOne", "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB ", {0, 11, 12}},
        BoundaryCase{"ThaiSpacingMarkJoins", "\xE0\xB8\x81\xE0\xB8\xB3", {0, 6}},
        BoundaryCase{"FlagsPairUp", "\xF0\x9F\x87\xAE\xF0\x9F\x87\xB3\xF0\x9F\x87\xAB", {0, 8, 12}},
        BoundaryCase{"MarkAfterCrStandsAlone", "\r\xCC\x81\xCC\x81x", {0, 1, 5, 6}},
        BoundaryCase{"MarkAfterControlStandsAlone", "\t\xCC\x81", {0, 1, 3}},
        BoundaryCase{"MarkOpensTheText",
                     "\xCC\x81\xCC\x81"
                     "a",
                     {0, 4, 5}},
        BoundaryCase{"MarksThenHan", "e\xCC\x81\xCC\x81\xE4\xB8\xAD", {0, 5, 8}},
        BoundaryCase{"SkinToneJoinsEmoji", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD!", {0, 8, 9}},
        BoundaryCase{"ZwjWithoutEmojiAfterBreaks", "a\xE2\x80\x8D\xF0\x9F\x92\xBB", {0, 4, 8}},
        BoundaryCase{"HangulSyllableWithTrailingJamo",
                     "\xEA\xB0\x80\xE1\x86\xA8"
                     "a",
                     {0, 6, 7}},
        BoundaryCase{"PrependedConcatenationMarkJoinsForwards",
                     "\xD8\x80"
                     "12",
                     {0, 3, 4}},
        BoundaryCase{"FourFlagsPairUp",
                     "\xF0\x9F\x87\xAE\xF0\x9F\x87\xB3\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7",
                     {0, 8, 16}},
        BoundaryCase{"IllFormedAfterMark", "e\xCC\x81\xFF", {0, 3, 4}},
        BoundaryCase{"IllFormedByteStandsAlone",
                     "\xC3\xA9\xFF"
                     "a",
                     {0, 2, 3, 4}}));

// Short ASCII texts are counted a word at a time: a CR LF, a lone CR or a non-ASCII byte must be
// seen wherever it falls relative to the words, the overlapping last word included.
TEST(UnicodeCount, FindsCrLfAndNonAsciiAtEveryPosition) {
  for (std::size_t length = 2; length <= 70; ++length) {
    for (std::size_t at = 0; at + 1 < length; ++at) {
      std::string text(length, 'x');
      text[at] = '\r';
      text[at + 1] = '\n';
      EXPECT_EQ(characterCount(text), length - 1) << length << " CR LF at " << at;
      text[at + 1] = 'y';
      EXPECT_EQ(characterCount(text), length) << length << " lone CR at " << at;
      text.replace(at, 2, "\xC3\xA9");
      EXPECT_EQ(characterCount(text), length - 1) << length << " two-byte letter at " << at;
    }
  }
}

// A text longer than the part indexed as it is counted: any position, read in any order, lands
// where the text's make-up puts it, and the count holds however long one character is.
TEST(UnicodeIndex, ReadsFarPositionsInAnyOrder) {
  constexpr std::size_t letters = 10000; // two bytes each
  constexpr std::size_t han = 3000;      // three bytes each
  std::string text;
  for (std::size_t i = 0; i < letters; ++i)
    text += "\xC3\xA9";
  text += "\r\n";
  for (std::size_t i = 0; i < han; ++i)
    text += "\xE4\xB8\xAD";
  const std::size_t marksAt = text.size();
  text += "e";
  for (std::size_t i = 0; i < 100000; ++i)
    text += "\xCC\x81";
  text += "zz";
  const auto start = [&](std::size_t position) -> std::size_t {
    if (position <= letters)
      return 2 * position;
    if (position <= letters + 1 + han)
      return 2 * letters + 2 + 3 * (position - letters - 1);
    return marksAt + (position == letters + han + 1 ? 0 : 200001 + (position - letters - han - 2));
  };
  const std::size_t count = letters + 1 + han + 3;
  const std::vector<std::size_t> order = {
      count - 2, 5,         letters + 1,       count, 0,   letters + 700,
      9000,      count - 1, letters + han + 1, 4096,  4095};
  for (const bool wellFormedOnly : {false, true}) {
    const std::optional<CharIndex> index =
        wellFormedOnly ? CharIndex::ofWellFormed(text) : std::optional(CharIndex(text));
    ASSERT_TRUE(index);
    ASSERT_EQ(index->size(), count);
    for (const std::size_t position : order)
      EXPECT_EQ(index->offset(position), start(position)) << "character " << position;
    for (std::size_t position = count + 1; position-- > 0;)
      ASSERT_EQ(index->offset(position), start(position)) << "character " << position;
  }
  EXPECT_EQ(characterCount(text), count);
}

// Lower-casing goes through UTF-16: expansions, and ill-formed bytes as U+FFFD.
TEST(UnicodeCase, LowersNonAsciiText) {
  EXPECT_EQ(toLower("\xC3\x89"
                    "COLE \xE4\xB8\xAD"),
            "\xC3\xA9"
            "cole \xE4\xB8\xAD");
  EXPECT_EQ(toLower("\xC4\xB0"), "i\xCC\x87"); // dotted capital I: one unit to two
  EXPECT_EQ(toLower("A\xFF\xC3\x89"), "a\xEF\xBF\xBD\xC3\xA9");
  EXPECT_FALSE(equalsIgnoringCase("\xC3\xA9", "e"));
}

TEST(UnicodeRegex, MatchesOverUnicodeText) {
  const std::optional<Regex> empty = Regex::compile("");
  ASSERT_TRUE(empty) << "the empty pattern is valid";
  EXPECT_TRUE(empty->hasMatch(""));
  struct Case {
    const char* pattern;
    const char* text;
    bool matches;
  };
  const Case cases[] = {
      // Code points, not bytes: a class of ideographs, a class member past U+FFFF.
      {"^[\u4E00-\u9FFF][\u4E00-\u9FFF]$", "\u4E2D\u6587", true},
      {"^[\u4E00-\u9FFF][\u4E00-\u9FFF]$", "\u4E2D", false},
      {"[\U0001F600-\U0001F64F]", "ok \U0001F600", true},
      {"a\uFFFDb",
       "a\xFF"
       "b",
       true}, // an ill-formed byte reads as U+FFFD
      {"^[^0-9]", "x1", true},
      {"^[^0-9]", "1x", false},
      {"^a?b*c+$", "bbc", true},
      {"^a?b*c+$", "aab", false},
      {"\\.", "1.5", true},
      {"\\.", "15", false},
      {"^[1-9a-qA-Q]", "\xC3\xA9", false},
  };
  for (const Case& c : cases) {
    const std::optional<Regex> compiled = Regex::compile(c.pattern);
    ASSERT_TRUE(compiled) << c.pattern;
    EXPECT_EQ(compiled->hasMatch(c.text), c.matches) << c.pattern << " in " << c.text;
  }
  // What the matcher does not know is refused, never matched some other way.
  for (const char* pattern : {"(", "a|b", "[a-", "[z-a]", "\\p{Han}", "\\d", "a{2}", "a**", "[]"}) {
    std::string error;
    EXPECT_FALSE(Regex::compile(pattern, &error)) << pattern;
    EXPECT_EQ(error.rfind(std::string("The value \u201C") + pattern + "\u201D is invalid (", 0), 0U)
        << error;
  }
}

// The character-class tests and the count over ASCII, the ideograph blocks and their neighbours:
// U+33FF and U+4DC0 (a hexagram) are symbols, U+302A (a tone mark) and U+A66F join the ideograph
// before it, U+0663 is an Arabic-Indic digit.
struct ClassCase {
  const char* name;
  std::string text;
  bool allDigits;
  bool allLetters;
  bool containsLetter;
  bool otherThanDigitsAndPeriod;
  std::size_t characters;
};

void PrintTo(const ClassCase& c, std::ostream* os) {
  *os << c.name;
}

class UnicodeClasses : public ::testing::TestWithParam<ClassCase> {};

TEST_P(UnicodeClasses, AnswerPerCodePoint) {
  const ClassCase& c = GetParam();
  EXPECT_EQ(allDecimalDigits(c.text), c.allDigits);
  EXPECT_EQ(allLetters(c.text), c.allLetters);
  EXPECT_EQ(containsLetter(c.text), c.containsLetter);
  EXPECT_EQ(containsOtherThanDigitsAnd(c.text, '.'), c.otherThanDigitsAndPeriod);
  EXPECT_EQ(characterCount(c.text), c.characters);
}

INSTANTIATE_TEST_SUITE_P(
    Unicode, UnicodeClasses,
    ::testing::Values(
        ClassCase{"Empty", "", true, true, false, false, 0},
        ClassCase{"AsciiDigits", "0123456789", true, false, false, false, 10},
        ClassCase{"AsciiAmount", "12.50", false, false, false, false, 5},
        ClassCase{"AsciiLetters", "azAZ", false, true, true, true, 4},
        ClassCase{"AsciiBoundaries", "@[`{/:", false, false, false, true, 6},
        ClassCase{"DigitsThenArabicIndic", "1.\u0663", false, false, false, false, 3},
        ClassCase{"ArabicIndicDigits", "\u0661\u0663", true, false, false, false, 2},
        ClassCase{"IdeographBlockEdges", "\u3400\u4DBF\u4E00\u9FFF", false, true, true, true, 4},
        ClassCase{"LettersThenIdeograph", "ab\u4E2D", false, true, true, true, 3},
        ClassCase{"DigitThenIdeograph", "7\u4E2D", false, false, true, true, 2},
        ClassCase{"SymbolBeforeExtensionA", "\u33FF", false, false, false, true, 1},
        ClassCase{"HexagramAfterExtensionA", "1\u4DC0", false, false, false, true, 2},
        ClassCase{"ToneMarkJoinsIdeograph", "\u4E2D\u302A", false, true, true, true, 1},
        ClassCase{"YiSyllableIsALetter", "\uA000", false, true, true, true, 1},
        ClassCase{"MarkAfterTheLastIdeograph", "\u9FFF\uA66F", false, true, true, true, 1},
        ClassCase{"IdeographsAroundCrLf", "\u4E2D\r\n\u6587", false, false, true, true, 3}));

struct WellFormedCase {
  const char* name;
  std::string text;
  bool wellFormed;
};

void PrintTo(const WellFormedCase& c, std::ostream* os) {
  *os << c.name;
}

class UnicodeWellFormed : public ::testing::TestWithParam<WellFormedCase> {};

// The index of well-formed text must agree with the plain one; ill-formed text gets none, wherever
// the bad sequence sits relative to text that needs the break iterator.
TEST_P(UnicodeWellFormed, IndexesOnlyWellFormedText) {
  const WellFormedCase& c = GetParam();
  const std::optional<CharIndex> index = CharIndex::ofWellFormed(c.text);
  EXPECT_EQ(isValidUtf8(c.text), c.wellFormed);
  ASSERT_EQ(index.has_value(), c.wellFormed);
  if (!index)
    return;
  const CharIndex plain(c.text);
  ASSERT_EQ(index->size(), plain.size());
  for (std::size_t i = 0; i <= plain.size(); ++i)
    EXPECT_EQ(index->offset(i), plain.offset(i));
}

INSTANTIATE_TEST_SUITE_P(
    Unicode, UnicodeWellFormed,
    ::testing::Values(WellFormedCase{"Ascii", "00020101\r\n", true},
                      WellFormedCase{"Han", "金龙", true},
                      WellFormedCase{"CombiningMark", "e\xCC\x81金", true},
                      WellFormedCase{"BadByteAfterHan", "金\xFF", false},
                      WellFormedCase{"BadByteAfterCombiningMark", "e\xCC\x81\xFF", false},
                      WellFormedCase{"TruncatedSequence", "ab\xE9\x87", false},
                      WellFormedCase{"EncodedSurrogate", "\xED\xA0\x80", false},
                      WellFormedCase{"OverlongSlash", "\xC0\xAF", false},
                      // Eight ASCII bytes are skipped at a time: bad bytes around such a step.
                      WellFormedCase{"BadByteAfterEightAscii", "01234567\xFF", false},
                      WellFormedCase{"SequenceAcrossAStep", "0123456\xE9\x87\x91", true},
                      WellFormedCase{"CutSequenceAcrossAStep", "0123456\xE9\x87", false},
                      WellFormedCase{"BadByteAfterHanAndAscii", "abcdefgh金ijklmnop\xC0\xAF",
                                     false}));

// Where `count` characters from a character start end, as the index of the whole text has it.
TEST(UnicodeAdvance, EndsWhereTheCharactersEnd) {
  const struct {
    std::string text;
    std::size_t from, count;
    std::optional<std::size_t> end;
  } cases[] = {
      {"e\u0301x", 0, 1, 3},
      {"金龙x", 0, 2, 6},
      {"a\r\nb", 0, 2, 3},
      {"ab金c", 2, 1, 5},
      {"ab", 0, 3, std::nullopt},
      {"ab", 2, 1, std::nullopt},
      {"x\u0301\u0301y", 0, 1, 5},
      {"\U0001F1EF\U0001F1F5!", 0, 1, 8},
      // Ill-formed bytes among the characters counted or right after them (where the last one might
      // continue), for the walk and for the break iterator.
      {"a\xFF"
       "b",
       0, 2, std::nullopt},
      {"a\xFF"
       "b",
       0, 1, std::nullopt},
      {"\U0001F1EF\U0001F1F5\xC0\xAF!", 0, 2, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(advanceCharacters(c.text, c.from, c.count), c.end) << c.text << " " << c.from;
}

// Ideographs are counted without a property lookup: that must be what the lookup answers.
TEST(UnicodeAdvance, IdeographsNeverJoinTheirNeighbours) {
  for (char32_t c = 0x3400; c <= 0x9FFF; ++c)
    ASSERT_EQ(backend::graphemeBreak(c), backend::GraphemeBreak::other) << std::uint32_t{c};
}

} // namespace
} // namespace pavenda::unicode
