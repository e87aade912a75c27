// Fuzz target: the round trip of a payload through decoding and generation.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "BoundaryInvariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& violation : pavenda::invariants::ofRoundTrip(text)) {
    std::fprintf(stderr, "broken: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}
