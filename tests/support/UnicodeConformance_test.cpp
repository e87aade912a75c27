#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Unicode.h"
#include "support/UnicodeBackend.h"

// The Unicode Character Database's own test files, run against whichever backend the library was
// built with.

namespace pavenda::unicode {
namespace {

std::string utf8Of(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// "0041 0308" as UTF-8.
std::string utf8OfHex(const std::string& hex) {
  std::istringstream in(hex);
  std::string out;
  std::string word;
  while (in >> word)
    out += utf8Of(static_cast<char32_t>(std::stoul(word, nullptr, 16)));
  return out;
}

std::vector<std::string> dataLines(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    if (line.find_first_not_of(" \t") != std::string::npos && line[0] != '@')
      lines.push_back(line);
  }
  return lines;
}

TEST(UnicodeConformance, GraphemeBreakTestFile) {
  const std::vector<std::string> lines =
      dataLines(std::string(PAVENDA_UCD_DIR) + "/auxiliary/GraphemeBreakTest.txt");
  ASSERT_GT(lines.size(), 600U);
  std::size_t failures = 0;
  for (const std::string& line : lines) {
    // "÷ 0020 × 0308 ÷": the text and the byte offsets of the cluster starts.
    std::istringstream in(line);
    std::string word;
    std::string text;
    std::vector<std::size_t> starts;
    while (in >> word) {
      if (word == "\xC3\xB7")
        starts.push_back(text.size());
      else if (word != "\xC3\x97")
        text += utf8Of(static_cast<char32_t>(std::stoul(word, nullptr, 16)));
    }
    // Through the layer (its fast walk included) and through the backend's segmentation alone.
    const CharIndex index(text);
    std::vector<std::size_t> found;
    for (std::size_t p = 0; p <= index.size(); ++p)
      found.push_back(index.offset(p));
    std::vector<std::size_t> segmented{0};
    backend::forEachBoundary(
        text, 0,
        [](void* context, std::size_t offset) {
          static_cast<std::vector<std::size_t>*>(context)->push_back(offset);
          return true;
        },
        &segmented);
    if (found != starts || segmented != starts) {
      ++failures;
      ADD_FAILURE() << backend::name() << ": " << line;
    }
  }
  EXPECT_EQ(failures, 0U) << "of " << lines.size();
}

TEST(UnicodeConformance, NormalizationTestFileNfc) {
  const std::vector<std::string> lines = dataLines(PAVENDA_NORMALIZATION_TEST);
  ASSERT_GT(lines.size(), 18000U);
  std::size_t failures = 0;
  for (const std::string& line : lines) {
    std::vector<std::string> column;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, ';'))
      column.push_back(utf8OfHex(field));
    ASSERT_GE(column.size(), 5U) << line;
    // c2 == NFC(c1) == NFC(c2) == NFC(c3); c4 == NFC(c4) == NFC(c5).
    const bool ok =
        backend::toNfc(column[0]) == column[1] && backend::toNfc(column[1]) == column[1] &&
        backend::toNfc(column[2]) == column[1] && backend::toNfc(column[3]) == column[3] &&
        backend::toNfc(column[4]) == column[3];
    if (!ok && ++failures <= 20)
      ADD_FAILURE() << backend::name() << ": " << line;
  }
  EXPECT_EQ(failures, 0U) << "of " << lines.size();
}

// The Indic conjunct rule ICU 72 adds to UAX #29 (later GB9c): a consonant, a virama and a
// consonant of Devanagari, Bengali, Gujarati, Malayalam, Oriya or Telugu stay one character, with
// only joiners or marks of non-zero combining class between; other scripts keep the break.
TEST(UnicodeConformance, IndicConjunctsStayOneCharacter) {
  struct Case {
    const char* text;
    std::size_t characters;
  };
  const Case cases[] = {
      {"\u0915\u094D\u0937", 1},             // Devanagari KSSA
      {"\u0915\u094D\u200D\u0937", 1},       // with ZWJ after the virama
      {"\u0915\u093C\u094D\u0937", 1},       // a nukta (ccc 7) before the virama
      {"\u0915\u094D\u0937\u094D\u092E", 1}, // three consonants
      {"\u0915\u094D\u0937\u093F", 1},       // a vowel sign after the conjunct
      {"\u0995\u09CD\u09B7", 1},             // Bengali
      {"\u0A95\u0ACD\u0AB7", 1},             // Gujarati
      {"\u0D15\u0D4D\u0D37", 1},             // Malayalam
      {"\u0B15\u0B4D\u0B37", 1},             // Oriya
      {"\u0C15\u0C4D\u0C37", 1},             // Telugu
      {"\u0B95\u0BCD\u0BB7", 2},             // Tamil: not in the rule
      {"\u0915\u094D\u200C\u0937", 2},       // ZWNJ (ccc 0) breaks the conjunct
      {"\u0915\u093E\u094D\u0937", 2},       // a spacing vowel sign between
      {"\u0915\u0937", 2},                   // no virama
      {"\u0915\u094D\u0995", 1},             // consonants of two of the scripts join too
      {"\u0D15\u0D3B\u0D37", 2},             // Malayalam's vertical bar virama is no linker
      {"a\u094D\u0937", 2},                  // no consonant before the virama
  };
  for (const Case& c : cases)
    EXPECT_EQ(characterCount(c.text), c.characters) << backend::name() << ": " << c.text;
}

} // namespace
} // namespace pavenda::unicode
