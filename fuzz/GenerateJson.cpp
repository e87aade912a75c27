// Fuzz target: generation from arbitrary JSON text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "Invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view json(reinterpret_cast<const char*>(data), size);
  for (const std::string& violation : pavenda::invariants::ofJSON(json)) {
    std::fprintf(stderr, "broken: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}
