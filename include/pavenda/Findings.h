#ifndef PAVENDA_FINDINGS_H
#define PAVENDA_FINDINGS_H

// Explanations beside the codes: which field broke which rule, where a payload stopped decoding,
// the CRC given and computed, and advisories about what the rules allow but readers trip on. None
// of this changes the codes: an explanation reads the decoded record, the codes and the decoder's
// stopping point.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <pavenda/FieldDictionary.h>
#include <pavenda/PavendaResponse.h>

namespace pavenda {

/// One field a finding concerns. `tag` is the tag in the payload's own scheme ("59", or "1" for a
/// single-character payload); `subtag` is set for a template sub-field ("62" with "01"). `value` is
/// the value as decoded: nothing when the field is absent, "" when it is present but empty.
struct FindingField {
  std::string tag;
  std::optional<std::string> subtag;
  std::string field;
  std::optional<std::string> value;
  friend bool operator==(const FindingField&, const FindingField&) = default;
};

/// One code explained: the code, its catalogue message ("" for a code without one), the fields it
/// concerns (at least one, except for code "0", which concerns none) and a plain-English detail
/// that says what exactly is wrong.
struct Finding {
  std::string code;
  std::string message;
  std::vector<FindingField> fields;
  std::string detail;
  friend bool operator==(const Finding&, const Finding&) = default;
};

/// Why a payload did not decode: `reason` in words ("length field 'I ' is not two digits") and
/// `offset`, the number of user-perceived characters before the point where decoding stopped
/// (0-based; for text that is not UTF-8, the characters before the first ill-formed byte).
struct DecodeError {
  std::string reason;
  std::size_t offset = 0;
  friend bool operator==(const DecodeError&, const DecodeError&) = default;
};

/// The CRC of a two-digit payload: `given` is the value of tag 63 as decoded, `computed` the four
/// upper-case hexadecimal digits of the CRC over everything before that value. Either is nothing
/// when there is none (no tag 63, a single-character payload, a payload that did not decode).
struct CrcCheck {
  std::optional<std::string> given;
  std::optional<std::string> computed;
  /// Whether both are there and the given value is the computed one (letter case ignored).
  bool matches() const noexcept;
  friend bool operator==(const CrcCheck&, const CrcCheck&) = default;
};

/// Something the rules allow but readers of the payload trip on. `kind` is one of "framing",
/// "capacity", "currency-decimals", "invisible-characters"; `tag` and `field` name where it
/// applies ("" for the whole payload).
struct Advisory {
  std::string kind;
  std::string tag;
  std::string field;
  std::string detail;
  friend bool operator==(const Advisory&, const Advisory&) = default;
};

/// The error-correction level a payload is meant to be printed with; it decides the capacity
/// advisory's limits.
enum class ErrorCorrection { L, M, Q, H };

/// The bytes that the largest QR symbol (version 40) holds in byte mode at `level`; at L, 2953, the
/// most that any QR code holds.
constexpr std::size_t largestQrSymbolBytes(ErrorCorrection level) noexcept {
  switch (level) {
  case ErrorCorrection::L:
    return 2953;
  case ErrorCorrection::M:
    return 2331;
  case ErrorCorrection::Q:
    return 1663;
  case ErrorCorrection::H:
    return 1273;
  }
  return 0;
}

/// The full answer of `explainPayload`.
struct Explanation {
  /// The codes, exactly as `TLVGenerator::tlvValidation` answers them.
  std::vector<std::string> errorCodes;
  /// One finding per code, in the same order.
  std::vector<Finding> findings;
  /// Present exactly when the payload did not decode (the codes are then just "0").
  std::optional<DecodeError> decodeError;
  CrcCheck crc;
  std::vector<Advisory> advisories;
};

/// Validates `payload` as `TLVGenerator::tlvValidation` does and explains the outcome; `level` is
/// the error correction the payload will be printed with. Never throws (allocation failure aside);
/// safe to call from several threads at once.
Explanation explainPayload(std::string_view payload, ErrorCorrection level = ErrorCorrection::M);

/// The advisories of `payload` alone (see `Advisory`); nothing for text that is not UTF-8.
std::vector<Advisory> adviseOnPayload(std::string_view payload,
                                      ErrorCorrection level = ErrorCorrection::M);

/// A generation answer with the advisories of the payload the encoder wrote (also when validation
/// refused it, so that the caller learns what a reader would have met).
struct ExplainedResponse {
  PavendaResponse response;
  std::vector<Advisory> advisories;
};

/// `QRCodeGenerator::generateQRCodeString` plus the advisories of the payload it made.
ExplainedResponse generateQRCodeStringExplained(const FieldDictionary& qrCodeDictionary,
                                                ErrorCorrection level = ErrorCorrection::M);

} // namespace pavenda

#endif
