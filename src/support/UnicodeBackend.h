#ifndef PAVENDA_SUPPORT_UNICODEBACKEND_H
#define PAVENDA_SUPPORT_UNICODEBACKEND_H

// What the Unicode layer asks of its backend: character properties, the full grapheme segmentation,
// lower-casing and canonical composition. Two implementations answer identically: unicode_icu/ (the
// system's ICU, C API) and unicode_builtin/ (tables generated from the Unicode Character Database,
// standard library only); the build links exactly one. Only Unicode.cpp and the tests use this.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The tests that compare both backends compile the builtin one a second time, in another namespace.
#ifndef PAVENDA_UNICODE_BACKEND
#define PAVENDA_UNICODE_BACKEND backend
#endif

namespace pavenda::unicode::PAVENDA_UNICODE_BACKEND {

/// The Grapheme_Cluster_Break property.
enum class GraphemeBreak : std::uint8_t {
  other,
  cr,
  lf,
  control,
  extend,
  zwj,
  regionalIndicator,
  prepend,
  spacingMark,
  l,
  v,
  t,
  lv,
  lvt
};

/// The name of the backend: "icu" or "builtin".
const char* name() noexcept;

GraphemeBreak graphemeBreak(char32_t c) noexcept;
/// General category Nd.
bool isDecimalDigit(char32_t c) noexcept;
/// General categories L and M.
bool isLetterOrMark(char32_t c) noexcept;
/// General category Cf.
bool isFormat(char32_t c) noexcept;
/// General category Mn.
bool isNonSpacingMark(char32_t c) noexcept;
bool isDefaultIgnorable(char32_t c) noexcept;
bool isExtendedPictographic(char32_t c) noexcept;

/// The character's name as ICU's extended names give it ("ZERO WIDTH SPACE", "<control-0009>",
/// "<unassigned-E0080>"); defined for controls, format characters and default-ignorable code
/// points, the characters the advisories name.
std::string characterName(char32_t c);

/// Calls `onBoundary(context, offset)` with the byte offset at which each extended grapheme cluster
/// of `text` from `from` (a cluster start) on ends, until it answers false. Each ill-formed UTF-8
/// sequence (maximal subpart) reads as U+FFFD.
void forEachBoundary(std::string_view text, std::size_t from,
                     bool (*onBoundary)(void* context, std::size_t offset), void* context);

/// The full lower-case mapping of the root locale (final sigma included); ill-formed sequences
/// become U+FFFD. Empty when the text is beyond what the backend can hold.
std::string toLower(std::string_view text);

/// The canonical composition (NFC); ill-formed sequences become U+FFFD. Nothing when the text is
/// beyond what the backend can hold.
std::optional<std::string> toNfc(std::string_view text);

} // namespace pavenda::unicode::PAVENDA_UNICODE_BACKEND

#endif
