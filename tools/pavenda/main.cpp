#include <iostream>

#include <pavenda/Version.h>

#include "Commands.h"

int main(int argc, char** argv) {
  CLI::App app{"pavenda: encode, decode, validate and generate EMV merchant-presented QR payloads"};
  app.set_version_flag("--version", std::string(pavenda::version()));
  app.require_subcommand(1);
  int exitCode = 0;
  pavenda::tools::addEncodeCommand(app, exitCode);
  pavenda::tools::addDecodeCommand(app, exitCode);
  pavenda::tools::addGenerateCommand(app, exitCode);
  pavenda::tools::addValidateCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : 2;
  }
  return exitCode;
}
