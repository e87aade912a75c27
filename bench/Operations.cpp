// Runs one operation on one case a given number of times, for instruction counting under
// callgrind (bench/instructions.sh), and prints the heap allocations per operation.
//
//   pavenda-bench-ops OPERATION CASE COUNT
//   OPERATION: encode, decode, validate or generate; CASE: a name from Cases.h

#include <charconv>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>

#include "AllocationCounter.h"
#include "Cases.h"

namespace {

using namespace pavenda;

int usage(const char* reason) {
  std::fprintf(stderr,
               "pavenda-bench-ops: %s\nusage: pavenda-bench-ops encode|decode|validate|generate "
               "minimal|typical|cjk|long COUNT\n",
               reason);
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 4)
    return usage("expected three arguments");
  const std::string_view operation = argv[1], caseName = argv[2], countText = argv[3];
  const bench::Case* chosen = nullptr;
  for (const bench::Case& c : bench::cases)
    if (c.name == caseName)
      chosen = &c;
  if (chosen == nullptr)
    return usage("unknown case");
  std::size_t count = 0;
  const auto [end, error] = std::from_chars(countText.begin(), countText.end(), count);
  if (error != std::errc() || end != countText.end() || count == 0)
    return usage("COUNT must be a whole number above 0");

  const FieldDictionary dictionary = chosen->make();
  const PavendaResponse generated = QRCodeGenerator::generateQRCodeString(dictionary);
  if (!generated.tlvString())
    return usage("the case does not generate");
  const std::string payload = *generated.tlvString();

  std::function<bool()> run;
  if (operation == "encode")
    run = [&] { return !TLVGenerator::encodeDictToTLV(dictionary).empty(); };
  else if (operation == "decode")
    run = [&] { return !ZArodezPayMerchantTLV().decodeTLV(payload); };
  else if (operation == "validate")
    run = [&] { return TLVGenerator::tlvValidation(payload).empty(); };
  else if (operation == "generate")
    run = [&] { return QRCodeGenerator::generateQRCodeString(dictionary).tlvString().has_value(); };
  else
    return usage("unknown operation");

  // Every run must succeed, or the count would measure a failure path.
  const std::size_t before = bench::allocationCount();
  for (std::size_t i = 0; i < count; ++i)
    if (!run()) {
      std::fprintf(stderr, "pavenda-bench-ops: %.*s of %.*s failed\n",
                   static_cast<int>(operation.size()), operation.data(),
                   static_cast<int>(caseName.size()), caseName.data());
      return 1;
    }
  const double perCall =
      static_cast<double>(bench::allocationCount() - before) / static_cast<double>(count);
  std::printf("allocations per call: %.2f\n", perCall);
  return 0;
}
