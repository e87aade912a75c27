#ifndef PAVENDA_SUPPORT_ERRORCATALOGUE_H
#define PAVENDA_SUPPORT_ERRORCATALOGUE_H

#include <span>
#include <string_view>

namespace pavenda {

/// One entry of the error catalogue. Both views refer to NUL-terminated static texts.
struct ErrorCatalogueEntry {
  std::string_view code;
  std::string_view message;
};

/// The 52 catalogue entries, in numeric order of their codes; static, never changed.
std::span<const ErrorCatalogueEntry> errorCatalogue() noexcept;

} // namespace pavenda

#endif
