#ifndef PAVENDA_SUPPORT_TEXTPREDICATES_H
#define PAVENDA_SUPPORT_TEXTPREDICATES_H

// Small tests on text used by the field checks. Every length and position counts user-perceived
// characters (extended grapheme clusters); none of them reports an error to its caller.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/Unicode.h"

namespace pavenda {

/// The pattern a single-character-scheme primary ID's second character must match after "?": one of
/// 1-9, a-q, A-Q (the numbers 1 to 26 as one base-36 digit).
inline constexpr std::string_view PRIMARY_ID_REGEX = "^[1-9a-qA-Q]";

/// The same pattern for the secondary ID.
inline constexpr std::string_view SECONDARY_ID_REGEX = "^[1-9a-qA-Q]";

/// Shared constants of the checks.
struct ZArodezBaseConstants {
  ZArodezBaseConstants() = delete;

  /// The decimal separator of amounts and percentages.
  static constexpr std::string_view periodCharacter = ".";
};

/// Whether `minimum` <= the character count of `text` <= `maxValue` (signed comparisons, so a
/// minimum above `maxValue` never holds).
bool isLengthInRange(std::string_view text, std::int64_t minimum, std::int64_t maxValue);

/// The same test on a character count already known.
constexpr bool isCountInRange(std::size_t count, std::int64_t minimum,
                              std::int64_t maxValue) noexcept {
  return minimum <= maxValue && static_cast<std::int64_t>(count) >= minimum &&
         static_cast<std::int64_t>(count) <= maxValue;
}

/// The character at 0-based `position` as its own text, or nothing when `position` is negative or
/// not below the character count.
std::optional<std::string> characterAt(std::string_view text, std::int64_t position);

/// Whether `pattern` (ICU syntax, no options) matches somewhere in `text`; a pattern needs its own
/// anchors to test the whole text. A pattern that does not compile writes its error description,
/// quoted and escaped, as one line to standard output and yields false.
bool isMatchingRegex(std::string_view pattern, std::string_view text);

/// The same test with a pattern compiled beforehand, for patterns used again and again.
bool isMatchingRegex(const unicode::Regex& pattern, std::string_view text);

/// Whether both texts are equal after Unicode lower-casing ("aB" and "Ab" are; "01" and "1" are
/// not).
bool isEqualTo(std::string_view text, std::string_view other);

} // namespace pavenda

#endif
