#ifndef PAVENDA_SUPPORT_ASCIINUMBER_H
#define PAVENDA_SUPPORT_ASCIINUMBER_H

#include <limits>
#include <optional>
#include <string_view>

namespace pavenda {

/// Whether `c` is one of the ASCII digits 0-9 (digits of other scripts are not).
constexpr bool isAsciiDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}

/// Whether every character of `text` is one of the ASCII digits 0-9; true for the empty text.
constexpr bool allAsciiDigits(std::string_view text) noexcept {
  for (const char c : text)
    if (!isAsciiDigit(c))
      return false;
  return true;
}

/// The value of two ASCII digits ("07" is 7), or nothing for anything else.
constexpr std::optional<int> twoAsciiDigits(std::string_view text) noexcept {
  if (text.size() != 2 || !isAsciiDigit(text[0]) || !isAsciiDigit(text[1]))
    return std::nullopt;
  return (text[0] - '0') * 10 + (text[1] - '0');
}

/// The number written by `text` in the digits 0-9, leading zeros allowed; nothing for the empty
/// text or any other character, digits of other scripts included, and for a number too large for
/// an int.
constexpr std::optional<int> parseAsciiDigits(std::string_view text) noexcept {
  if (text.empty())
    return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (!isAsciiDigit(c))
      return std::nullopt;
    const int digit = c - '0';
    if (value > (std::numeric_limits<int>::max() - digit) / 10)
      return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

} // namespace pavenda

#endif
