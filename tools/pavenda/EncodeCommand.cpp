#include <pavenda/TLVGenerator.h>

#include "Commands.h"
#include "Input.h"
#include "Output.h"

namespace pavenda::tools {

void addEncodeCommand(CLI::App& app, Runner& run) {
  auto* command = app.add_subcommand(
      "encode", "Encode a JSON field dictionary as a payload, without validating it");
  auto path = std::make_shared<std::string>();
  command->add_option("FILE", *path,
                      "JSON object of fields (default: standard input), at most " +
                          std::to_string(maxDictionaryBytes) + " bytes");
  command->callback([path, &run] {
    run = [path] {
      writeStandardOutput(TLVGenerator::encodeDictToTLV(readDictionary(*path)) + '\n');
      return 0;
    };
  });
}

} // namespace pavenda::tools
