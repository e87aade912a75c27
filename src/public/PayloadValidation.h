#ifndef PAVENDA_PUBLIC_PAYLOADVALIDATION_H
#define PAVENDA_PUBLIC_PAYLOADVALIDATION_H

#include <string>
#include <string_view>
#include <vector>

#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeError.h>

namespace pavenda::detail {

struct ValidationResult {
  std::vector<std::string> codes;
  std::vector<QRError> errors; // filled only when asked for
};

/// Decodes and validates `payload`, holding the shared validator's lock from the driver's start
/// until the codes (and, with `withErrorObjects`, the error objects) have been copied out.
ValidationResult validatePayload(std::string_view payload, bool withErrorObjects);

/// Validates `record`, decoded from `payload`, the same way.
ValidationResult validateDecoded(const ZArodezPayMerchantTLV& record, std::string_view payload,
                                 bool withErrorObjects);

/// The result of a payload that did not decode: the single code "0" and its error object.
ValidationResult malformed();

} // namespace pavenda::detail

#endif
