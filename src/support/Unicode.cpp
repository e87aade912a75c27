#include "support/Unicode.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <iterator>
#include <limits>
#include <type_traits>

#include "support/UnicodeBackend.h"

namespace pavenda::unicode {
namespace {

using backend::GraphemeBreak;
using UChar32 = std::int32_t;

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

// The grapheme cluster break property. CJK ideographs, most of the non-ASCII text payloads carry,
// are all "Other": a range test answers them without a lookup.
GraphemeBreak graphemeBreak(UChar32 c) {
  if (c >= 0x3400 && c <= 0x9FFF)
    return GraphemeBreak::other;
  return backend::graphemeBreak(static_cast<char32_t>(c));
}

// How a walk over code points without the break iterator ended, and where the character it was in
// began.
enum class Walk : unsigned char { done, stopped, needsBreakIterator, illFormed };
struct WalkEnd {
  Walk walk;
  std::size_t resume;
};

// What the walk knows of the code point before: whether a mark may join it.
enum class Previous : unsigned char { nothing, cr, control, base, mark };

// Walks `text` from `from`, a character start, calling `onBoundary` with the byte offset at which
// each character ends, until it answers false. Handles the rules that text mostly needs: CR LF is
// one character, and combining marks (Extend, SpacingMark, ZWJ) join what precedes them unless
// that is a control. Every other rule needs a code point with another break property (Prepend,
// Regional_Indicator, Hangul jamo and syllables) or a non-ASCII code point after marks (emoji ZWJ
// sequences, Indic conjuncts): there the walk stops, having reported only final boundaries, and the
// break iterator goes on from the last one. Linear, however long a character is.
template <typename OnBoundary>
WalkEnd walkCodePoints(std::string_view text, std::size_t from, OnBoundary onBoundary) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto length = static_cast<std::int64_t>(text.size());
  Previous previous = Previous::nothing;
  std::size_t characterStart = from;
  UChar32 lastCodePoint = -1;
  GraphemeBreak lastBreak = GraphemeBreak::other;
  for (auto i = static_cast<std::int64_t>(from); i < length;) {
    const auto start = static_cast<std::size_t>(i);
    const auto printable = [bytes](std::int64_t at) {
      return bytes[at] >= 0x20 && bytes[at] < 0x7F;
    };
    if (printable(i)) {
      // A run of printable ASCII, most of a payload: each byte a character of its own.
      if (previous != Previous::nothing && !onBoundary(start))
        return {Walk::stopped, start};
      for (++i; i < length && printable(i); ++i)
        if (!onBoundary(static_cast<std::size_t>(i)))
          return {Walk::stopped, static_cast<std::size_t>(i)};
      previous = Previous::base;
      characterStart = static_cast<std::size_t>(i - 1);
      continue;
    }
    if (previous != Previous::mark && bytes[i] >= 0xE3 && bytes[i] <= 0xE9 && i + 2 < length &&
        (bytes[i + 1] & 0xC0) == 0x80 && (bytes[i + 2] & 0xC0) == 0x80) {
      // Three bytes led by E3 to E9 are U+3000 to U+9FFF, never overlong nor a surrogate. An
      // ideograph among them starts a character of its own after anything but a mark.
      const UChar32 c =
          (bytes[i] & 0x0F) << 12 | (bytes[i + 1] & 0x3F) << 6 | (bytes[i + 2] & 0x3F);
      if (c >= 0x3400) {
        if (previous != Previous::nothing && !onBoundary(start))
          return {Walk::stopped, start};
        previous = Previous::base;
        characterStart = start;
        i += 3;
        continue;
      }
    }
    Previous current = Previous::base;
    if (bytes[i] < 0x80) {
      const uint8_t c = bytes[i++];
      if (c == '\n' && previous == Previous::cr) {
        previous = Previous::control;
        continue;
      }
      if (c == '\r')
        current = Previous::cr;
      else if (c < 0x20 || c == 0x7F)
        current = Previous::control;
    } else {
      const UChar32 c = nextCodePoint(bytes, i, length);
      if (c < 0)
        return {Walk::illFormed, characterStart};
      // Runs of one code point (a mark repeated, a letter repeated) look the property up once.
      if (c != lastCodePoint) {
        lastCodePoint = c;
        lastBreak = graphemeBreak(c);
      }
      switch (lastBreak) {
      case GraphemeBreak::extend:
      case GraphemeBreak::spacingMark:
      case GraphemeBreak::zwj:
        if (previous == Previous::base || previous == Previous::mark) {
          previous = Previous::mark;
          continue;
        }
        current = Previous::mark;
        break;
      case GraphemeBreak::other:
        if (previous == Previous::mark)
          return {Walk::needsBreakIterator, characterStart};
        break;
      case GraphemeBreak::control:
      case GraphemeBreak::cr:
      case GraphemeBreak::lf:
        if (previous == Previous::mark)
          return {Walk::needsBreakIterator, characterStart};
        current = Previous::control;
        break;
      default:
        return {Walk::needsBreakIterator, characterStart};
      }
    }
    if (previous != Previous::nothing && !onBoundary(start))
      return {Walk::stopped, start};
    previous = current;
    characterStart = start;
  }
  if (previous != Previous::nothing && !onBoundary(text.size()))
    return {Walk::stopped, text.size()};
  return {Walk::done, text.size()};
}

// Calls `onBoundary` with the byte offset at which each character from `from` (a character start)
// on ends, as the backend's full segmentation finds them, until it answers false.
template <typename OnBoundary>
void breakIteratorBoundaries(std::string_view text, std::size_t from, OnBoundary onBoundary) {
  backend::forEachBoundary(
      text, from,
      [](void* context, std::size_t offset) {
        return (*static_cast<OnBoundary*>(context))(offset);
      },
      &onBoundary);
}

// How a pass over boundaries went: whether an ill-formed sequence was seen.
enum class Formed : unsigned char { well, ill, unknown };

// Calls `onBoundary` with the byte offset at which each character from `from` (a character start)
// on ends, until it answers false: the walk while it can, then the break iterator. With
// `checkRest`, answers whether the text from `from` on is well-formed UTF-8 (when not stopped).
template <typename OnBoundary>
Formed forEachBoundary(std::string_view text, std::size_t from, OnBoundary onBoundary,
                       bool checkRest) {
  const WalkEnd end = walkCodePoints(text, from, onBoundary);
  if (end.walk == Walk::done || end.walk == Walk::stopped)
    return Formed::well;
  Formed formed = end.walk == Walk::illFormed ? Formed::ill : Formed::unknown;
  if (checkRest && formed == Formed::unknown)
    formed = isValidUtf8(text.substr(end.resume)) ? Formed::well : Formed::ill;
  breakIteratorBoundaries(text, end.resume, onBoundary);
  return formed;
}

// Calls `test` on every code point (ill-formed sequences as -1) until it answers true.
template <typename Test> bool anyCodePoint(std::string_view text, Test test) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const std::size_t length = text.size();
  for (std::size_t i = 0; i < length;) {
    const UChar32 c = nextCodePoint(bytes, i, length);
    if (test(c))
      return true;
  }
  return false;
}

