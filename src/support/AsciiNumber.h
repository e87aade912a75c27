#ifndef PAVENDA_SUPPORT_ASCIINUMBER_H
#define PAVENDA_SUPPORT_ASCIINUMBER_H

#include <optional>
#include <string_view>

namespace pavenda {

/// The number written by `text` in the digits 0-9, leading zeros allowed; nothing for the empty
/// text or any other character, digits of other scripts included. Meant for short fields (no
/// overflow check).
constexpr std::optional<int> parseAsciiDigits(std::string_view text) noexcept {
  if (text.empty())
    return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

} // namespace pavenda

#endif
