#ifndef PAVENDA_VERSION_H
#define PAVENDA_VERSION_H

#include <string_view>

namespace pavenda {

/// The library's semantic version, MAJOR.MINOR.PATCH in decimal digits (for example "0.1.0"); the
/// same text for every call, never empty, valid for the whole life of the process, safe from any
/// thread.
std::string_view version() noexcept;

} // namespace pavenda

#endif
