#ifndef PAVENDA_DECODING_TLVFRAMING_H
#define PAVENDA_DECODING_TLVFRAMING_H

#include <optional>
#include <string_view>

#include "support/AsciiNumber.h"

namespace pavenda::framing {

/// A two-character length field of the two-digit scheme read as a signed decimal integer: an
/// optional "+" or "-" then ASCII digits, as a standard integer parse takes it ("05" is 5, "+2" is
/// 2, "-1" is -1). Nothing for anything else, including digits of other scripts.
constexpr std::optional<int> parseLengthField(std::string_view field) noexcept {
  // Two digits, as every well-formed payload has them, need no sign handling.
  if (const std::optional<int> number = twoAsciiDigits(field))
    return number;
  if (field.empty())
    return std::nullopt;
  const bool negative = field.front() == '-';
  if (field.front() == '+' || negative)
    field.remove_prefix(1);
  const std::optional<int> value = parseAsciiDigits(field);
  if (!value)
    return std::nullopt;
  return negative ? -*value : *value;
}

} // namespace pavenda::framing

#endif
