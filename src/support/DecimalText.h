#ifndef PAVENDA_SUPPORT_DECIMALTEXT_H
#define PAVENDA_SUPPORT_DECIMALTEXT_H

#include <optional>
#include <string_view>

namespace pavenda {

/// The value of a text of the digits 0-9 with at most one period and at least one digit ("5.",
/// ".5" and "007" included), rounded to the nearest double (ties to even) as a correctly rounding
/// `strtod` would: infinity above the largest double, zero below half the smallest. Nothing for any
/// other text, digits of other scripts included. Needs no locale and no library support for
/// floating-point parsing (which older libc++ lacks), and no heap.
std::optional<double> parseDecimal(std::string_view text) noexcept;

} // namespace pavenda

#endif
