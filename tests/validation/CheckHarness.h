#ifndef PAVENDA_TESTS_VALIDATION_CHECKHARNESS_H
#define PAVENDA_TESTS_VALIDATION_CHECKHARNESS_H

// Runs checks on a code list of the test's own: no shared state, no lock.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <pavenda/PayMerchantTLV.h>

#include "validation/Checks.h"

namespace pavenda::testing_support {

using Codes = std::vector<std::string>;

class CheckHarness {
public:
  validation::CodeList list;

  Codes codes() const { return list.texts(); }

  /// Runs a check that reads the whole record on a view of `record`.
  template <typename Check> void onRecord(Check check, const ZArodezPayMerchantTLV& record) {
    const validation::RecordView view(record);
    check(list, view);
  }
};

inline validation::Text textOf(const std::optional<std::string>& value) {
  return value ? validation::Text(*value) : std::nullopt;
}

// One value and the codes a check must raise for it.
struct CodeCase {
  const char* name;
  std::optional<std::string> value;
  Codes expected;
};

inline void PrintTo(const CodeCase& c, std::ostream* os) {
  *os << c.name;
}

} // namespace pavenda::testing_support

#endif