// The two blocks of CJK ideographs that Chinese text is written in: since Unicode 14 (ICU 70)
// every code point of both is an other-letter (Lo) that stands alone as a character, so no lookup
// is needed for them.
constexpr bool isCommonIdeograph(UChar32 c) noexcept {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF);
}

bool isDigit(UChar32 c) {
  if (c < 0x80)
    return c >= '0' && c <= '9';
  if (isCommonIdeograph(c))
    return false;
  return c >= 0 && backend::isDecimalDigit(static_cast<char32_t>(c));
}

constexpr bool isAsciiLetter(UChar32 c) noexcept {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isLetter(UChar32 c) {
  if (c < 0)
    return false;
  if (c < 0x80)
    return isAsciiLetter(c);
  if (isCommonIdeograph(c))
    return true;
  return backend::isLetterOrMark(static_cast<char32_t>(c));
}

// The length of the leading run of ASCII bytes of `text` for which `stop` answers false: where
// `stop` answered true, or where the first non-ASCII byte is, or the end. The ASCII prefix of
// a text ends on a code point boundary, so the code point tests can go on from there.
template <typename Stop> std::size_t asciiPrefix(std::string_view text, Stop stop) noexcept {
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80 || stop(c))
      break;
  }
  return i;
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
  // ASCII eight bytes a step; each other sequence decoded on its own.
  constexpr std::uint64_t topBits = 0x8080808080808080ULL;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    if (size - i >= 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes + i, sizeof word);
      if ((word & topBits) == 0) {
        i += 8;
        continue;
      }
    }
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    if (nextCodePoint(bytes, i, size) < 0)
      return false;
  }
  return true;
}

