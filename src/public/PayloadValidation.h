#ifndef PAVENDA_PUBLIC_PAYLOADVALIDATION_H
#define PAVENDA_PUBLIC_PAYLOADVALIDATION_H

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/QRCodeError.h>

#include "encoding/TLVEncoder.h"
#include "validation/Checks.h"

namespace pavenda::detail {

struct ValidationResult {
  std::vector<std::string> codes;
  std::vector<QRError> errors; // filled only when asked for
};

/// Decodes and validates `payload` on a code list of this call's own (no lock, no shared state):
/// the codes and, with `withErrorObjects`, their error objects; with `facts`, the facts of the
/// findings for their explanation.
ValidationResult validatePayload(std::string_view payload, bool withErrorObjects,
                                 validation::Facts* facts = nullptr);

/// The result of a payload that did not decode: the single code "0" and its error object.
ValidationResult malformed();

/// Generation's validation of the `payload` it encoded, `written` recording where its data objects
/// lie: `malformed()` when the decoder would split the payload otherwise (the read-back check),
/// else `validatePayload(payload, true)`.
ValidationResult validateWritten(std::string_view payload,
                                 std::span<const encoding::WrittenObject> written);

} // namespace pavenda::detail

#endif
