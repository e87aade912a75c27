#include <iostream>

#include <nlohmann/json.hpp>

#include <pavenda/QRCodeGenerator.h>

#include "Commands.h"
#include "Input.h"

namespace pavenda::tools {
namespace {

struct GenerateOptions {
  std::string path;
  bool json = false;
};

void printFindings(const PavendaResponse &response, bool json) {
  const std::vector<QRError> &errors = *response.qrErrors();
  if (json) {
    nlohmann::ordered_json output;
    output["errorCodes"] = response.qrCodeError()->errorCodes();
    output["errors"] = nlohmann::ordered_json::array();
    for (const QRError &error : errors)
      output["errors"].push_back(
          {{"errorCode", error.errorCode()}, {"errorDescription", error.errorDescription()}});
    std::cout << output.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return;
  }
  for (const QRError &error : errors)
    std::cout << error.errorCode() << '\t' << error.errorDescription() << '\n';
}

} // namespace

void addGenerateCommand(CLI::App &app, int &exitCode) {
  auto *command = app.add_subcommand(
      "generate", "Generate a checked payload from a JSON field dictionary, or list its findings");
  auto options = std::make_shared<GenerateOptions>();
  command->add_option("FILE", options->path, "JSON object of fields (default: standard input)");
  command->add_flag("--json", options->json, "Print one JSON line instead of text");
  command->callback([options, &exitCode] {
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
    exitCode = 0;
  });
}

} // namespace pavenda::tools
