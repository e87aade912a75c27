#include <iostream>

#include <pavenda/TLVGenerator.h>

#include "Commands.h"
#include "Input.h"

namespace pavenda::tools {

void addEncodeCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand(
      "encode", "Encode a JSON field dictionary as a payload, without validating it");
  auto path = std::make_shared<std::string>();
  command->add_option("FILE", *path, "JSON object of fields (default: standard input)");
  command->callback([path, &exitCode] {
    const auto dictionary = readDictionary(*path);
    if (!dictionary) {
      exitCode = 2;
      return;
    }
    std::cout << TLVGenerator::encodeDictToTLV(*dictionary) << '\n';
    exitCode = 0;
  });
}

} // namespace pavenda::tools
