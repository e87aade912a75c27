// Fuzz target: the explanation of arbitrary bytes agrees with validation and with the payload.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ExplainInvariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view payload(reinterpret_cast<const char*>(data), size);
  for (const std::string& violation : pavenda::invariants::ofExplanation(payload)) {
    std::fprintf(stderr, "broken: %s\n", violation.c_str());
    std::abort();
  }
  return 0;
}
