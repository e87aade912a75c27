#ifndef PAVENDA_TOOLS_TOOLERROR_H
#define PAVENDA_TOOLS_TOOLERROR_H

#include <stdexcept>
#include <string>

namespace pavenda::tools {

/// A failure that ends the run with exit status 2: `main` prints "pavenda: " and the message.
/// Used only inside the tool, where unwinding to `main` is the one way every command stops alike.
class ToolError : public std::runtime_error {
public:
  explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace pavenda::tools

#endif
