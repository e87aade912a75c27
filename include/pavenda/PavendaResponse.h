#ifndef PAVENDA_PAVENDARESPONSE_H
#define PAVENDA_PAVENDARESPONSE_H

#include <optional>
#include <string>
#include <vector>

#include <pavenda/QRCodeError.h>

namespace pavenda {

/// The answer of a generation call: the payload on success, or the errors on failure.
///
/// Generation never sets both: a payload that failed validation is dropped. The three values are
/// stored as given and never change.
class PavendaResponse {
public:
  /// A response of the three values, stored unchanged without any check. The third is the list of
  /// error objects, although its name is singular.
  PavendaResponse(std::optional<std::string> tlvString, std::optional<QRCodeError> qrCodeError,
                  std::optional<std::vector<QRError>> qrError)
      : tlvString_(std::move(tlvString)), qrCodeError_(std::move(qrCodeError)),
        qrErrors_(std::move(qrError)) {}

  /// The payload text; present only on success.
  const std::optional<std::string>& tlvString() const noexcept { return tlvString_; }

  /// The codes; present only on failure.
  const std::optional<QRCodeError>& qrCodeError() const noexcept { return qrCodeError_; }

  /// One error object per code, in the same order; present only on failure.
  const std::optional<std::vector<QRError>>& qrErrors() const noexcept { return qrErrors_; }

  friend bool operator==(const PavendaResponse&, const PavendaResponse&) = default;

private:
  std::optional<std::string> tlvString_;
  std::optional<QRCodeError> qrCodeError_;
  std::optional<std::vector<QRError>> qrErrors_;
};

} // namespace pavenda

#endif
