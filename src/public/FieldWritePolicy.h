#ifndef PAVENDA_PUBLIC_FIELDWRITEPOLICY_H
#define PAVENDA_PUBLIC_FIELDWRITEPOLICY_H

// The key paths of field refusals, shared by the JSON reader and the write policy.

#include <string>
#include <string_view>

namespace pavenda::detail {

/// A key as it may appear in a one-line message: control bytes escaped, long keys cut short, the
/// empty key as "".
std::string printable(std::string_view key);

/// The path of `key` in the map under `parent` ("" at the top), as messages name it.
std::string pathOf(std::string_view parent, std::string_view key);

} // namespace pavenda::detail

#endif
