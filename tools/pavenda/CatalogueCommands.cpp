#include <string>

#include <nlohmann/json.hpp>

#include <pavenda/pavenda_c.h>

#include "Commands.h"
#include "Output.h"
#include "Text.h"

// The field keys and the error codes, as the library lists them for a user interface.

namespace pavenda::tools {
namespace {

// One line "FIRST\tSECOND" per entry (the second escaped), or with `json` one array of objects
// with the members `firstName` and `secondName`.
template <typename Entry>
int list(std::size_t count, Entry entry, bool json, const char* firstName, const char* secondName) {
  nlohmann::ordered_json entries = nlohmann::ordered_json::array();
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    const auto [first, second] = entry(i);
    if (json) {
      entries.push_back({{firstName, first}, {secondName, second}});
    } else {
      text += first;
      text += '\t';
      appendEscaped(text, second);
      text += '\n';
    }
  }
  writeStandardOutput(json ? entries.dump() + '\n' : text);
  return 0;
}

std::pair<std::string, std::string> field(std::size_t index) {
  return {pavenda_field_tag(index), pavenda_field_key(index)};
}

std::pair<std::string, std::string> code(std::size_t index) {
  return {pavenda_error_catalogue_code(index), pavenda_error_catalogue_message(index)};
}

} // namespace

void addCatalogueCommands(CLI::App& app, Runner& run) {
  auto* fields = app.add_subcommand(
      "fields", "List the field keys with their tags (four digits for a sub-field of tag 62)");
  auto fieldsJson = std::make_shared<bool>(false);
  fields->add_flag("--json", *fieldsJson, "One JSON array of {\"tag\", \"key\"} objects");
  fields->callback([fieldsJson, &run] {
    run = [fieldsJson] { return list(pavenda_field_count(), field, *fieldsJson, "tag", "key"); };
  });
  auto* codes = app.add_subcommand("codes", "List the error codes with their messages");
  auto codesJson = std::make_shared<bool>(false);
  codes->add_flag("--json", *codesJson, "One JSON array of {\"code\", \"message\"} objects");
  codes->callback([codesJson, &run] {
    run = [codesJson] {
      return list(pavenda_error_catalogue_count(), code, *codesJson, "code", "message");
    };
  });
}

} // namespace pavenda::tools