std::optional<std::size_t> advanceCharacters(std::string_view text, std::size_t from,
                                             std::size_t count) {
  if (count == 0)
    return from;
  std::size_t seen = 0;
  std::size_t end = 0;
  const auto onBoundary = [&](std::size_t boundary) {
    end = boundary;
    return ++seen < count;
  };
  // The walk checks every sequence it reads; the break iterator does not, so what it reads is
  // checked afterwards.
  const WalkEnd walk = walkCodePoints(text, from, onBoundary);
  if (walk.walk == Walk::illFormed)
    return std::nullopt;
  if (walk.walk == Walk::needsBreakIterator) {
    breakIteratorBoundaries(text, walk.resume, onBoundary);
    if (seen == count && !isValidUtf8(text.substr(walk.resume, end - walk.resume)))
      return std::nullopt;
  }
  if (seen < count)
    return std::nullopt;
  return end;
}

namespace detail {

bool joinsPrevious(std::string_view text, std::size_t at) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  std::size_t i = at;
  const UChar32 c = nextCodePoint(bytes, i, text.size());
  if (c < 0)
    return false;
  const GraphemeBreak property = graphemeBreak(c);
  return property == GraphemeBreak::extend || property == GraphemeBreak::spacingMark ||
         property == GraphemeBreak::zwj;
}

} // namespace detail

namespace {

// Whether every byte of a text of up to 64 bytes is from 0x20 to 0x7F, so that each is a character
// of its own (no CR to pair with an LF): a byte below 0x20 or from 0x80 on sets its top bit in the
// difference or in the word. The last word overlaps the one before it; only the existence of such
// a byte matters.
bool shortPrintableAscii(std::string_view text) noexcept {
  constexpr std::uint64_t spaces = 0x2020202020202020ULL;
  constexpr std::uint64_t topBits = 0x8080808080808080ULL;
  const char* const p = text.data();
  const std::size_t n = text.size();
  if (n < 8) {
    unsigned below = 0;
    for (std::size_t i = 0; i < n; ++i)
      below |= (static_cast<unsigned char>(p[i]) - 0x20U) | static_cast<unsigned char>(p[i]);
    return (below & 0x80000080U) == 0;
  }
  std::uint64_t flags = 0;
  const auto add = [&flags, p](std::size_t at) {
    std::uint64_t word;
    std::memcpy(&word, p + at, sizeof word);
    flags |= (word - spaces) | word;
  };
  for (std::size_t i = 0; i + 8 < n; i += 8)
    add(i);
  add(n - 8);
  return (flags & topBits) == 0;
}

// The character count of a text of ASCII other than CR and of the common CJK ideographs, or
// nothing for any other text. None of these code points joins its neighbour, so each is a
// character of its own.
std::optional<std::size_t> asciiAndIdeographCount(std::string_view text) noexcept {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t count = 0;
  for (std::size_t i = 0; i < size; ++count) {
    const unsigned lead = bytes[i];
    if (lead < 0x80) {
      if (lead == '\r')
        return std::nullopt;
      ++i;
      continue;
    }
    // Both blocks are runs of three-byte forms, ordered as their code points: U+3400 to U+4DBF
    // are E3 90 80 to E4 B6 BF, U+4E00 to U+9FFF are E4 B8 80 to E9 BF BF.
    if (size - i < 3)
      return std::nullopt;
    const std::uint32_t form =
        (lead << 16) | (std::uint32_t{bytes[i + 1]} << 8) | std::uint32_t{bytes[i + 2]};
    const bool continued = (form & 0xC0C0U) == 0x8080U;
    const bool extensionA = form - 0xE39080U <= 0xE4B6BFU - 0xE39080U;
    const bool unified = form - 0xE4B880U <= 0xE9BFBFU - 0xE4B880U;
    if (!continued || !(extensionA || unified))
      return std::nullopt;
    i += 3;
  }
  return count;
}

// The count of any text but a short one of printable ASCII; apart, so that the common case does
// not pay for setting up the general one.
[[gnu::noinline]] std::size_t countCharacters(std::string_view text) {
  if (isAscii(text))
    return text.size() - crLfCount(text);
  if (const std::optional<std::size_t> count = asciiAndIdeographCount(text))
    return *count;
  std::size_t count = 0;
  forEachBoundary(
      text, 0,
      [&count](std::size_t) {
        ++count;
        return true;
      },
      false);
  return count;
}

} // namespace

