#ifndef PAVENDA_SUPPORT_UNICODE_H
#define PAVENDA_SUPPORT_UNICODE_H

// The library's one Unicode layer: UTF-8 stepping, user-perceived characters, character classes,
// case mapping, canonical equivalence, the one-character patterns, character names, the region list
// and currency minor units. ASCII text takes a fast path everywhere; for ASCII a user-perceived
// character is a byte, except that CR LF is one character. The character data comes from one of two
// backends chosen at configure time (ICU, or tables built in), which answer identically.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pavenda::unicode {

/// The code point at byte `i` of `bytes` (`length` bytes), moving `i` past it. An ill-formed
/// sequence gives -1 and moves `i` past its maximal subpart (the lead byte and the continuation
/// bytes that fit it), as ICU's U8_NEXT does.
template <typename Index>
std::int32_t nextCodePoint(const std::uint8_t* bytes, Index& i, Index length) noexcept {
  std::int32_t c = bytes[i++];
  if (c < 0x80)
    return c;
  if (c < 0xC2 || c > 0xF4 || i == length)
    return -1;
  std::uint8_t next = bytes[i];
  if (c < 0xE0) {
    if ((next & 0xC0) != 0x80)
      return -1;
    ++i;
    return (c & 0x1F) << 6 | (next & 0x3F);
  }
  // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
  const std::uint8_t low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
  const std::uint8_t high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
  if (next < low || next > high)
    return -1;
  ++i;
  std::int32_t code = (c < 0xF0 ? c & 0x0F : c & 0x07) << 6 | (next & 0x3F);
  for (int more = c < 0xF0 ? 1 : 2; more > 0; --more) {
    if (i == length)
      return -1;
    next = bytes[i];
    if ((next & 0xC0) != 0x80)
      return -1;
    ++i;
    code = code << 6 | (next & 0x3F);
  }
  return code;
}

/// Whether every byte is below 0x80.
bool isAscii(std::string_view text) noexcept;

/// Whether `text` is well-formed UTF-8 (no surrogates, no overlong forms, nothing above U+10FFFF).
bool isValidUtf8(std::string_view text) noexcept;

/// The number of user-perceived characters (extended grapheme clusters). An ill-formed UTF-8
/// sequence counts as a character of its own.
std::size_t characterCount(std::string_view text);

/// The byte offset at which the `count` characters of `text` from byte `from` (a character start)
/// on end; nothing when fewer than `count` characters follow `from`, or when those characters (or
/// the sequence right after them, read to see whether the last one goes on) are not well-formed
/// UTF-8 (see `isValidUtf8`).
std::optional<std::size_t> advanceCharacters(std::string_view text, std::size_t from,
                                             std::size_t count);

/// Whether a character starts at byte `at` (0 < `at` <= size) of `text`, given that the byte
/// before it is printable ASCII: false only when a combining mark or joiner follows it (an
/// ill-formed sequence there joins nothing).
inline bool startsCharacterAfterPrintable(std::string_view text, std::size_t at);

/// The boundaries of the user-perceived characters of one text, so that any number of positions
/// can be read without stepping from the start. Refers to the text; keep it alive. Memory beyond a
/// few kilobytes grows with the furthest position read, not with the text: the count and the last
/// few characters are found in one pass at construction, other starts as far as they are asked for.
/// Not for use from several threads at once (reading may extend the index).
class CharIndex {
public:
  /// Indexes any text; an ill-formed UTF-8 sequence is a character of its own.
  explicit CharIndex(std::string_view text);

  /// The index of `text` when it is well-formed UTF-8 (see `isValidUtf8`), or nothing.
  static std::optional<CharIndex> ofWellFormed(std::string_view text);

  /// The number of characters.
  std::size_t size() const noexcept { return count_; }

  /// The byte offset at which character `position` (0 to `size()`) starts; `size()` gives the end
  /// of the text. May allocate to extend the index (std::bad_alloc).
  std::size_t offset(std::size_t position) const {
    if (bytesAreCharacters_)
      return position;
    if (position < starts_.size())
      return starts_[position];
    return farOffset(position);
  }

  /// The `count` characters from `position` on; both must lie within the text.
  std::string_view slice(std::size_t position, std::size_t count) const {
    const std::size_t begin = offset(position);
    return text_.substr(begin, offset(position + count) - begin);
  }

private:
  // How many of the last characters' starts are kept from the counting pass.
  static constexpr std::size_t tailSize = 8;

