#ifndef PAVENDA_TOOLS_INPUT_H
#define PAVENDA_TOOLS_INPUT_H

#include <optional>
#include <string>

#include <pavenda/FieldDictionary.h>

namespace pavenda::tools {

/// The whole of `path`, or of standard input when `path` is empty or "-"; nothing (with a line on
/// standard error) when the file cannot be read.
std::optional<std::string> readAll(const std::string& path);

/// The field dictionary in `path` (or standard input); nothing, with one line on standard error
/// naming the problem, when it cannot be read or is not a JSON object.
std::optional<FieldDictionary> readDictionary(const std::string& path);

} // namespace pavenda::tools

#endif