std::size_t characterCount(std::string_view text) {
  if (text.size() <= 64 && shortPrintableAscii(text))
    return text.size();
  return countCharacters(text);
}

CharIndex::CharIndex(std::string_view text) : CharIndex(text, false) {}

CharIndex::CharIndex(std::string_view text, bool wellFormedOnly) : text_(text) {
  if (isAscii(text) && text.find("\r\n") == std::string_view::npos) {
    count_ = text.size();
    return;
  }
  bytesAreCharacters_ = false;
  // Texts of up to this many characters, nearly all, are indexed whole as they are counted; a text
  // has at most as many characters as bytes, so the table is sized once and written through a
  // pointer.
  constexpr std::size_t eager = 4096;
  starts_.resize(std::min(text.size(), eager) + 1);
  std::size_t* out = starts_.data();
  *out++ = 0;
  std::size_t* const last = &starts_.back();
  const auto write = [&out](std::size_t boundary) { *out++ = boundary; };
  Formed formed = text.size() <= eager ? forEachBoundary(
                                             text, 0,
                                             [&write](std::size_t boundary) {
                                               write(boundary);
                                               return true;
                                             },
                                             wellFormedOnly)
                                       : forEachBoundary(
                                             text, 0,
                                             [&write, &out, last](std::size_t boundary) {
                                               write(boundary);
                                               return out <= last;
                                             },
                                             wellFormedOnly);
  starts_.resize(static_cast<std::size_t>(out - starts_.data()));
  std::size_t count = starts_.size() - 1;
  if (starts_.back() != text.size()) {
    // Beyond the table only the count and the last few starts are kept.
    const Formed rest = forEachBoundary(
        text, starts_.back(),
        [this, &count](std::size_t boundary) {
          ++count;
          tail_[count % tailSize] = boundary;
          return true;
        },
        wellFormedOnly);
    if (rest == Formed::ill)
      formed = Formed::ill;
  }
  count_ = count;
  illFormed_ = formed == Formed::ill;
}

std::optional<CharIndex> CharIndex::ofWellFormed(std::string_view text) {
  CharIndex index(text, true);
  if (index.illFormed_)
    return std::nullopt;
  return index;
}

std::size_t CharIndex::farOffset(std::size_t position) const {
  if (position >= count_)
    return text_.size();
  if (count_ - position < tailSize)
    return tail_[position % tailSize];
  // Doubles what is indexed, so that reading position after position costs linear time in all.
  const std::size_t wanted = std::min(count_, std::max(position, 2 * starts_.size()));
  starts_.reserve(wanted + 1);
  forEachBoundary(
      text_, starts_.back(),
      [this, wanted](std::size_t boundary) {
        starts_.push_back(boundary);
        return starts_.size() <= wanted;
      },
      false);
  return starts_[position];
}

// Each test runs over bytes while they are ASCII and decodes code points only from the first byte
// that is not.

bool allDecimalDigits(std::string_view text) {
  const std::size_t i = asciiPrefix(text, [](unsigned char c) { return c < '0' || c > '9'; });
  if (i == text.size())
    return true;
  if (static_cast<unsigned char>(text[i]) < 0x80)
    return false;
  return !anyCodePoint(text.substr(i), [](UChar32 c) { return !isDigit(c); });
}

bool allLetters(std::string_view text) {
  const std::size_t i = asciiPrefix(text, [](unsigned char c) { return !isAsciiLetter(c); });
  if (i == text.size())
    return true;
  if (static_cast<unsigned char>(text[i]) < 0x80)
    return false;
  return !anyCodePoint(text.substr(i), [](UChar32 c) { return !isLetter(c); });
}

bool containsLetter(std::string_view text) {
  const std::size_t i = asciiPrefix(text, [](unsigned char c) { return isAsciiLetter(c); });
  if (i == text.size())
    return false;
  if (static_cast<unsigned char>(text[i]) < 0x80)
    return true;
  return anyCodePoint(text.substr(i), isLetter);
}

bool containsOtherThanDigitsAnd(std::string_view text, char extra) {
  // Compared as the code point tests compare: a non-ASCII `extra` matches no ASCII byte.
  const auto other = [extra](UChar32 c) { return c != extra && !isDigit(c); };
  const std::size_t i = asciiPrefix(text, [&other](unsigned char c) { return other(c); });
  if (i == text.size())
    return false;
  if (static_cast<unsigned char>(text[i]) < 0x80)
    return true;
  return anyCodePoint(text.substr(i), other);
}

