#include "support/Unicode.h"

#include <algorithm>
#include <bitset>
#include <cstring>

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>
#include <unicode/uloc.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

namespace pavenda::unicode {

enum class Walk : unsigned char { simple, needsBreakIterator, illFormed };

namespace {

// Break iterators are expensive to make and not shareable between threads: one per thread, reused.
icu::BreakIterator* characterIterator() {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> made(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    return U_SUCCESS(status) ? std::move(made) : nullptr;
  }();
  return iterator.get();
}

// The number of CR LF pairs in `text`.
std::size_t crLfCount(std::string_view text) noexcept {
  std::size_t count = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
    if (cr == nullptr)
      break;
    p = static_cast<const char*>(cr) + 1;
    if (p != end && *p == '\n') {
      ++count;
      ++p;
    }
  }
  return count;
}

// Walks `text` once, calling `onBoundary` with the byte offset after every code point that ends a
// character, as long as each code point has the grapheme cluster break property Other, Control, CR
// or LF. Every rule that joins two code points other than CR LF needs one of the other values
// (Extend, ZWJ, SpacingMark, Prepend, Regional_Indicator, Hangul jamo and syllables), so in such
// text every code point stands alone except inside CR LF. Han, kana and most precomposed letters
// pass; at the first combining mark, emoji sequence, Hangul or ill-formed sequence the walk stops,
// and the boundaries it reported are void.
template <typename OnBoundary> Walk walkCodePoints(std::string_view text, OnBoundary onBoundary) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  if (text.size() > static_cast<std::size_t>(INT32_MAX))
    return Walk::needsBreakIterator;
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < length;) {
    if (bytes[i] < 0x80) {
      ++i;
      if (bytes[i - 1] == '\r' && i < length && bytes[i] == '\n')
        continue;
      onBoundary(static_cast<std::size_t>(i));
      continue;
    }
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0)
      return Walk::illFormed;
    switch (u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK)) {
    case U_GCB_OTHER:
    case U_GCB_CONTROL:
    case U_GCB_CR:
    case U_GCB_LF:
      onBoundary(static_cast<std::size_t>(i));
      break;
    default:
      return Walk::needsBreakIterator;
    }
  }
  return Walk::simple;
}

// Calls `onBoundary` with the byte offset of every character start after the first, and the end,
// as the break iterator finds them. An ill-formed UTF-8 sequence is a character of its own.
template <typename OnBoundary>
void forEachBoundaryOfBreakIterator(std::string_view text, OnBoundary onBoundary) {
  icu::BreakIterator* iterator = characterIterator();
  UErrorCode status = U_ZERO_ERROR;
  UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  if (iterator != nullptr && U_SUCCESS(status)) {
    iterator->setText(utext, status);
  }
  if (iterator == nullptr || U_FAILURE(status)) {
    // Without ICU data every code point stands alone; still never reads out of bounds.
    utext_close(utext);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
      UChar32 c;
      U8_NEXT(bytes, i, length, c);
      (void)c;
      onBoundary(static_cast<std::size_t>(i));
    }
    return;
  }
  iterator->first();
  for (int32_t b = iterator->next(); b != icu::BreakIterator::DONE; b = iterator->next()) {
    onBoundary(static_cast<std::size_t>(b));
  }
  // Detach the iterator from the text before the text goes away.
  UText* empty = utext_openUTF8(nullptr, "", 0, &status);
  iterator->setText(empty, status);
  utext_close(empty);
  utext_close(utext);
}

// Calls `test` on every code point (ill-formed sequences as -1) until it answers true.
template <typename Test> bool anyCodePoint(std::string_view text, Test test) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (test(c))
      return true;
  }
  return false;
}

bool isDigit(UChar32 c) {
  if (c < 0x80)
    return c >= '0' && c <= '9';
  return u_charType(c) == U_DECIMAL_DIGIT_NUMBER;
}

