#ifndef PAVENDA_TOOLS_COMMANDS_H
#define PAVENDA_TOOLS_COMMANDS_H

// Each subcommand of the pavenda tool registers its options on the app; once the command line has
// been parsed in full (so that no command runs with arguments that will be refused), the chosen
// one's work is in `run`, which answers the exit status: 0 success, 1 findings, 2 usage or input
// errors. Failures that end the run throw `ToolError`.

#include <functional>

#include <CLI/CLI.hpp>

namespace pavenda::tools {

using Runner = std::function<int()>;

/// `encode [FILE]`: the encoder's text of the dictionary, unchecked.
void addEncodeCommand(CLI::App& app, Runner& run);

/// `decode [PAYLOAD] [--pretty]`: the decoded record as JSON (0), or the decoding error (1).
void addDecodeCommand(CLI::App& app, Runner& run);

/// `generate [FILE] [--json] [--qr svg|png|utf8] [-o PATH] [--scale N] [--ecc L|M|Q|H]`.
void addGenerateCommand(CLI::App& app, Runner& run);

/// `validate [PAYLOAD...] [--json] [--explain] [--jobs N]`: one verdict per payload, in input
/// order.
void addValidateCommand(CLI::App& app, Runner& run);

/// `fields [--json]` and `codes [--json]`: the field keys with their tags, the error codes with their
/// messages.
void addCatalogueCommands(CLI::App& app, Runner& run);

/// `scan IMAGE... [--json] [--explain]`: the verdict on every QR code in each picture; a picture
/// that cannot be read or holds no code is reported (status 2) and the others still scanned. Built
/// only with ZXing-cpp (PAVENDA_HAVE_SCAN).
void addScanCommand(CLI::App& app, Runner& run);

} // namespace pavenda::tools

#endif