  CharIndex(std::string_view text, bool wellFormedOnly);
  // Starts beyond those found so far: the end, the tail, or extends the index.
  std::size_t farOffset(std::size_t position) const;

  std::string_view text_;
  std::size_t count_ = 0;
  bool bytesAreCharacters_ = true;
  bool illFormed_ = false;
  // Leaves elements made by `resize` uninitialised: the table is sized once, then written.
  template <typename T> struct Uninitialised : std::allocator<T> {
    template <typename U> struct rebind { using other = Uninitialised<U>; };
    using std::allocator<T>::allocator;
    template <typename U, typename... Args> void construct(U* at, Args&&... args) {
      if constexpr (sizeof...(Args) == 0)
        ::new (static_cast<void*>(at)) U;
      else
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
  };

  // The starts of the first characters, from 0 on, as far as found.
  mutable std::vector<std::size_t, Uninitialised<std::size_t>> starts_;
  // The start of character k, for the last `tailSize` values of k, at k % tailSize.
  std::array<std::size_t, tailSize> tail_{};
};

/// Whether every code point is a decimal digit (general category Nd); true for the empty text.
bool allDecimalDigits(std::string_view text);

/// Whether every code point is a letter (general categories L and M); true for the empty text.
bool allLetters(std::string_view text);

/// Whether some code point is a letter (general categories L and M).
bool containsLetter(std::string_view text);

/// Whether some code point is neither a decimal digit (Nd) nor the character `extra`.
bool containsOtherThanDigitsAnd(std::string_view text, char extra);

/// The full Unicode lower-case mapping (root locale).
std::string toLower(std::string_view text);

/// Whether both texts are equal after lower-casing, compared under canonical equivalence.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

/// Whether `code` is one of the ISO 3166-1 alpha-2 region codes (upper case, exact comparison).
bool isISORegionCode(std::string_view code);

/// Whether `c` has general category Cf (format).
bool isFormat(char32_t c) noexcept;

/// Whether `c` has general category Mn (non-spacing mark).
bool isNonSpacingMark(char32_t c) noexcept;

/// Whether `c` is a default-ignorable code point.
bool isDefaultIgnorable(char32_t c) noexcept;

/// Whether `c` is Extended_Pictographic (starts or continues an emoji sequence).
bool isExtendedPictographic(char32_t c) noexcept;

/// The name of a control, format or default-ignorable code point as ICU's extended names give it:
/// "RIGHT-TO-LEFT OVERRIDE", "<control-0009>", "<unassigned-2065>".
std::string characterName(char32_t c);

/// The minor unit (decimal places) of an ISO 4217 alphabetic currency code, or nothing for a code
/// the table lacks.
std::optional<int> currencyMinorUnits(std::string_view alphabeticCode);

/// The name of the backend the library was built with: "icu" or "builtin".
const char* backendName() noexcept;

/// A compiled one-character pattern: literal characters, character classes with ranges (negated
/// with a leading "^"), "." (any character but a line end), each optionally followed by "*", "+"
/// or "?", a leading "^" anchoring at the start of the text and a trailing "$" at its end. Matches
/// code points. Anything else does not compile. Compile once and reuse; safe from several threads.
class Regex {
public:
  /// Compiles `pattern`; on failure answers nothing and writes a description to `error` when given.
  static std::optional<Regex> compile(std::string_view pattern, std::string* error = nullptr);

  /// Whether the pattern matches somewhere in `text`.
  bool hasMatch(std::string_view text) const;

  /// One element of the pattern: a set of code point ranges (one range for a literal) and how often
  /// it may repeat.
  struct Item {
    std::vector<std::pair<char32_t, char32_t>> ranges;
    bool negated = false;
    bool anyButLineEnd = false;
    std::size_t least = 1;
    bool unbounded = false;
  };

private:
  Regex() = default;
  bool matchesFrom(std::size_t item, const std::u32string& text, std::size_t at) const;

  std::vector<Item> items_;
  bool anchoredStart_ = false;
  bool anchoredEnd_ = false;
};

namespace detail {
bool joinsPrevious(std::string_view text, std::size_t at);
} // namespace detail

inline bool startsCharacterAfterPrintable(std::string_view text, std::size_t at) {
  // Only a non-ASCII code point can join a printable ASCII character.
  return at == text.size() || static_cast<unsigned char>(text[at]) < 0x80 ||
         !detail::joinsPrevious(text, at);
}

} // namespace pavenda::unicode

#endif
