#ifndef PAVENDA_TOOLS_VERDICT_H
#define PAVENDA_TOOLS_VERDICT_H

// The one place a verdict on a payload is formatted, for every command that gives one.

#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <pavenda/Findings.h>

namespace pavenda::tools {

/// How verdicts are written: text lines or one JSON object per payload, each with or without the
/// explanation of its findings.
struct VerdictFormat {
  bool json = false;
  bool explain = false;
};

/// Registers `--json` and `--explain` on `command`, setting `format`.
void addVerdictFormatFlags(CLI::App& command, VerdictFormat& format);

/// Formatted verdicts, ready to be written: `text`, with each long payload still to be echoed at
/// its place in it, so that echoing a long payload never holds a second copy of it.
struct Verdicts {
  /// How a payload is echoed in a verdict.
  enum class Echo { text, json, hex };
  struct Deferred {
    std::size_t at; ///< offset in `text`
    std::string_view payload;
    Echo echo;
  };
  std::string text;
  std::vector<Deferred> deferred;

  void clear() noexcept {
    text.clear();
    deferred.clear();
  }
};

/// Appends the verdict on `payload` to `out` (its line, and with `explain` the lines that explain
/// it, each ended by a newline) and answers whether the payload is valid. Text lines escape the
/// payload so that each stays one line and nothing reaches a terminal raw; JSON echoes it exactly,
/// as "payload" when it is UTF-8 and as "payloadHex" (its bytes) when it is not, since JSON text
/// cannot carry other bytes. `payload` must outlive `out`'s writing.
bool appendVerdict(Verdicts& out, std::string_view payload, const VerdictFormat& format);

/// Adds the explanation's members to a JSON verdict: "findings", "decodeError" (when the payload
/// did not decode), "crc" and "advisories".
void addExplanation(nlohmann::ordered_json& verdict, const Explanation& explanation);

/// Writes `verdicts` to standard output, echoing the deferred payloads in their places, piece by
/// piece; throws the tool's write error when standard output fails.
void writeVerdicts(const Verdicts& verdicts);

} // namespace pavenda::tools

#endif
