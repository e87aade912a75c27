// Writes COUNT payloads, one per line, for the command-line benchmark: the minimal, typical and cjk
// cases in turn, each with its own amount, bill number or postal code, so that no two lines repeat.

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <pavenda/TLVGenerator.h>

#include "Cases.h"

int main(int argc, char** argv) {
  unsigned long count = 0;
  if (argc != 2 ||
      std::from_chars(argv[1], argv[1] + std::char_traits<char>::length(argv[1]), count).ec !=
          std::errc()) {
    std::fprintf(stderr, "usage: pavenda-bench-payloads COUNT\n");
    return 2;
  }
  using namespace pavenda;
  const FieldDictionary templates[] = {bench::minimalCase(), bench::typicalCase(),
                                       bench::cjkCase()};
  std::string line;
  for (unsigned long i = 0; i < count; ++i) {
    FieldDictionary dictionary = templates[i % 3];
    const std::string n = std::to_string(i);
    if (i % 3 == 0) {
      dictionary.set("postalCode", std::to_string(100000 + i % 900000));
    } else {
      dictionary.set("transactionAmount",
                     std::to_string(1 + i % 99999) + "." + n.substr(n.size() - 1) + "0");
      dictionary.set("additionalDataFieldTemplate",
                     FieldDictionary{{"billID", "INV-" + n}, {"terminalID", "T-07"}});
    }
    line = TLVGenerator::encodeDictToTLV(dictionary);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
