#ifndef PAVENDA_TOOLS_COMMANDS_H
#define PAVENDA_TOOLS_COMMANDS_H

// Each subcommand of the pavenda tool registers itself on the app and, when it runs, stores the
// process exit status in `exitCode`: 0 success, 1 findings, 2 usage or input errors.

#include <CLI/CLI.hpp>

namespace pavenda::tools {

void addEncodeCommand(CLI::App& app, int& exitCode);

/// `decode [PAYLOAD] [--pretty]`: the decoded record as JSON (0), or the decoding error (1).
void addDecodeCommand(CLI::App& app, int& exitCode);
void addGenerateCommand(CLI::App& app, int& exitCode);
void addValidateCommand(CLI::App& app, int& exitCode);

} // namespace pavenda::tools

#endif