bool isLetter(UChar32 c) {
  if (c < 0)
    return false;
  if (c < 0x80)
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK)) != 0;
}

} // namespace

bool isAscii(std::string_view text) noexcept {
  // Eight bytes a step: a byte of 0x80 or above sets its top bit in the accumulated word.
  constexpr std::uint64_t topBits = 0x8080808080808080ULL;
  const char* p = text.data();
  std::size_t n = text.size();
  for (; n >= 32; p += 32, n -= 32) {
    std::uint64_t w[4];
    std::memcpy(w, p, sizeof w);
    if (((w[0] | w[1] | w[2] | w[3]) & topBits) != 0)
      return false;
  }
  std::uint64_t any = 0;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    any |= w;
  }
  for (; n > 0; ++p, --n)
    any |= static_cast<unsigned char>(*p);
  return (any & topBits) == 0;
}

bool isValidUtf8(std::string_view text) noexcept {
  if (isAscii(text))
    return true;
  return !anyCodePoint(text, [](UChar32 c) { return c < 0; });
}

std::size_t characterCount(std::string_view text) {
  if (text.size() <= 64) {
    // Short texts, the most common by far: one pass, eight bytes a step, finds both whether any
    // byte is non-ASCII and whether any is a CR (a zero byte of the word XOR CR).
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t topBits = 0x8080808080808080ULL;
    std::uint64_t any = 0;
    std::uint64_t cr = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + i, sizeof word);
      any |= word;
      const std::uint64_t x = word ^ (ones * '\r');
      cr |= (x - ones) & ~x & topBits;
    }
    if (i < text.size() && text.size() >= 8) {
      // The last eight bytes, overlapping what was read: only the existence of a byte matters.
      std::uint64_t word;
      std::memcpy(&word, text.data() + text.size() - 8, sizeof word);
      any |= word;
      const std::uint64_t x = word ^ (ones * '\r');
      cr |= (x - ones) & ~x & topBits;
    } else {
      for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        any |= c;
        cr |= c == '\r' ? 1U : 0U;
      }
    }
    if ((any & topBits) == 0)
      return cr != 0 ? text.size() - crLfCount(text) : text.size();
  } else if (isAscii(text)) {
    return text.size() - crLfCount(text);
  }
  std::size_t count = 0;
  if (walkCodePoints(text, [&count](std::size_t) { ++count; }) == Walk::simple)
    return count;
  count = 0;
  forEachBoundaryOfBreakIterator(text, [&count](std::size_t) { ++count; });
  return count;
}

CharIndex::CharIndex(std::string_view text) : text_(text) {
  if (build(isAscii(text)) != Walk::simple)
    useBreakIterator();
}

std::optional<CharIndex> CharIndex::ofWellFormed(std::string_view text) {
  CharIndex index;
  index.text_ = text;
  switch (index.build(isAscii(text))) {
  case Walk::simple:
    return index;
  case Walk::illFormed:
    return std::nullopt;
  case Walk::needsBreakIterator:
    break;
  }
  if (!isValidUtf8(text))
    return std::nullopt;
  index.useBreakIterator();
  return index;
}

Walk CharIndex::build(bool ascii) {
  if (ascii && text_.find("\r\n") == std::string_view::npos) {
    count_ = text_.size();
    return Walk::simple;
  }
  // A text has at most as many characters as bytes: size the table for that and write through a
  // pointer, without a capacity check per character.
  starts_.resize(text_.size() + 1);
  std::uint32_t* out = starts_.data();
  *out++ = 0;
  const auto push = [&out](std::size_t b) { *out++ = static_cast<std::uint32_t>(b); };
  Walk walk = Walk::simple;
  if (ascii) {
    for (std::size_t i = 1; i <= text_.size(); ++i)
      if (i == text_.size() || text_[i - 1] != '\r' || text_[i] != '\n')
        push(i);
  } else {
    walk = walkCodePoints(text_, push);
  }
  starts_.resize(static_cast<std::size_t>(out - starts_.data()));
  count_ = starts_.size() - 1;
  return walk;
}

