#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include <pavenda/PayMerchantTLV.h>

#include "Commands.h"
#include "Input.h"
#include "Output.h"

namespace pavenda::tools {
namespace {

using Json = nlohmann::ordered_json;

// Every present property by name, in declaration order; the flag always.
Json fieldsOf(const ZArodezPayMerchantTLV& record) {
  Json fields = Json::object();
  fields["isTipAvailable"] = record.isTipAvailable();
#define PAVENDA_TEXT_PROPERTY(name, Name)                                                          \
  if (const auto& value = record.name())                                                           \
    fields[#name] = *value;
#define PAVENDA_MAP_PROPERTY(name, Name)                                                           \
  if (const auto& value = record.name()) {                                                         \
    Json entries = Json::object();                                                                 \
    for (const auto& [key, text] : *value)                                                         \
      entries[key] = text;                                                                         \
    fields[#name] = std::move(entries);                                                            \
  }
#include <pavenda/MerchantTLVProperties.def>
  return fields;
}

// The payload given on standard input: everything read, less one line end (LF, CR LF or CR).
std::string payloadFromStandardInput() {
  std::string text = readAll("");
  if (text.ends_with('\n'))
    text.pop_back();
  if (text.ends_with('\r'))
    text.pop_back();
  return text;
}

} // namespace

void addDecodeCommand(CLI::App& app, Runner& run) {
  auto* command =
      app.add_subcommand("decode", "Decode a payload and print its fields as one line of JSON");
  auto payload = std::make_shared<std::string>();
  auto pretty = std::make_shared<bool>(false);
  auto* option = command->add_option("PAYLOAD", *payload, "The payload (default: standard input)");
  command->add_flag("--pretty", *pretty, "Indent the JSON");
  command->callback([payload, pretty, option, &run] {
    run = [payload, pretty, given = option->count() > 0] {
      const std::string text = given ? *payload : payloadFromStandardInput();
      ZArodezPayMerchantTLV record;
      Json out;
      int status = 0;
      if (const auto error = record.decodeTLV(text)) {
        out["error"] = std::string(toString(*error));
        status = 1;
      } else {
        out["scheme"] = record.payloadFormatIndicator() ? "TLV01" : "TLV00";
        out["fields"] = fieldsOf(record);
      }
      writeStandardOutput(out.dump(*pretty ? 2 : -1, ' ', false, Json::error_handler_t::replace) +
                          '\n');
      return status;
    };
  });
}

} // namespace pavenda::tools
