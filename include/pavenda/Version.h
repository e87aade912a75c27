#ifndef PAVENDA_VERSION_H
#define PAVENDA_VERSION_H

#include <string_view>

namespace pavenda {

/// The library's semantic version, for example "0.1.0".
std::string_view version() noexcept;

} // namespace pavenda

#endif