void CharIndex::useBreakIterator() {
  starts_.resize(1);
  forEachBoundaryOfBreakIterator(
      text_, [this](std::size_t b) { starts_.push_back(static_cast<std::uint32_t>(b)); });
  count_ = starts_.size() - 1;
}

bool allDecimalDigits(std::string_view text) {
  return !anyCodePoint(text, [](UChar32 c) { return !isDigit(c); });
}

bool allLetters(std::string_view text) {
  return !anyCodePoint(text, [](UChar32 c) { return !isLetter(c); });
}

bool containsLetter(std::string_view text) {
  return anyCodePoint(text, isLetter);
}

bool containsOtherThanDigitsAnd(std::string_view text, char extra) {
  return anyCodePoint(text, [extra](UChar32 c) { return c != extra && !isDigit(c); });
}

std::string toLower(std::string_view text) {
  if (isAscii(text)) {
    std::string lowered(text);
    for (char& c : lowered)
      if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    return lowered;
  }
  std::string lowered;
  icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
      .toLower(icu::Locale::getRoot())
      .toUTF8String(lowered);
  return lowered;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  const std::string lowerA = toLower(a);
  const std::string lowerB = toLower(b);
  if (lowerA == lowerB)
    return true;
  if (isAscii(lowerA) && isAscii(lowerB))
    return false;
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status))
    return false;
  const auto normalise = [&](const std::string& s) {
    std::string out;
    nfc->normalize(icu::UnicodeString::fromUTF8(s), status).toUTF8String(out);
    return out;
  };
  const std::string normalA = normalise(lowerA);
  const std::string normalB = normalise(lowerB);
  return U_SUCCESS(status) && normalA == normalB;
}

bool isISORegionCode(std::string_view code) {
  // The list holds two-letter upper-case codes: a 26 by 26 table answers those without comparing
  // texts, and anything else the list might hold is kept aside.
  struct Regions {
    std::bitset<26 * 26> pairs;
    std::vector<std::string> others;
  };
  const auto pairIndex = [](std::string_view c) -> std::optional<std::size_t> {
    const auto upper = [](char x) { return x >= 'A' && x <= 'Z'; };
    if (c.size() != 2 || !upper(c[0]) || !upper(c[1]))
      return std::nullopt;
    return static_cast<std::size_t>(c[0] - 'A') * 26 + static_cast<std::size_t>(c[1] - 'A');
  };
  static const Regions regions = [&pairIndex] {
    Regions made;
    for (const char* const* c = uloc_getISOCountries(); *c != nullptr; ++c) {
      if (const auto index = pairIndex(*c))
        made.pairs.set(*index);
      else
        made.others.emplace_back(*c);
    }
    return made;
  }();
  if (const auto index = pairIndex(code))
    return regions.pairs.test(*index);
  return std::find(regions.others.begin(), regions.others.end(), code) != regions.others.end();
}

std::optional<Regex> Regex::compile(std::string_view pattern, std::string* error) {
  UErrorCode status = U_ZERO_ERROR;
  UParseError parseError{};
  std::shared_ptr<const icu::RegexPattern> compiled(
      icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(icu::StringPiece(
                                     pattern.data(), static_cast<int32_t>(pattern.size()))),
                                 0, parseError, status));
  if (U_FAILURE(status) || compiled == nullptr) {
    if (error != nullptr)
      *error = "The value \u201C" + std::string(pattern) + "\u201D is invalid (" +
               u_errorName(status) + ").";
    return std::nullopt;
  }
  return Regex(std::move(compiled));
}

bool Regex::hasMatch(std::string_view text) const {
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeString subject = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  std::unique_ptr<icu::RegexMatcher> matcher(pattern_->matcher(subject, status));
  return U_SUCCESS(status) && matcher != nullptr && matcher->find(status) && U_SUCCESS(status);
}

} // namespace pavenda::unicode
