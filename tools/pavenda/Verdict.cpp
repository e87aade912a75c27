#include "Verdict.h"

#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include <pavenda/ErrorConstants.h>
#include <pavenda/Findings.h>
#include <pavenda/TLVGenerator.h>

#include "Text.h"

namespace pavenda::tools {
namespace {

using Json = nlohmann::ordered_json;

Json orNull(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
}

// The explanation's members of a JSON verdict.
void addExplanation(Json& verdict, const Explanation& explanation) {
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

} // namespace

bool appendVerdict(std::string& out, std::string_view payload, const VerdictFormat& format) {
  std::optional<Explanation> explanation;
  if (format.explain)
    explanation = explainPayload(payload);
  const std::vector<std::string> codes =
      explanation ? explanation->errorCodes : TLVGenerator::tlvValidation(payload);
  if (format.json) {
    Json verdict;
    if (isUtf8(payload))
      verdict["payload"] = payload;
    else
      verdict["payloadHex"] = toHex(payload);
    verdict["errorCodes"] = codes;
    if (explanation) {
      addExplanation(verdict, *explanation);
    } else {
      Json messages = Json::array();
      for (const std::string& code : codes)
        messages.push_back(ZArodezErrorConstantsMap::message(code).value_or(""));
      verdict["errorMessages"] = std::move(messages);
    }
    out += verdict.dump(-1, ' ', false, Json::error_handler_t::replace);
  } else {
    if (codes.empty())
      out += "valid";
    for (std::size_t i = 0; i < codes.size(); ++i) {
      if (i > 0)
        out += ' ';
      out += codes[i];
    }
    out += '\t';
    appendEscaped(out, payload);
    if (explanation)
      appendExplanationLines(out, *explanation);
  }
  out += '\n';
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
