#include "support/TextPredicates.h"

#include <cstdio>

namespace pavenda {
namespace {

// A text in the form of a debug print: inside double quotes, with quotes, backslashes and control
// characters escaped, so that the logged line stays one line.
std::string debugQuoted(std::string_view text) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
    case '\\':
      quoted += "\\\\";
      break;
    case '"':
      quoted += "\\\"";
      break;
    case '\'':
      quoted += "\\'";
      break;
    case '\0':
      quoted += "\\0";
      break;
    case '\t':
      quoted += "\\t";
      break;
    case '\r':
      quoted += "\\r";
      break;
    case '\n':
      quoted += "\\n";
      break;
    default:
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
        quoted += "\\u{";
        if (static_cast<unsigned char>(c) >= 0x10)
          quoted += hex[static_cast<unsigned char>(c) >> 4];
        quoted += hex[static_cast<unsigned char>(c) & 0xF];
        quoted += '}';
      } else {
        quoted += c;
      }
    }
  }
  quoted += '"';
  return quoted;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size())
    return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i]))
      return false;
  return true;
}

} // namespace

bool isLengthInRange(std::string_view text, std::int64_t minimum, std::int64_t maxValue) {
  return minimum <= maxValue && isCountInRange(unicode::characterCount(text), minimum, maxValue);
}

std::optional<std::string> characterAt(std::string_view text, std::int64_t position) {
  if (position < 0)
    return std::nullopt;
  const unicode::CharIndex index(text);
  if (index.size() <= static_cast<std::uint64_t>(position))
    return std::nullopt;
  return std::string(index.slice(static_cast<std::size_t>(position), 1));
}

bool isMatchingRegex(std::string_view pattern, std::string_view text) {
  std::string error;
  const std::optional<unicode::Regex> compiled = unicode::Regex::compile(pattern, &error);
  if (!compiled) {
    const std::string line = debugQuoted(error) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return false;
  }
  return compiled->hasMatch(text);
}

bool isMatchingRegex(const unicode::Regex& pattern, std::string_view text) {
  return pattern.hasMatch(text);
}

bool isEqualTo(std::string_view text, std::string_view other) {
  if (unicode::isAscii(text) && unicode::isAscii(other))
    return equalsIgnoringAsciiCase(text, other);
  return unicode::equalsIgnoringCase(text, other);
}

} // namespace pavenda