std::string toLower(std::string_view text) {
  if (isAscii(text)) {
    std::string lowered(text);
    for (char& c : lowered)
      if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    return lowered;
  }
  return backend::toLower(text);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  const std::string lowerA = toLower(a);
  const std::string lowerB = toLower(b);
  if (lowerA == lowerB)
    return true;
  if (isAscii(lowerA) && isAscii(lowerB))
    return false;
  const std::optional<std::string> normalA = backend::toNfc(lowerA);
  const std::optional<std::string> normalB = backend::toNfc(lowerB);
  return normalA && normalB && *normalA == *normalB;
}

bool isISORegionCode(std::string_view code) {
  static constexpr std::string_view codes[] = {
#include "support/RegionCodes.inc"
  };
  // Every code is two upper-case letters: a 26 by 26 table answers without comparing texts.
  const auto pairIndex = [](std::string_view c) -> std::optional<std::size_t> {
    const auto upper = [](char x) { return x >= 'A' && x <= 'Z'; };
    if (c.size() != 2 || !upper(c[0]) || !upper(c[1]))
      return std::nullopt;
    return static_cast<std::size_t>(c[0] - 'A') * 26 + static_cast<std::size_t>(c[1] - 'A');
  };
  static const std::bitset<26 * 26> pairs = [&pairIndex] {
    std::bitset<26 * 26> made;
    for (const std::string_view c : codes)
      made.set(*pairIndex(c));
    return made;
  }();
  const std::optional<std::size_t> index = pairIndex(code);
  return index && pairs.test(*index);
}

std::optional<int> currencyMinorUnits(std::string_view alphabeticCode) {
  struct MinorUnits {
    std::string_view code;
    int digits;
  };
  static constexpr MinorUnits table[] = {
#include "support/CurrencyMinorUnits.inc"
  };
  static_assert(
      std::is_sorted(std::begin(table), std::end(table),
                     [](const MinorUnits& a, const MinorUnits& b) { return a.code < b.code; }));
  const auto* found = std::lower_bound(
      std::begin(table), std::end(table), alphabeticCode,
      [](const MinorUnits& row, std::string_view code) { return row.code < code; });
  if (found == std::end(table) || found->code != alphabeticCode)
    return std::nullopt;
  return found->digits;
}

bool isFormat(char32_t c) noexcept {
  return backend::isFormat(c);
}
bool isNonSpacingMark(char32_t c) noexcept {
  return backend::isNonSpacingMark(c);
}
bool isDefaultIgnorable(char32_t c) noexcept {
  return backend::isDefaultIgnorable(c);
}
bool isExtendedPictographic(char32_t c) noexcept {
  return backend::isExtendedPictographic(c);
}
std::string characterName(char32_t c) {
  return backend::characterName(c);
}
const char* backendName() noexcept {
  return backend::name();
}

namespace {

// Reads the pattern syntax `Regex` supports, one code point at a time.
class PatternReader {
public:
  explicit PatternReader(std::string_view pattern) : pattern_(pattern) {}

  bool atEnd() const noexcept { return at_ == pattern_.size(); }
  std::size_t position() const noexcept { return position_; }
  char peek() const noexcept { return atEnd() ? '\0' : pattern_[at_]; }

  // The next code point, an escaped one unescaped; nothing for ill-formed UTF-8 or an escape of a
  // letter or digit (a class or property this reader does not know).
  std::optional<char32_t> next(bool& escaped) {
    escaped = false;
    if (peek() == '\\') {
      escaped = true;
      take();
      if (atEnd())
        return std::nullopt;
      const auto c = static_cast<unsigned char>(peek());
      if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return std::nullopt;
    }
    return take();
  }

private:
  std::optional<char32_t> take() {
    ++position_;
    const std::int32_t c =
        nextCodePoint(reinterpret_cast<const std::uint8_t*>(pattern_.data()), at_, pattern_.size());
    if (c < 0)
      return std::nullopt;
    return static_cast<char32_t>(c);
  }

