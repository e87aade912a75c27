#ifndef PAVENDA_TOOLS_VERDICT_H
#define PAVENDA_TOOLS_VERDICT_H

// The one place a verdict on a payload is formatted, for every command that gives one.

#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

namespace pavenda::tools {

/// How verdicts are written: text lines or one JSON object per payload, each with or without the
/// explanation of its findings.
struct VerdictFormat {
  bool json = false;
  bool explain = false;
};

/// Registers `--json` and `--explain` on `command`, setting `format`.
void addVerdictFormatFlags(CLI::App& command, VerdictFormat& format);

/// Appends the verdict on `payload` to `out` (its line, and with `explain` the lines that explain
/// it, each ended by a newline) and answers whether the payload is valid. Text lines escape the
/// payload so that each stays one line and nothing reaches a terminal raw; JSON echoes it exactly,
/// as "payload" when it is UTF-8 and as "payloadHex" (its bytes) when it is not, since JSON text
/// cannot carry other bytes.
bool appendVerdict(std::string& out, std::string_view payload, const VerdictFormat& format);

} // namespace pavenda::tools

#endif
