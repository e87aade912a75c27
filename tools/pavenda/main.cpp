#include <algorithm>
#include <cstring>
#include <new>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/Version.h>

#include "Commands.h"
#include "Output.h"
#include "Text.h"
#include "ToolError.h"

namespace {

using namespace pavenda::tools;

// Words of the command line that no command took, named in the order given.
std::string unexpected(const std::vector<std::string>& words) {
  std::string message = words.size() == 1 ? "unexpected argument" : "unexpected arguments";
  for (std::size_t i = 0; i < words.size(); ++i)
    message += " '" + escaped(words[i]) + "'";
  return message;
}

// Words of the command line that no command took. CLI11 hands back the first "--" among them,
// although it did end the options (the words after it were taken as arguments): it is no extra.
std::vector<std::string> leftOver(const CLI::App& app, int argc, char** argv) {
  std::vector<std::string> extra = app.remaining(true);
  if (std::find(argv + 1, argv + argc, std::string_view("--")) != argv + argc)
    if (const auto marker = std::find(extra.begin(), extra.end(), "--"); marker != extra.end())
      extra.erase(marker);
  return extra;
}

int run(int argc, char** argv) {
  CLI::App app{"pavenda: encode, decode, validate and generate EMV merchant-presented QR payloads\n"
               "(pavenda COMMAND --help lists a command's options; --help-all lists them all)"};
  app.set_version_flag("--version", std::string(pavenda::version()));
  app.set_help_all_flag("--help-all", "Print the options of every command and exit");
  app.require_subcommand(1);
  // Leftover words are collected, not refused mid-parse, so that messages can name them in order.
  app.allow_extras();
  Runner command;
  addEncodeCommand(app, command);
  addDecodeCommand(app, command);
  addGenerateCommand(app, command);
  addValidateCommand(app, command);
  addCatalogueCommands(app, command);
#ifdef PAVENDA_HAVE_SCAN
  addScanCommand(app, command);
#endif
  for (CLI::App* sub : app.get_subcommands({}))
    sub->allow_extras();

  if (argc < 2)
    throw ToolError("no command given; pavenda --help lists the commands");
  // A first word that is neither an option nor a command is named as an unknown command.
  if (argc > 1 && argv[1][0] != '-' && argv[1][0] != '\0') {
    bool known = false;
    for (const CLI::App* sub : app.get_subcommands({}))
      known = known || sub->get_name() == argv[1];
    if (!known)
      throw ToolError("unknown command '" + escaped(argv[1]) + "'");
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    std::ostringstream out, err;
    app.exit(e, out, err);
    writeStandardOutput(out.str());
    return 0;
  } catch (const CLI::ParseError& e) {
    if (const std::vector<std::string> extra = leftOver(app, argc, argv); !extra.empty())
      throw ToolError(unexpected(extra));
    throw ToolError(escaped(e.what()));
  }
  if (const std::vector<std::string> extra = leftOver(app, argc, argv); !extra.empty())
    throw ToolError(unexpected(extra));
  return command();
}

void report(std::string_view message) noexcept {
  try {
    writeStandardError("pavenda: " + std::string(message) + '\n');
  } catch (...) { // nowhere left to say it; the exit status still does
  }
}

} // namespace

// Everything is caught here: the tool ends with a message and exit status 2, never an abort.
int main(int argc, char** argv) {
  int status = 2;
  try {
    status = run(argc, argv);
  } catch (const ToolError& e) {
    report(e.what());
  } catch (const std::bad_alloc&) {
    report("out of memory");
  } catch (const std::exception& e) {
    report(e.what());
  } catch (...) {
    report("unexpected failure");
  }
  // What was answered before a failure is still written; a write error overrides any status.
  try {
    finishStandardOutput();
  } catch (const ToolError& e) {
    report(e.what());
    status = 2;
  }
  return status;
}
