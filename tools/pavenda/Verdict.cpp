#include "Verdict.h"

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

// Appends `piece` (whole characters when it is UTF-8) echoed as `echo` says: cut into such pieces,
// a payload echoes to the same bytes as whole.
void appendEcho(std::string& out, std::string_view piece, Echo echo) {
  switch (echo) {
  case Echo::text:
    appendEscaped(out, piece);
    break;
  case Echo::json: {
    const std::string quoted =
        Json(std::string(piece)).dump(-1, ' ', false, Json::error_handler_t::replace);
    out.append(quoted, 1, quoted.size() - 2);
    break;
  }
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
  if (format.json) {
    const bool utf8 = isUtf8(payload);
    const std::string_view key = utf8 ? "payload" : "payloadHex";
    Json verdict;
    verdict[key] = ""; // the payload's place: echoed there below
    verdict["errorCodes"] = codes;
    if (explanation) {
      addExplanation(verdict, *explanation);
    } else {
      Json messages = Json::array();
      for (const std::string& code : codes)
        messages.push_back(ZArodezErrorConstantsMap::message(code).value_or(""));
      verdict["errorMessages"] = std::move(messages);
    }
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
