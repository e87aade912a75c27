#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/ucurr.h>
#include <unicode/uloc.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include "support/CurrencyTable.h"
#include "support/Unicode.h"
#include "support/UnicodeBackend.h"

// The builtin backend, compiled into this test a second time under its own namespace.
#undef PAVENDA_SUPPORT_UNICODEBACKEND_H
#undef PAVENDA_UNICODE_BACKEND
#define PAVENDA_UNICODE_BACKEND builtin
#include "support/UnicodeBackend.h"
#undef PAVENDA_UNICODE_BACKEND

// The ICU build only: the library's data and the builtin backend checked against ICU itself.

namespace pavenda::unicode {
namespace {

constexpr char32_t codePointLimit = 0x110000;

bool isSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

std::string utf8Of(char32_t c) {
  std::string out(4, '\0');
  std::int32_t length = 0;
  U8_APPEND_UNSAFE(out.data(), length, static_cast<UChar32>(c));
  out.resize(static_cast<std::size_t>(length));
  return out;
}

// Counts code points whose answers differ, reporting the first few.
class Differences {
public:
  explicit Differences(std::string what) : what_(std::move(what)) {}
  void note(bool same, char32_t c) {
    if (same)
      return;
    if (++count_ <= 5)
      ADD_FAILURE() << what_ << " differs at U+" << std::hex << std::uppercase
                    << static_cast<std::uint32_t>(c);
  }
  ~Differences() { EXPECT_EQ(count_, 0U) << what_; }

private:
  std::string what_;
  std::size_t count_ = 0;
};

TEST(IcuReference, BuiltinPropertiesAgreeForEveryCodePoint) {
  ASSERT_STREQ(backend::name(), "icu");
  Differences gcb("grapheme break"), digit("Nd"), letter("L/M"), format("Cf"), mark("Mn"),
      ignorable("default-ignorable"), pictographic("Extended_Pictographic");
  for (char32_t c = 0; c < codePointLimit; ++c) {
    gcb.note(static_cast<int>(backend::graphemeBreak(c)) ==
                 static_cast<int>(builtin::graphemeBreak(c)),
             c);
    digit.note(backend::isDecimalDigit(c) == builtin::isDecimalDigit(c), c);
    letter.note(backend::isLetterOrMark(c) == builtin::isLetterOrMark(c), c);
    format.note(backend::isFormat(c) == builtin::isFormat(c), c);
    mark.note(backend::isNonSpacingMark(c) == builtin::isNonSpacingMark(c), c);
    ignorable.note(backend::isDefaultIgnorable(c) == builtin::isDefaultIgnorable(c), c);
    pictographic.note(backend::isExtendedPictographic(c) == builtin::isExtendedPictographic(c), c);
  }
}

// The lower-case mapping of every code point alone, and in the contexts final sigma looks at: after
// a cased letter and sigma (is it cased?), between a cased letter and sigma (is it ignorable?) and
// before sigma (is it cased?).
TEST(IcuReference, BuiltinLowerCaseAgreesForEveryCodePoint) {
  Differences alone("lower case"), after("lower case after sigma"),
      between("lower case before sigma"), before("lower case as sigma's predecessor");
  const std::string sigma = "\u03A3";
  for (char32_t c = 0; c < codePointLimit; ++c) {
    if (isSurrogate(c))
      continue;
    const std::string text = utf8Of(c);
    alone.note(backend::toLower(text) == builtin::toLower(text), c);
    const std::string afterSigma = "A" + sigma + text;
    after.note(backend::toLower(afterSigma) == builtin::toLower(afterSigma), c);
    const std::string beforeSigma = "A" + text + sigma;
    between.note(backend::toLower(beforeSigma) == builtin::toLower(beforeSigma), c);
    const std::string first = text + sigma;
    before.note(backend::toLower(first) == builtin::toLower(first), c);
  }
}

TEST(IcuReference, NamesAgreeForEveryCharacterAnAdvisoryCanName) {
  Differences names("character name");
  std::size_t named = 0;
  for (char32_t c = 0; c < codePointLimit; ++c) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    const bool separator = c == 0x2028 || c == 0x2029;
    if (!control && !separator && !isFormat(c) && !(isDefaultIgnorable(c) && !isNonSpacingMark(c)))
      continue;
    ++named;
    names.note(backend::characterName(c) == builtin::characterName(c), c);
  }
  EXPECT_GT(named, 3700U);
  EXPECT_EQ(builtin::characterName(0x202E), "RIGHT-TO-LEFT OVERRIDE");
  EXPECT_EQ(builtin::characterName(0x2028), "LINE SEPARATOR");
}

// Every one- to four-byte sequence whose later bytes come from the bytes that decide how a
// sequence ends (each continuation range edge, ASCII, lead bytes): the same code point and the
// same length as ICU's U8_NEXT, for every length the text may be cut at.
TEST(IcuReference, Utf8SteppingMatchesU8Next) {
  const std::uint8_t later[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                0xA0, 0xBF, 0xC0, 0xC2, 0xE0, 0xF0, 0xFF};
  std::size_t compared = 0;
  std::size_t mismatches = 0;
  std::uint8_t bytes[4];
  for (unsigned first = 0; first < 256; ++first)
    for (unsigned second = 0; second < 256; ++second)
      for (const std::uint8_t third : later)
        for (const std::uint8_t fourth : later) {
          bytes[0] = static_cast<std::uint8_t>(first);
          bytes[1] = static_cast<std::uint8_t>(second);
          bytes[2] = third;
          bytes[3] = fourth;
          for (std::int32_t length = 1; length <= 4; ++length) {
            std::int32_t icuAt = 0;
            UChar32 icu = 0;
            U8_NEXT(bytes, icuAt, length, icu);
            std::int32_t at = 0;
            const std::int32_t ours = nextCodePoint(bytes, at, length);
            ++compared;
            if (ours != icu || at != icuAt)
              if (++mismatches <= 5)
                ADD_FAILURE() << std::hex << first << " " << second << " " << int{third} << " "
                              << int{fourth} << " length " << length;
          }
        }
  EXPECT_EQ(mismatches, 0U) << "of " << compared;
}

TEST(IcuReference, RegionListIsIcus) {
  std::set<std::string> icu;
  for (const char* const* c = uloc_getISOCountries(); *c != nullptr; ++c)
    icu.insert(*c);
  EXPECT_EQ(icu.size(), 253U);
  for (char a = 'A'; a <= 'Z'; ++a)
    for (char b = 'A'; b <= 'Z'; ++b) {
      const std::string code{a, b};
      EXPECT_EQ(isISORegionCode(code), icu.count(code) == 1) << code;
    }
}

// ICU's ISO 4217 numeric code and default fraction digits of `code`.
std::u16string icuCode(std::string_view code) {
  return {code.begin(), code.end()};
}

TEST(IcuReference, CurrencyTableMatchesIcuExceptTheOneDeparture) {
  const ISOCurrencyTable& table = ISOCountryCodes::availableISOCurrencies;
  for (const ISOCurrency& row : table.entries()) {
    const int icuNumber = ucurr_getNumericCode(icuCode(row.code).c_str());
    if (row.code == "ZWD") {
      // ISO gave ZWD 716; the table pairs 932 (ISO's ZWL) with it.
      EXPECT_EQ(row.number, 932);
      EXPECT_EQ(icuNumber, 716);
    } else {
      EXPECT_EQ(row.number, icuNumber) << row.code;
    }
    UErrorCode status = U_ZERO_ERROR;
    const int32_t digits = ucurr_getDefaultFractionDigits(icuCode(row.code).c_str(), &status);
    ASSERT_TRUE(U_SUCCESS(status)) << row.code;
    EXPECT_EQ(currencyMinorUnits(row.code), digits) << row.code;
  }
  EXPECT_EQ(currencyMinorUnits("ABC"), std::nullopt);
}

std::vector<std::size_t> boundariesOf(void (*segment)(std::string_view, std::size_t,
                                                      bool (*)(void*, std::size_t), void*),
                                      const std::string& text) {
  std::vector<std::size_t> found;
  segment(
      text, 0,
      [](void* context, std::size_t offset) {
        static_cast<std::vector<std::size_t>*>(context)->push_back(offset);
        return true;
      },
      &found);
  return found;
}

// Random texts over code points with every grapheme break value, the conjunct classes, emoji and
// ill-formed bytes: the same clusters, lower case and composition from both backends.
TEST(IcuReference, BuiltinSegmentsLowersAndComposesRandomTextAsIcu) {
  const std::vector<std::string> pieces = {
      "a",      "A",          "\u03A3", "\u0130", "\r",         "\n",         "\t",
      "\u0308", "\u0301",     "\u0327", "\u200D", "\u200C",     "\U0001F1EF", "\U0001F1F5",
      "\u0600", "\u0903",     "\u093E", "\u1100", "\u1161",     "\u11A8",     "\uAC00",
      "\uAC01", "\u0915",     "\u0937", "\u094D", "\u093C",     "\u0995",     "\u09CD",
      "\u0D15", "\u0D4D",     "\u0B95", "\u0BCD", "\U0001F468", "\U0001F469", "\u2764",
      "\uFE0F", "\U0001F3FB", "\u4E2D", "\xFF",   "\xE0\x80",   "\xF0\x9F",   "\u1E0A",
      "\u0323", "\u00C5",     "\u212B", "\u1F88", "\u0345",     "\u00AD",     "'"};
  std::mt19937 random(20261207);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(1, 12);
  Differences clusters("clusters"), lower("lower case"), nfc("NFC");
  for (char32_t i = 0; i < 200000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n)
      text += pieces[pick(random)];
    clusters.note(boundariesOf(backend::forEachBoundary, text) ==
                      boundariesOf(builtin::forEachBoundary, text),
                  i);
    lower.note(backend::toLower(text) == builtin::toLower(text), i);
    nfc.note(backend::toNfc(text) == builtin::toNfc(text), i);
  }
}

} // namespace
} // namespace pavenda::unicode
