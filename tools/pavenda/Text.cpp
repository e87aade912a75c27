#include "Text.h"

#include <cstdint>

#include <unicode/utf8.h>

namespace pavenda::tools {
namespace {

constexpr std::string_view hexDigits = "0123456789abcdef";

void appendByteEscape(std::string& out, unsigned char byte) {
  out += "\\x";
  out += hexDigits[byte >> 4];
  out += hexDigits[byte & 0xF];
}

// Printable ASCII other than the backslash passes through as is: the common case, kept cheap.
bool plain(unsigned char byte) noexcept {
  return byte >= 0x20 && byte < 0x7F && byte != '\\';
}

} // namespace

void appendEscaped(std::string& out, std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  std::int32_t i = 0;
  while (i < length) {
    std::int32_t run = i;
    while (run < length && plain(bytes[run]))
      ++run;
    out.append(text.data() + i, static_cast<std::size_t>(run - i));
    i = run;
    if (i == length)
      break;
    const std::int32_t start = i;
    UChar32 c = 0;
    U8_NEXT(bytes, i, length, c);
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\\')
      out += "\\\\";
    else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) // also negative: not well-formed UTF-8
      for (std::int32_t k = start; k < i; ++k)
        appendByteEscape(out, bytes[k]);
    else
      out.append(text.data() + start, static_cast<std::size_t>(i - start));
  }
}

std::string escaped(std::string_view text) {
  std::string out;
  appendEscaped(out, text);
  return out;
}

bool isUtf8(std::string_view text) noexcept {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  for (std::int32_t i = 0; i < length;) {
    if (bytes[i] < 0x80) {
      ++i;
      continue;
    }
    UChar32 c = 0;
    U8_NEXT(bytes, i, length, c);
    if (c < 0)
      return false;
  }
  return true;
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
