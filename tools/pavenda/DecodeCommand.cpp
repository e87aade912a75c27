#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include <pavenda/DecodedFields.h>
#include <pavenda/Findings.h>
#include <pavenda/PayMerchantTLV.h>

#include "Commands.h"
#include "Input.h"
#include "Output.h"
#include "ToolError.h"

namespace pavenda::tools {
namespace {

using Json = nlohmann::ordered_json;

// The payload in `input`: everything read, less one line end (LF, CR LF or CR).
std::string_view payloadIn(const InputBytes& input) {
  std::string_view text = input.view();
  if (text.ends_with('\n'))
    text.remove_suffix(1);
  if (text.ends_with('\r'))
    text.remove_suffix(1);
  return text;
}

} // namespace

void addDecodeCommand(CLI::App& app, Runner& run) {
  auto* command = app.add_subcommand(
      "decode", "Decode a payload and print its fields as one line of JSON, with \"crc\" "
                "(\"given\", \"computed\", \"matches\") when it has tag 63");
  auto payload = std::make_shared<std::string>();
  auto pretty = std::make_shared<bool>(false);
  auto* option = command
                     ->add_option("PAYLOAD", *payload,
                                  "The payload (default: standard input), at most " +
                                      std::to_string(maxPayloadBytes) + " bytes")
                     ->check(payloadLimit());
  command->add_flag("--pretty", *pretty, "Indent the JSON");
  command->callback([payload, pretty, option, &run] {
    run = [payload, pretty, given = option->count() > 0] {
      // Standard input is held once, in the block it was read into.
      // Room for the line end that is not part of the payload.
      const InputBytes input =
          given ? InputBytes() : readAll("", maxPayloadBytes + 2, "a payload and its line end");
      const std::string_view text = given ? std::string_view(*payload) : payloadIn(input);
      if (text.size() > maxPayloadBytes)
        throw ToolError(tooLarge("", maxPayloadBytes, "a payload"));
      ZArodezPayMerchantTLV record;
      const int indent = *pretty ? 2 : -1;
      if (const auto error = record.decodeTLV(text)) {
        const Json out = {{"error", std::string(toString(*error))}};
        writeStandardOutput(out.dump(indent) + '\n');
        return 1;
      }
      // A two-digit payload also says whether its CRC matches, so a broken sticker shows at once.
      Json out = Json::parse(decodedFieldsJSON(record));
      const CrcCheck crc = explainPayload(text).crc;
      if (crc.given)
        out["crc"] = {{"given", *crc.given},
                      {"computed", crc.computed ? Json(*crc.computed) : Json(nullptr)},
                      {"matches", crc.matches()}};
      writeStandardOutput(out.dump(indent) + '\n');
      return 0;
    };
  });
}

} // namespace pavenda::tools
