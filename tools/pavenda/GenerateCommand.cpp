#include <fstream>
#include <iostream>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include <pavenda/QRCodeGenerator.h>

#include "Commands.h"
#include "Input.h"
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

// Draws the payload as asked; answers false (with a line on standard error) when it cannot.
bool render(const std::string& payload, const GenerateOptions& options) {
  const std::optional<qr::Matrix> matrix = qr::encode(payload, *qr::parseEcc(options.ecc));
  if (!matrix) {
    std::cerr << "pavenda: the payload does not fit in a QR code at level " << options.ecc << '\n';
    return false;
  }
  if (options.qr == "png") {
    std::string error;
    if (!qr::writePng(*matrix, options.scale, options.output, &error)) {
      std::cerr << "pavenda: " << options.output << ": " << error << '\n';
      return false;
    }
    return true;
  }
  const std::string picture =
      options.qr == "svg"
          ? qr::toSvg(*matrix)
          : qr::toTerminal(*matrix, options.output.empty() && ::isatty(STDOUT_FILENO) != 0);
  if (options.output.empty()) {
    std::cout << picture;
    return true;
  }
  std::ofstream file(options.output, std::ios::binary);
  file << picture;
  if (!file.flush()) {
    std::cerr << "pavenda: cannot write " << options.output << '\n';
    return false;
  }
  return true;
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
    std::cout << output.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return;
  }
  for (const QRError& error : errors)
    std::cout << error.errorCode() << '\t' << error.errorDescription() << '\n';
}

} // namespace

void addGenerateCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand(
      "generate", "Generate a checked payload from a JSON field dictionary, or list its findings");
  auto options = std::make_shared<GenerateOptions>();
  command->add_option("FILE", options->path, "JSON object of fields (default: standard input)");
  command->add_flag("--json", options->json, "Print one JSON line instead of text");
  command->add_option("--qr", options->qr, "Also draw the payload as a QR code: svg, png or utf8")
      ->check(CLI::IsMember({"svg", "png", "utf8"}));
  command->add_option("-o,--output", options->output,
                      "File for the QR code (required for png; default for svg and utf8: standard "
                      "output)");
  command->add_option("--scale", options->scale, "Pixels per module of a PNG (default 8)")
      ->check(CLI::Range(1, qr::maxPngScale));
  command->add_option("--ecc", options->ecc, "QR error correction level: L, M, Q or H (default M)")
      ->check([](const std::string& level) {
        return qr::parseEcc(level) ? std::string() : "must be L, M, Q or H";
      });
  command->callback([options, &exitCode] {
    if (options->qr == "png" && options->output.empty()) {
      std::cerr << "pavenda: --qr png needs -o FILE\n";
      exitCode = 2;
      return;
    }
    const auto dictionary = readDictionary(options->path);
    if (!dictionary) {
      exitCode = 2;
      return;
    }
    const PavendaResponse response = QRCodeGenerator::generateQRCodeString(*dictionary);
    if (!response.tlvString()) {
      printFindings(response, options->json);
      exitCode = 1;
      return;
    }
    if (options->json)
      std::cout << nlohmann::ordered_json{{"tlvString", *response.tlvString()}}.dump() << '\n';
    else
      std::cout << *response.tlvString() << '\n';
    exitCode = options->qr.empty() || render(*response.tlvString(), *options) ? 0 : 2;
  });
}

} // namespace pavenda::tools
