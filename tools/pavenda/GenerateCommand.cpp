#include <nlohmann/json.hpp>

#include <pavenda/QRCodeGenerator.h>

#include "Commands.h"
#include "Input.h"
#include "Output.h"
#include "ToolError.h"
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
};

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

void printFindings(const PavendaResponse& response, bool json) {
  const std::vector<QRError>& errors = *response.qrErrors();
  if (json) {
    nlohmann::ordered_json output;
    output["errorCodes"] = response.qrCodeError()->errorCodes();
    output["errors"] = nlohmann::ordered_json::array();
    for (const QRError& error : errors)
      output["errors"].push_back(
          {{"errorCode", error.errorCode()}, {"errorDescription", error.errorDescription()}});
    writeStandardOutput(output.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
                        '\n');
    return;
  }
  for (const QRError& error : errors)
    writeStandardOutput(error.errorCode() + '\t' + error.errorDescription() + '\n');
}

int generate(const GenerateOptions& options) {
  const bool toStandardOutput = options.output.empty() || options.output == "-";
  if (options.qr == "png" && options.output.empty())
    throw ToolError("--qr png needs -o FILE (or -o - for standard output)");
  if (options.qr == "png" && toStandardOutput && standardOutputIsTerminal())
    throw ToolError("refusing to write a PNG to a terminal; use -o FILE");
  const PavendaResponse response =
      QRCodeGenerator::generateQRCodeString(readDictionary(options.path));
  if (!response.tlvString()) {
    printFindings(response, options.json);
    return 1;
  }
  const std::string& payload = *response.tlvString();
  const std::string line =
      (options.json ? nlohmann::ordered_json{{"tlvString", payload}}.dump() : payload) + '\n';
  if (options.qr.empty()) {
    if (options.output.empty())
      writeStandardOutput(line);
    else
      writeOutputFile(options.output, line);
    return 0;
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
  return 0;
}

} // namespace

void addGenerateCommand(CLI::App& app, Runner& run) {
  auto* command = app.add_subcommand(
      "generate", "Generate a checked payload from a JSON field dictionary, or list its findings");
  auto options = std::make_shared<GenerateOptions>();
  command->add_option("FILE", options->path,
                      "JSON object of fields (default: standard input), at most " +
                          std::to_string(maxDictionaryBytes) + " bytes");
  command->add_flag("--json", options->json, "Print one JSON line instead of text");
  command
      ->add_option("--qr", options->qr,
                   "Draw the payload as a QR code: svg, png or utf8 (standard output then holds "
                   "the picture alone and the payload goes to standard error)")
      ->check(CLI::IsMember({"svg", "png", "utf8"}));
  command->add_option("-o,--output", options->output,
                      "Write the QR code (with --qr) or else the payload to this file, replaced "
                      "only once complete; - is standard output (png needs -o)");
  command->add_option("--scale", options->scale, "Pixels per module of a PNG (default 8)")
      ->check(CLI::Range(1, qr::maxPngScale));
  command->add_option("--ecc", options->ecc, "QR error correction level: L, M, Q or H (default M)")
      ->check([](const std::string& level) {
        return qr::parseEcc(level) ? std::string() : "must be L, M, Q or H";
      });
  command->callback([options, &run] { run = [options] { return generate(*options); }; });
}

} // namespace pavenda::tools
