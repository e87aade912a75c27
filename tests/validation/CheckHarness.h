#ifndef PAVENDA_TESTS_VALIDATION_CHECKHARNESS_H
#define PAVENDA_TESTS_VALIDATION_CHECKHARNESS_H

// Runs validator operations on the shared validator, holding its lock, from an empty code list.

#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "validation/Validator.h"

namespace pavenda::testing_support {

using Codes = std::vector<std::string>;

class CheckHarness {
public:
  CheckHarness() : lock_(validator().lock()) { validator().validatePayMerchantTLV01(nullptr); }

  static ZArodezPayMerchantTLVValidator& validator() {
    return ZArodezPayMerchantTLVValidator::sharedValidator();
  }

  Codes codes() const { return validator().errorCodes(); }

private:
  std::unique_lock<std::mutex> lock_;
};

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