  std::string_view pattern_;
  std::size_t at_ = 0;
  std::size_t position_ = 0;
};

bool isLineEnd(char32_t c) noexcept {
  return c == '\n' || c == '\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 ||
         c == 0x2029;
}

bool itemMatches(const Regex::Item& item, char32_t c) {
  if (item.anyButLineEnd)
    return !isLineEnd(c);
  const bool inRanges = std::any_of(item.ranges.begin(), item.ranges.end(),
                                    [c](const auto& r) { return c >= r.first && c <= r.second; });
  return inRanges != item.negated;
}

} // namespace

std::optional<Regex> Regex::compile(std::string_view pattern, std::string* error) {
  Regex compiled;
  PatternReader reader(pattern);
  const auto fail = [&](std::string_view what) -> std::optional<Regex> {
    if (error != nullptr)
      *error = "The value \u201C" + std::string(pattern) + "\u201D is invalid (" +
               std::string(what) + " at character " + std::to_string(reader.position()) + ").";
    return std::nullopt;
  };
  if (reader.peek() == '^') {
    bool escaped = false;
    reader.next(escaped);
    compiled.anchoredStart_ = true;
  }
  while (!reader.atEnd()) {
    Item item;
    bool escaped = false;
    const char lead = reader.peek();
    const std::optional<char32_t> c = reader.next(escaped);
    if (!c)
      return fail("unsupported escape or ill-formed UTF-8");
    if (!escaped && lead == '$' && reader.atEnd()) {
      compiled.anchoredEnd_ = true;
      break;
    }
    if (!escaped && lead == '.') {
      item.anyButLineEnd = true;
    } else if (!escaped && lead == '[') {
      if (reader.peek() == '^') {
        reader.next(escaped);
        item.negated = true;
      }
      bool closed = false;
      while (!reader.atEnd()) {
        const char memberLead = reader.peek();
        const std::optional<char32_t> first = reader.next(escaped);
        if (!first)
          return fail("unsupported escape or ill-formed UTF-8");
        if (!escaped && memberLead == ']' && !item.ranges.empty()) {
          closed = true;
          break;
        }
        if (!escaped && (memberLead == '[' || memberLead == ']'))
          return fail("nested or empty character class");
        char32_t last = *first;
        if (reader.peek() == '-') {
          reader.next(escaped);
          const char lastLead = reader.peek();
          const std::optional<char32_t> end = reader.next(escaped);
          if (!end || (!escaped && (lastLead == ']' || lastLead == '[')) || *end < *first)
            return fail("bad range in character class");
          last = *end;
        }
        item.ranges.emplace_back(*first, last);
      }
      if (!closed)
        return fail("unclosed character class");
    } else if (!escaped && std::string_view("()[]{}|*+?^$").find(lead) != std::string_view::npos) {
      return fail("unsupported syntax");
    } else {
      item.ranges.emplace_back(*c, *c);
    }
    switch (reader.peek()) {
    case '*':
      item.least = 0;
      item.unbounded = true;
      break;
    case '+':
      item.unbounded = true;
      break;
    case '?':
      item.least = 0;
      break;
    default:
      compiled.items_.push_back(std::move(item));
      continue;
    }
    reader.next(escaped);
    if (std::string_view("*+?{").find(reader.peek()) != std::string_view::npos && !reader.atEnd())
      return fail("unsupported repetition");
    compiled.items_.push_back(std::move(item));
  }
  return compiled;
}

bool Regex::matchesFrom(std::size_t item, const std::u32string& text, std::size_t at) const {
  if (item == items_.size())
    return !anchoredEnd_ || at == text.size();
  const Item& current = items_[item];
  // Greedy with backtracking: as many repetitions as match, then fewer.
  std::size_t count = 0;
  const std::size_t most = current.unbounded ? text.size() - at : 1;
  while (count < most && at + count < text.size() && itemMatches(current, text[at + count]))
    ++count;
  for (std::size_t taken = count + 1; taken-- > current.least;)
    if (matchesFrom(item + 1, text, at + taken))
      return true;
  return false;
}

bool Regex::hasMatch(std::string_view text) const {
  // Matched over code points, each ill-formed sequence as U+FFFD.
  std::u32string points;
  points.reserve(text.size());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const std::int32_t c = nextCodePoint(bytes, i, text.size());
    points.push_back(c < 0 ? U'\uFFFD' : static_cast<char32_t>(c));
  }
  const std::size_t lastStart = anchoredStart_ ? 0 : points.size();
  for (std::size_t start = 0; start <= lastStart; ++start)
    if (matchesFrom(0, points, start))
      return true;
  return false;
}

} // namespace pavenda::unicode
