#ifndef PAVENDA_TOOLS_TEXT_H
#define PAVENDA_TOOLS_TEXT_H

#include <string>
#include <string_view>

namespace pavenda::tools {

/// Appends `text` to `out` so that it stays on one line and nothing reaches a terminal raw: "\n",
/// "\r", "\t" and "\\" as those two-character escapes, other control characters (C0, DEL, C1)
/// and bytes that are not well-formed UTF-8 as "\xNN" per byte; everything else unchanged.
void appendEscaped(std::string& out, std::string_view text);

/// A length of at most `most` (>= 4) bytes, or all of `text` when shorter, that ends before a lead
/// or ASCII byte when it can, so that no well-formed character is split: the pieces of a text cut
/// there escape, validate and hex-encode exactly as the whole does.
std::size_t pieceLength(std::string_view text, std::size_t most) noexcept;

/// `text` escaped as `appendEscaped` does.
std::string escaped(std::string_view text);

/// Whether `text` is well-formed UTF-8 (empty text is).
bool isUtf8(std::string_view text) noexcept;

/// Two lower-case hexadecimal digits per byte of `bytes`, in order.
std::string toHex(std::string_view bytes);

} // namespace pavenda::tools

#endif
