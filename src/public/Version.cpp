#include <pavenda/Version.h>

namespace pavenda {

std::string_view version() noexcept {
  return PAVENDA_VERSION;
}

} // namespace pavenda
