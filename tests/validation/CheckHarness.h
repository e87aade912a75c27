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
  CheckHarness()
      : validator_(ZArodezPayMerchantTLVValidator::sharedValidator()), lock_(validator_.lock()) {
    clear();
  }

  ZArodezPayMerchantTLVValidator &validator() { return validator_; }

  // A driver run on no record is the one way to empty the list.
  void clear() { validator_.validatePayMerchantTLV01(nullptr); }

  Codes codes() const { return validator_.errorCodes(); }

private:
  ZArodezPayMerchantTLVValidator &validator_;
  std::unique_lock<std::mutex> lock_;
};

inline std::string describe(const std::optional<std::string> &value) {
  return value ? "\"" + *value + "\"" : std::string("absent");
}

} // namespace pavenda::testing_support

#endif
