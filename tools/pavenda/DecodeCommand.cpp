#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include <pavenda/DecodedFields.h>
#include <pavenda/PayMerchantTLV.h>

#include "Commands.h"
#include "Input.h"

namespace pavenda::tools {
namespace {

using Json = nlohmann::ordered_json;

// The payload given on standard input: everything read, less one line end.
std::string payloadFromStandardInput() {
  std::string text = readAll("").value_or("");
  if (text.ends_with("\r\n"))
    text.resize(text.size() - 2);
  else if (text.ends_with('\n'))
    text.pop_back();
  return text;
}

} // namespace

void addDecodeCommand(CLI::App& app, int& exitCode) {
  auto* command =
      app.add_subcommand("decode", "Decode a payload and print its fields as one line of JSON");
  auto payload = std::make_shared<std::string>();
  auto pretty = std::make_shared<bool>(false);
  auto* option = command->add_option("PAYLOAD", *payload, "The payload (default: standard input)");
  command->add_flag("--pretty", *pretty, "Indent the JSON");
  command->callback([payload, pretty, option, &exitCode] {
    const std::string text = option->count() > 0 ? *payload : payloadFromStandardInput();
    ZArodezPayMerchantTLV record;
    const int indent = *pretty ? 2 : -1;
    if (const auto error = record.decodeTLV(text)) {
      const Json out = {{"error", std::string(toString(*error))}};
      std::cout << out.dump(indent) << '\n';
      exitCode = 1;
    } else {
      std::cout << decodedFieldsJSON(record, indent) << '\n';
      exitCode = 0;
    }
  });
}

} // namespace pavenda::tools
