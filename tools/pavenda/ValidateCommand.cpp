#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <pavenda/TLVGenerator.h>

#include "Commands.h"

namespace pavenda::tools {
namespace {

struct ValidateOptions {
  std::vector<std::string> payloads;
  bool json = false;
};

// Buffered output through stdio: a million payloads a second leave no room for a flush per line.
class Output {
public:
  Output() { std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16); }
  void write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }
  ~Output() { std::fflush(stdout); }
};

// Prints the verdict on one payload; answers whether it was valid.
bool report(Output& out, std::string_view payload, bool json, std::string& line) {
  const std::vector<std::string> codes = TLVGenerator::tlvValidation(payload);
  line.clear();
  if (json) {
    nlohmann::ordered_json verdict{{"payload", payload}, {"errorCodes", codes}};
    line = verdict.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  } else {
    if (codes.empty())
      line = "valid";
    for (std::size_t i = 0; i < codes.size(); ++i) {
      if (i > 0)
        line += ' ';
      line += codes[i];
    }
    line += '\t';
    line += payload;
  }
  line += '\n';
  out.write(line);
  return codes.empty();
}

} // namespace

void addValidateCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand(
      "validate", "Validate payloads given as arguments, or one per line of standard input");
  auto options = std::make_shared<ValidateOptions>();
  command->add_option("PAYLOAD", options->payloads,
                      "Payload texts (default: lines of standard input)");
  command->add_flag("--json", options->json, "Print one JSON object per payload");
  command->callback([options, &exitCode] {
    Output out;
    std::string line;
    bool allValid = true;
    if (!options->payloads.empty()) {
      for (const std::string& payload : options->payloads)
        allValid = report(out, payload, options->json, line) && allValid;
    } else {
      // Streams: one line at a time, so memory stays flat however long the input is.
      char* buffer = nullptr;
      std::size_t capacity = 0;
      ssize_t read = 0;
      while ((read = ::getline(&buffer, &capacity, stdin)) >= 0) {
        std::string_view payload(buffer, static_cast<std::size_t>(read));
        if (payload.ends_with('\n'))
          payload.remove_suffix(payload.ends_with("\r\n") ? 2 : 1);
        allValid = report(out, payload, options->json, line) && allValid;
      }
      std::free(buffer);
    }
    exitCode = allValid ? 0 : 1;
  });
}

} // namespace pavenda::tools
