#include "Verdict.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include <pavenda/ErrorConstants.h>
#include <pavenda/Findings.h>
#include <pavenda/TLVGenerator.h>

#include "Output.h"
#include "Text.h"

namespace pavenda::tools {
namespace {

using Json = nlohmann::ordered_json;

Json orNull(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
}

} // namespace

void addExplanation(nlohmann::ordered_json& verdict, const Explanation& explanation) {
  Json findings = Json::array();
  for (const Finding& finding : explanation.findings) {
    Json fields = Json::array();
    for (const FindingField& f : finding.fields)
      fields.push_back({{"tag", f.tag},
                        {"subtag", orNull(f.subtag)},
                        {"field", f.field},
                        {"value", orNull(f.value)}});
    // The first field stands for the finding; "fields" names every one it concerns.
    const Json first = fields.empty()
                           ? Json{{"tag", nullptr}, {"field", nullptr}, {"value", nullptr}}
                           : fields.front();
    findings.push_back({{"code", finding.code},
                        {"message", finding.message},
                        {"tag", first["tag"]},
                        {"field", first["field"]},
                        {"value", first["value"]},
                        {"detail", finding.detail},
                        {"fields", std::move(fields)}});
  }
  verdict["findings"] = std::move(findings);
  if (explanation.decodeError)
    verdict["decodeError"] = {{"reason", explanation.decodeError->reason},
                              {"offset", explanation.decodeError->offset}};
  verdict["crc"] = {{"given", orNull(explanation.crc.given)},
                    {"computed", orNull(explanation.crc.computed)}};
  Json advisories = Json::array();
  for (const Advisory& advisory : explanation.advisories)
    advisories.push_back({{"kind", advisory.kind},
                          {"tag", advisory.tag},
                          {"field", advisory.field},
                          {"detail", advisory.detail}});
  verdict["advisories"] = std::move(advisories);
}

namespace {

// One indented line per finding and advisory, escaped like the payload.
void appendExplanationLines(std::string& out, const Explanation& explanation) {
  for (const Finding& finding : explanation.findings) {
    out += "\n  ";
    out += finding.code;
    out += ": ";
    appendEscaped(out, finding.detail);
  }
  for (const Advisory& advisory : explanation.advisories) {
    out += "\n  advisory ";
    out += advisory.kind;
    out += ": ";
    appendEscaped(out, advisory.detail);
  }
}

// Payloads are echoed in pieces of this size at most, so that echoing a long one never holds a
// second copy of it.
constexpr std::size_t echoPiece = std::size_t{1} << 16;

using Echo = Verdicts::Echo;

// Whether none of the eight bytes at `p` is a control (below 0x20), `excluded`, or with `asciiOnly`
// DEL or beyond ASCII; may answer false for such words (a byte loop then decides), never true for
// others.
template <char... excluded> bool plainWord(const char* p, bool asciiOnly) noexcept {
  constexpr std::uint64_t ones = 0x0101010101010101;
  constexpr std::uint64_t highs = ones * 0x80;
  std::uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  const auto hasZero = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
  // A byte below 0x20 becomes one with its high bit set after the subtraction.
  std::uint64_t found = ((word - ones * 0x20) & ~word & highs) |
                        (hasZero(word ^ (ones * static_cast<unsigned char>(excluded))) | ...);
  if (asciiOnly)
    found |= (word & highs) | hasZero(word ^ (ones * 0x7F));
  return found == 0;
}

bool isContinuation(char byte) noexcept {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Appends `text` escaped as `appendEscaped` does, copying whole the runs that it leaves as they are
// for certain: printable ASCII but the backslash, and the three-byte characters U+3000 to U+CFFF
// (kana, CJK ideographs, Hangul), well-formed by their lead byte whenever two continuation bytes
// follow. Anything else goes to `appendEscaped` one character at a time, so its rules stay there.
void appendTextEscaped(std::string& out, std::string_view text) {
  const char* const end = text.data() + text.size();
  const char* p = text.data();
  while (p < end) {
    const char* const run = p;
    while (p < end) {
      if (end - p >= 8 && plainWord<'\\'>(p, true)) {
        p += 8;
        continue;
      }
      const auto byte = static_cast<unsigned char>(*p);
      if (byte >= 0x20 && byte < 0x7F && byte != '\\')
        ++p;
      else if (byte >= 0xE3 && byte <= 0xEC && end - p >= 3 && isContinuation(p[1]) &&
               isContinuation(p[2]))
        p += 3;
      else
        break;
    }
    out.append(run, p);
    if (p == end)
      break;
    // Cut before the next lead or ASCII byte: the character escapes there as within the whole.
    const char* next = p + 1;
    while (next < end && isContinuation(*next))
      ++next;
    appendEscaped(out, std::string_view(p, static_cast<std::size_t>(next - p)));
    p = next;
  }
}

// Appends well-formed UTF-8 `text` as the inside of a JSON string, escaped as nlohmann-json writes
// it (quote, backslash, \b \f \n \r \t, other controls as \u00xx; the rest as is), so that a
// verdict line reads back as exactly `text`. Runs that need no escape are copied whole.
void appendJsonEscaped(std::string& out, std::string_view text) {
  static constexpr std::string_view hex = "0123456789abcdef";
  const char* const end = text.data() + text.size();
  const char* copied = text.data();
  const char* p = copied;
  while (true) {
    while (end - p >= 8 && plainWord<'"', '\\'>(p, false))
      p += 8;
    while (p < end && static_cast<unsigned char>(*p) >= 0x20 && *p != '"' && *p != '\\')
      ++p;
    if (p == end)
      break;
    out.append(copied, p);
    const auto byte = static_cast<unsigned char>(*p++);
    copied = p;
    out += '\\';
    switch (byte) {
    case '"':
    case '\\':
      out += static_cast<char>(byte);
      break;
    case '\b':
      out += 'b';
      break;
    case '\f':
      out += 'f';
      break;
    case '\n':
      out += 'n';
      break;
    case '\r':
      out += 'r';
      break;
    case '\t':
      out += 't';
      break;
    default:
      out += "u00";
      out += hex[byte >> 4];
      out += hex[byte & 0xF];
    }
  }
  out.append(copied, end);
}

// Appends `codes` as a JSON array of strings.
void appendJsonList(std::string& out, const std::vector<std::string>& codes) {
  out += '[';
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (i > 0)
      out += ',';
    out += '"';
    appendJsonEscaped(out, codes[i]);
    out += '"';
  }
  out += ']';
}

// Appends `piece` (whole characters when it is UTF-8) echoed as `echo` says: cut into such pieces,
// a payload echoes to the same bytes as whole.
void appendEcho(std::string& out, std::string_view piece, Echo echo) {
  switch (echo) {
  case Echo::text:
    appendTextEscaped(out, piece);
    break;
  case Echo::json:
    appendJsonEscaped(out, piece);
    break;
  case Echo::hex:
    out += toHex(piece);
    break;
  }
}

void echo(Verdicts& out, std::string_view payload, Echo how) {
  if (payload.size() <= echoPiece)
    appendEcho(out.text, payload, how);
  else
    out.deferred.push_back({out.text.size(), payload, how});
}

} // namespace

void writeVerdicts(const Verdicts& verdicts) {
  const std::string_view text = verdicts.text;
  std::size_t written = 0;
  std::string piece;
  for (const Verdicts::Deferred& deferred : verdicts.deferred) {
    writeStandardOutput(text.substr(written, deferred.at - written));
    written = deferred.at;
    for (std::string_view rest = deferred.payload; !rest.empty();) {
      const std::size_t length = pieceLength(rest, echoPiece);
      piece.clear();
      appendEcho(piece, rest.substr(0, length), deferred.echo);
      writeStandardOutput(piece);
      rest.remove_prefix(length);
    }
  }
  writeStandardOutput(text.substr(written));
}

bool appendVerdict(Verdicts& out, std::string_view payload, const VerdictFormat& format) {
  std::optional<Explanation> explanation;
  if (format.explain)
    explanation = explainPayload(payload);
  const std::vector<std::string> codes =
      explanation ? explanation->errorCodes : TLVGenerator::tlvValidation(payload);
  if (format.json && !explanation) {
    // The plain verdict has a fixed shape: written directly, at a fraction of a general
    // serializer's cost per line.
    const bool utf8 = isUtf8(payload);
    out.text += utf8 ? "{\"payload\":\"" : "{\"payloadHex\":\"";
    echo(out, payload, utf8 ? Echo::json : Echo::hex);
    out.text += "\",\"errorCodes\":";
    appendJsonList(out.text, codes);
    out.text += ",\"errorMessages\":[";
    for (std::size_t i = 0; i < codes.size(); ++i) {
      if (i > 0)
        out.text += ',';
      out.text += '"';
      appendJsonEscaped(out.text, ZArodezErrorConstantsMap::message(codes[i]).value_or(""));
      out.text += '"';
    }
    out.text += "]}";
  } else if (format.json) {
    const bool utf8 = isUtf8(payload);
    const std::string_view key = utf8 ? "payload" : "payloadHex";
    Json verdict;
    verdict[key] = ""; // the payload's place: echoed there below
    verdict["errorCodes"] = codes;
    addExplanation(verdict, *explanation);
    const std::string dumped = verdict.dump(-1, ' ', false, Json::error_handler_t::replace);
    const std::size_t at = key.size() + 5; // after {"KEY":"
    out.text.append(dumped, 0, at);
    echo(out, payload, utf8 ? Echo::json : Echo::hex);
    out.text.append(dumped, at);
  } else {
    if (codes.empty())
      out.text += "valid";
    for (std::size_t i = 0; i < codes.size(); ++i) {
      if (i > 0)
        out.text += ' ';
      out.text += codes[i];
    }
    out.text += '\t';
    echo(out, payload, Echo::text);
    if (explanation)
      appendExplanationLines(out.text, *explanation);
  }
  out.text += '\n';
  return codes.empty();
}

void addVerdictFormatFlags(CLI::App& command, VerdictFormat& format) {
  command.add_flag("--json", format.json,
                   "One JSON object per payload: \"payload\" (or \"payloadHex\", its bytes, when "
                   "it is not UTF-8), \"errorCodes\" and \"errorMessages\"");
  command.add_flag(
      "--explain", format.explain,
      "Under each verdict, one indented line per finding (which field broke which "
      "rule) and per advisory; with --json: \"findings\", \"decodeError\", \"crc\" and "
      "\"advisories\" in place of \"errorMessages\"");
}

} // namespace pavenda::tools
