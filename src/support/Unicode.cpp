#include "support/Unicode.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <limits>

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/uloc.h>
#include <unicode/unorm2.h>
#include <unicode/uregex.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

namespace pavenda::unicode {
namespace {

struct BreakIteratorClose {
  void operator()(UBreakIterator* iterator) const noexcept { ubrk_close(iterator); }
};

// Break iterators are expensive to make and not shareable between threads: one per thread, reused.
UBreakIterator* characterIterator() {
  thread_local const std::unique_ptr<UBreakIterator, BreakIteratorClose> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBreakIterator, BreakIteratorClose> made(
        ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status));
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

// The grapheme cluster break property. CJK ideographs, most of the non-ASCII text payloads carry,
// are all "Other": a range test answers them without a lookup.
int32_t graphemeBreak(UChar32 c) {
  if (c >= 0x3400 && c <= 0x9FFF)
    return U_GCB_OTHER;
  return u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK);
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
  int32_t lastBreak = 0;
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
      UChar32 c;
      U8_NEXT(bytes, i, length, c);
      if (c < 0)
        return {Walk::illFormed, characterStart};
      // Runs of one code point (a mark repeated, a letter repeated) look the property up once.
      if (c != lastCodePoint) {
        lastCodePoint = c;
        lastBreak = graphemeBreak(c);
      }
      switch (lastBreak) {
      case U_GCB_EXTEND:
      case U_GCB_SPACING_MARK:
      case U_GCB_ZWJ:
        if (previous == Previous::base || previous == Previous::mark) {
          previous = Previous::mark;
          continue;
        }
        current = Previous::mark;
        break;
      case U_GCB_OTHER:
        if (previous == Previous::mark)
          return {Walk::needsBreakIterator, characterStart};
        break;
      case U_GCB_CONTROL:
      case U_GCB_CR:
      case U_GCB_LF:
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
// on ends, as the break iterator finds them, until it answers false. ICU's offsets are 32-bit, so
// longer texts are read in windows, each restarted at a boundary found in the one before.
template <typename OnBoundary>
void breakIteratorBoundaries(std::string_view text, std::size_t from, OnBoundary onBoundary) {
  constexpr std::size_t window = std::size_t{1} << 30;
  // A window's last code point may be cut: boundaries this close to its end are found again.
  constexpr std::size_t margin = 4;
  UBreakIterator* iterator = characterIterator();
  while (from < text.size()) {
    const std::size_t size = std::min(text.size() - from, window);
    const bool last = from + size == text.size();
    UErrorCode status = U_ZERO_ERROR;
    UText utext = UTEXT_INITIALIZER;
    utext_openUTF8(&utext, text.data() + from, static_cast<int64_t>(size), &status);
    if (iterator != nullptr)
      ubrk_setUText(iterator, &utext, &status);
    if (iterator == nullptr || U_FAILURE(status)) {
      // Without ICU data every code point stands alone; still never reads out of bounds.
      utext_close(&utext);
      const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
      const auto length = static_cast<std::int64_t>(text.size());
      for (auto i = static_cast<std::int64_t>(from); i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        (void)c;
        if (!onBoundary(static_cast<std::size_t>(i)))
          return;
      }
      return;
    }
    std::size_t next = from;
    for (int32_t b = ubrk_next(iterator); b != UBRK_DONE; b = ubrk_next(iterator)) {
      const std::size_t boundary = from + static_cast<std::size_t>(b);
      if (!last && boundary + margin > from + size)
        break;
      if (!onBoundary(boundary)) {
        utext_close(&utext);
        return;
      }
      next = boundary;
    }
    utext_close(&utext);
    if (next == from) {
      // One character longer than a window: the window's end has to serve as its end.
      next = from + size;
      if (!onBoundary(next))
        return;
    }
    from = next;
  }
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
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (test(c))
      return true;
  }
  return false;
}

// Fills a UTF-16 string through an ICU function that answers the length it needs, asking again
// with that length when `guess` was short; nothing on failure.
template <typename Fill> std::optional<std::u16string> fillUtf16(std::size_t guess, Fill fill) {
  if (guess > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
    return std::nullopt;
  std::u16string out(guess, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = fill(out.data(), static_cast<int32_t>(out.size()), status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(static_cast<std::size_t>(length));
    status = U_ZERO_ERROR;
    length = fill(out.data(), static_cast<int32_t>(out.size()), status);
  }
  if (U_FAILURE(status))
    return std::nullopt;
  out.resize(static_cast<std::size_t>(length));
  return out;
}

// UTF-8 to UTF-16, each ill-formed sequence as U+FFFD; nothing beyond ICU's 32-bit lengths.
std::optional<std::u16string> toUtf16(std::string_view text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
    return std::nullopt;
  // Never more UTF-16 units than UTF-8 bytes.
  return fillUtf16(text.size(), [text](UChar* out, int32_t capacity, UErrorCode& status) {
    int32_t length = 0;
    u_strFromUTF8WithSub(out, capacity, &length, text.data(), static_cast<int32_t>(text.size()),
                         0xFFFD, nullptr, &status);
    return length;
  });
}

// UTF-16 to UTF-8, an unpaired surrogate as U+FFFD.
std::string toUtf8(std::u16string_view text) {
  // At most three bytes for each UTF-16 unit.
  std::string out(std::min<std::size_t>(3 * text.size(), std::numeric_limits<int32_t>::max()),
                  '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return out;
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
  return u_charType(c) == U_DECIMAL_DIGIT_NUMBER;
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
  return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK)) != 0;
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
    // ICU's offsets are 32-bit: decode from a window that starts at this sequence.
    const std::size_t rest = std::min<std::size_t>(size - i, 4);
    int32_t at = 0;
    UChar32 c;
    U8_NEXT(bytes + i, at, static_cast<int32_t>(rest), c);
    if (c < 0)
      return false;
    i += static_cast<std::size_t>(at);
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
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data() + at);
  int32_t i = 0;
  UChar32 c;
  U8_NEXT(bytes, i, static_cast<int32_t>(std::min<std::size_t>(text.size() - at, 4)), c);
  if (c < 0)
    return false;
  const int32_t property = graphemeBreak(c);
  return property == U_GCB_EXTEND || property == U_GCB_SPACING_MARK || property == U_GCB_ZWJ;
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
  const std::optional<std::u16string> wide = toUtf16(text);
  if (!wide)
    return {};
  const std::optional<std::u16string> lowered =
      fillUtf16(wide->size(), [&wide](UChar* out, int32_t capacity, UErrorCode& status) {
        return u_strToLower(out, capacity, wide->data(), static_cast<int32_t>(wide->size()), "",
                            &status);
      });
  return lowered ? toUtf8(*lowered) : std::string();
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  const std::string lowerA = toLower(a);
  const std::string lowerB = toLower(b);
  if (lowerA == lowerB)
    return true;
  if (isAscii(lowerA) && isAscii(lowerB))
    return false;
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  if (U_FAILURE(status))
    return false;
  const auto normalise = [nfc](const std::string& s) -> std::optional<std::u16string> {
    const std::optional<std::u16string> wide = toUtf16(s);
    if (!wide)
      return std::nullopt;
    return fillUtf16(wide->size(), [&](UChar* out, int32_t capacity, UErrorCode& code) {
      return unorm2_normalize(nfc, wide->data(), static_cast<int32_t>(wide->size()), out, capacity,
                              &code);
    });
  };
  const std::optional<std::u16string> normalA = normalise(lowerA);
  const std::optional<std::u16string> normalB = normalise(lowerB);
  return normalA && normalB && *normalA == *normalB;
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
  std::shared_ptr<const URegularExpression> compiled;
  if (const std::optional<std::u16string> wide = toUtf16(pattern)) {
    // ICU takes a length of 0 for a mistake; -1 (up to the terminator) gives the empty pattern.
    const int32_t length = wide->empty() ? -1 : static_cast<int32_t>(wide->size());
    compiled.reset(uregex_open(wide->c_str(), length, 0, &parseError, &status), uregex_close);
  } else {
    status = U_INDEX_OUTOFBOUNDS_ERROR;
  }
  if (U_FAILURE(status) || compiled == nullptr) {
    if (error != nullptr)
      *error = "The value \u201C" + std::string(pattern) + "\u201D is invalid (" +
               u_errorName(status) + ").";
    return std::nullopt;
  }
  return Regex(std::move(compiled));
}

bool Regex::hasMatch(std::string_view text) const {
  const std::optional<std::u16string> subject = toUtf16(text);
  if (!subject)
    return false;
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<URegularExpression, void (*)(URegularExpression*)> matcher(
      uregex_clone(pattern_.get(), &status), uregex_close);
  if (U_FAILURE(status) || matcher == nullptr)
    return false;
  uregex_setText(matcher.get(), subject->data(), static_cast<int32_t>(subject->size()), &status);
  return U_SUCCESS(status) && uregex_findNext(matcher.get(), &status) && U_SUCCESS(status);
}

} // namespace pavenda::unicode
