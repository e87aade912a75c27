#include "Text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "support/Unicode.h"

namespace pavenda::tools {
namespace {

constexpr std::string_view hexDigits = "0123456789abcdef";

void appendByteEscape(std::string& out, unsigned char byte) {
  out += "\\x";
  out += hexDigits[byte >> 4];
  out += hexDigits[byte & 0xF];
}

// Printable ASCII other than the backslash passes through as is: the common case, one table look-up
// per byte.
constexpr std::array<bool, 256> plainBytes = [] {
  std::array<bool, 256> plain{};
  for (std::size_t byte = 0x20; byte < 0x7F; ++byte)
    plain[byte] = byte != '\\';
  return plain;
}();

// Whether none of the eight bytes at `p` is a control, DEL, a backslash or beyond ASCII; may answer
// false for plain bytes (the byte loop then decides), never true for others.
bool plainWord(const std::uint8_t* p) noexcept {
  constexpr std::uint64_t ones = 0x0101010101010101;
  constexpr std::uint64_t highs = ones * 0x80;
  std::uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  const auto hasZero = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
  return ((word | ((word - ones * 0x20) & ~word) | hasZero(word ^ (ones * 0x7F)) |
           hasZero(word ^ (ones * '\\'))) &
          highs) == 0;
}

// Characters that reorder or break the text around them where they are shown: the line and
// paragraph separators and the bidirectional embeddings, overrides and isolates.
constexpr bool isLayoutControl(std::int32_t c) noexcept {
  return c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void appendCodePointEscape(std::string& out, std::int32_t c) {
  out += "\\u{";
  for (int shift = 12; shift >= 0; shift -= 4)
    out += hexDigits[(c >> shift) & 0xF];
  out += '}';
}

void appendEscapedPiece(std::string& out, std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  std::int32_t copied = 0; // text before this is in `out`
  std::int32_t i = 0;
  while (i < length) {
    while (i + 8 <= length && plainWord(bytes + i))
      i += 8;
    while (i < length && plainBytes[bytes[i]])
      ++i;
    if (i == length)
      break;
    const std::int32_t start = i;
    const std::int32_t c = unicode::nextCodePoint(bytes, i, length);
    if (c > 0x9F && !isLayoutControl(c))
      continue; // a well-formed character beyond the controls stays in the run
    out.append(text.data() + copied, static_cast<std::size_t>(start - copied));
    copied = i;
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\\')
      out += "\\\\";
    else if (isLayoutControl(c))
      appendCodePointEscape(out, c);
    else // other controls, and negative: not well-formed UTF-8
      for (std::int32_t k = start; k < i; ++k)
        appendByteEscape(out, bytes[k]);
  }
  out.append(text.data() + copied, static_cast<std::size_t>(length - copied));
}

bool isUtf8Piece(std::string_view text) noexcept {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    if (unicode::nextCodePoint(bytes, i, length) < 0)
      return false;
  }
  return true;
}

// The pieces are indexed with 32 bits: longer text goes in pieces.
template <typename Piece> void forEachPiece(std::string_view text, Piece piece) {
  constexpr std::size_t most = std::size_t{1} << 30;
  while (text.size() > most) {
    const std::size_t cut = pieceLength(text, most);
    piece(text.substr(0, cut));
    text.remove_prefix(cut);
  }
  piece(text);
}

} // namespace

std::size_t pieceLength(std::string_view text, std::size_t most) noexcept {
  if (text.size() <= most)
    return text.size();
  std::size_t cut = most;
  for (int back = 0; back < 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back)
    --cut;
  return cut;
}

void appendEscaped(std::string& out, std::string_view text) {
  forEachPiece(text, [&out](std::string_view piece) { appendEscapedPiece(out, piece); });
}

bool isUtf8(std::string_view text) noexcept {
  bool valid = true;
  forEachPiece(text, [&valid](std::string_view piece) { valid = valid && isUtf8Piece(piece); });
  return valid;
}

std::string escaped(std::string_view text) {
  std::string out;
  appendEscaped(out, text);
  return out;
}

std::string toHex(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    out += hexDigits[value >> 4];
    out += hexDigits[value & 0xF];
  }
  return out;
}

} // namespace pavenda::tools
