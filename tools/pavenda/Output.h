#ifndef PAVENDA_TOOLS_OUTPUT_H
#define PAVENDA_TOOLS_OUTPUT_H

#include <string>
#include <string_view>

namespace pavenda::tools {

/// Appends `text` to the buffered standard output of the tool. Every write to the descriptor is
/// checked: a failure (a full device, a closed pipe with SIGPIPE ignored) throws `ToolError`
/// "write error: REASON" at once, so the run stops at the first lost byte.
void writeStandardOutput(std::string_view text);

/// Writes out what `writeStandardOutput` buffered and closes standard output, checking both; throws
/// `ToolError` as `writeStandardOutput` does. Called once, as the tool ends.
void finishStandardOutput();

/// Writes `text` to standard error, checked; throws `ToolError` when it cannot be written.
void writeStandardError(std::string_view text);

/// Whether standard output is a terminal.
bool standardOutputIsTerminal() noexcept;

/// Whether `path` is "-" or names the file that standard output already is (`/dev/stdout`, or the
/// file it was redirected to): written through standard output, never replaced behind its back.
bool namesStandardOutput(const std::string& path) noexcept;

/// Makes the standard output buffered so far reach its reader now (a pipe's reader waiting for a
/// verdict); throws as `writeStandardOutput` does.
void flushStandardOutput();

/// Puts `content` at `path` without ever losing what was there: standard output when
/// `namesStandardOutput(path)`; a device,
/// FIFO or socket (or a symbolic link to one) is written directly and never removed; a regular file
/// (new, existing, or the target of a symbolic link, which is kept) is written to a temporary file
/// in the same folder and renamed over it only once complete, keeping an existing file's
/// permissions (a hard link to the old file keeps the old content). The data reaches the disk
/// before the rename; the temporary file is removed when the run is interrupted (SIGINT, SIGTERM,
/// SIGHUP). Throws `ToolError` naming the path and the reason on failure, leaving `path` as it was.
void writeOutputFile(const std::string& path, std::string_view content);

} // namespace pavenda::tools

#endif
