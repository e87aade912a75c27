#include <nlohmann/json.hpp>

#include <pavenda/ErrorConstants.h>
#include <pavenda/Findings.h>
#include <pavenda/TLVGenerator.h>

#include "Commands.h"
#include "Input.h"
#include "Output.h"
#include "Text.h"
#include "ToolError.h"
#include "Verdict.h"
#include "qr/QrRenderer.h"

namespace pavenda::tools {
namespace {

struct GenerateOptions {
  std::string path;
  bool json = false;
  std::string qr;
  std::string output;
  int scale = 8;
  std::string ecc = "M";
  bool explain = false;
  bool strict = false;
};

using Json = nlohmann::ordered_json;

// The payload drawn as asked, as the bytes of the picture.
std::string render(const std::string& payload, const GenerateOptions& options, bool toTerminal) {
  const std::optional<qr::Matrix> matrix = qr::encode(payload, *qr::parseEcc(options.ecc));
  if (!matrix)
    throw ToolError("the payload does not fit in a QR code at level " + options.ecc);
  if (options.qr == "svg")
    return qr::toSvg(*matrix);
  if (options.qr == "utf8")
    return qr::toTerminal(*matrix, toTerminal);
  std::string error;
  std::optional<std::string> png = qr::toPng(*matrix, options.scale, &error);
  if (!png)
    throw ToolError("cannot draw the PNG: " + error);
  return std::move(*png);
}

// What a generation answered and what a reader of its payload would meet.
struct Outcome {
  ExplainedResponse generated;
  std::optional<Explanation> explanation; // with --explain
  bool refusedAsStrict = false;           // advisories under --strict: nothing is handed out
};

ErrorCorrection levelOf(const std::string& ecc) {
  switch (*qr::parseEcc(ecc)) {
  case qr::Ecc::L:
    return ErrorCorrection::L;
  case qr::Ecc::M:
    return ErrorCorrection::M;
  case qr::Ecc::Q:
    return ErrorCorrection::Q;
  case qr::Ecc::H:
    return ErrorCorrection::H;
  }
  return ErrorCorrection::M;
}

// The explanation of the generation's answer. Generation refuses with "0" a payload that a reader
// would split otherwise than it was written, which validating the text alone cannot see: that
// code is explained as such.
Explanation explainGeneration(const FieldDictionary& dictionary, const ExplainedResponse& generated,
                              ErrorCorrection level) {
  Explanation explanation = explainPayload(TLVGenerator::encodeDictToTLV(dictionary), level);
  const std::vector<std::string> codes = generated.response.qrCodeError()
                                             ? generated.response.qrCodeError()->errorCodes()
                                             : std::vector<std::string>{};
  if (explanation.errorCodes != codes) {
    const std::string code(ZArodezErrorConstants::malformedTags);
    explanation.errorCodes = codes;
    explanation.findings = {
        Finding{code,
                std::string(ZArodezErrorConstantsMap::message(code).value_or("")),
                {},
                "the fields make a payload that a reader splits otherwise "
                "than it was written, so it would read other fields"}};
  }
  explanation.advisories = generated.advisories;
  return explanation;
}

Json advisoriesJson(const std::vector<Advisory>& advisories) {
  Json out = Json::array();
  for (const Advisory& advisory : advisories)
    out.push_back({{"kind", advisory.kind},
                   {"tag", advisory.tag},
                   {"field", advisory.field},
                   {"detail", advisory.detail}});
  return out;
}

// The one JSON line of a generation: the payload or the codes, and what a reader would meet.
std::string jsonLine(const Outcome& outcome) {
  const PavendaResponse& response = outcome.generated.response;
  Json output;
  if (response.tlvString() && !outcome.refusedAsStrict) {
    output["tlvString"] = *response.tlvString();
  } else {
    output["errorCodes"] =
        response.qrCodeError() ? response.qrCodeError()->errorCodes() : std::vector<std::string>{};
    output["errors"] = Json::array();
    if (response.qrErrors())
      for (const QRError& error : *response.qrErrors())
        output["errors"].push_back(
            {{"errorCode", error.errorCode()}, {"errorDescription", error.errorDescription()}});
  }
  if (outcome.explanation)
    addExplanation(output, *outcome.explanation);
  else
    output["advisories"] = advisoriesJson(outcome.generated.advisories);
  return output.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
}

// One line per code with its message, and with --explain the line that says why under each.
std::string findingLines(const Outcome& outcome) {
  std::string out;
  const std::vector<QRError>& errors = *outcome.generated.response.qrErrors();
  for (std::size_t i = 0; i < errors.size(); ++i) {
    out += errors[i].errorCode() + '\t' + errors[i].errorDescription() + '\n';
    if (outcome.explanation && i < outcome.explanation->findings.size()) {
      out += "  " + errors[i].errorCode() + ": ";
      appendEscaped(out, outcome.explanation->findings[i].detail);
      out += '\n';
    }
  }
  return out;
}

// The advisories for standard error, one line each, escaped like every text line.
std::string advisoryLines(const std::vector<Advisory>& advisories) {
  std::string out;
  for (const Advisory& advisory : advisories) {
    out += "advisory " + advisory.kind + ": ";
    appendEscaped(out, advisory.detail);
    out += '\n';
  }
  return out;
}

// Writes the payload (escaped in text, exact in JSON and in a file) and the picture.
void handOut(const GenerateOptions& options, const Outcome& outcome) {
  const std::string& payload = *outcome.generated.response.tlvString();
  const std::string line = options.json ? jsonLine(outcome) : escaped(payload) + '\n';
  const bool toStandardOutput = options.output.empty() || namesStandardOutput(options.output);
  if (options.qr.empty()) {
    if (options.output.empty())
      writeStandardOutput(line);
    else // a file holds the payload exactly, as a scanner would read it
      writeOutputFile(options.output, options.json ? line : payload + '\n');
    return;
  }
  const std::string picture =
      render(payload, options, toStandardOutput && standardOutputIsTerminal());
  // Standard output holds one thing only: the picture when it goes there, else the payload.
  if (toStandardOutput) {
    writeStandardOutput(picture);
    writeStandardError(line);
  } else {
    writeOutputFile(options.output, picture);
    writeStandardOutput(line);
  }
}

int generate(const GenerateOptions& options) {
  const bool toStandardOutput = options.output.empty() || namesStandardOutput(options.output);
  if (options.qr == "png" && options.output.empty())
    throw ToolError("--qr png needs -o FILE (or -o - for standard output)");
  if (options.qr == "png" && toStandardOutput && standardOutputIsTerminal())
    throw ToolError("refusing to write a PNG to a terminal; use -o FILE");
  const FieldDictionary dictionary = readDictionary(options.path);
  if (dictionary.contains("crc") || dictionary.contains("63"))
    writeStandardError("pavenda: crc: the given value is ignored; the CRC is computed\n");
  const ErrorCorrection level = levelOf(options.ecc);
  Outcome outcome{generateQRCodeStringExplained(dictionary, level), std::nullopt, false};
  if (options.explain)
    outcome.explanation = explainGeneration(dictionary, outcome.generated, level);
  const bool valid = outcome.generated.response.tlvString().has_value();
  outcome.refusedAsStrict = valid && options.strict && !outcome.generated.advisories.empty();
  if (!options.json)
    writeStandardError(advisoryLines(outcome.generated.advisories));
  if (valid && !outcome.refusedAsStrict) {
    handOut(options, outcome);
    return 0;
  }
  if (options.json)
    writeStandardOutput(jsonLine(outcome));
  else if (valid)
    writeStandardError("pavenda: no payload: --strict refuses a payload with advisories\n");
  else
    writeStandardOutput(findingLines(outcome));
  return 1;
}

} // namespace

void addGenerateCommand(CLI::App& app, Runner& run) {
  auto* command = app.add_subcommand(
      "generate", "Generate a checked payload from a JSON field dictionary, or list its findings");
  auto options = std::make_shared<GenerateOptions>();
  command->add_option("FILE", options->path,
                      "JSON object of fields (default: standard input), at most " +
                          std::to_string(maxDictionaryBytes) + " bytes");
  command->add_flag("--json", options->json,
                    "Print one JSON line instead of text: \"tlvString\" or \"errorCodes\" and "
                    "\"errors\", with \"advisories\"");
  command->add_flag("--explain", options->explain,
                    "Under each finding, the line that says which field broke which rule; with "
                    "--json: \"findings\", \"decodeError\", \"crc\" and \"advisories\" as "
                    "validate --explain gives them");
  command->add_flag("--strict", options->strict,
                    "Treat advisories as findings: exit 1 with no payload and no picture when a "
                    "reader would trip on the payload");
  auto* qrOption =
      command
          ->add_option(
              "--qr", options->qr,
              "Draw the payload as a QR code: svg, png or utf8 (standard output then holds "
              "the picture alone and the payload goes to standard error)")
          ->check(CLI::IsMember({"svg", "png", "utf8"}));
  command->add_option("-o,--output", options->output,
                      "Write the QR code (with --qr) or else the payload to this file, replaced "
                      "only once complete; - is standard output (png needs -o)");
  command->add_option("--scale", options->scale, "Pixels per module of a PNG (default 8)")
      ->check(CLI::Range(1, qr::maxPngScale))
      ->needs(qrOption);
  command->add_option("--ecc", options->ecc, "QR error correction level: L, M, Q or H (default M)")
      ->check([](const std::string& level) {
        return qr::parseEcc(level) ? std::string() : "must be L, M, Q or H";
      });
  command->callback([options, &run] { run = [options] { return generate(*options); }; });
}

} // namespace pavenda::tools
