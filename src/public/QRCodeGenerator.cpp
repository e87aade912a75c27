#include <pavenda/QRCodeGenerator.h>

#include "encoding/TLVEncoder.h"
#include "public/PayloadValidation.h"

namespace pavenda {

PavendaResponse QRCodeGenerator::generateQRCodeString(const FieldDictionary& qrCodeDictionary) {
  // Where the data objects lie; a usual payload's fit on the stack.
  encoding::WrittenObjects written;
  std::string payload = encoding::encode(qrCodeDictionary, &written);
  // A payload that the decoder would split differently from how it was written carries other data
  // than the caller gave; validating what the decoder reads would vouch for the wrong payload.
  detail::ValidationResult result = detail::validateWritten(payload, written);
  if (result.codes.empty())
    return PavendaResponse(std::move(payload), std::nullopt, std::nullopt);
  return PavendaResponse(std::nullopt, QRCodeError(std::move(result.codes)),
                         std::move(result.errors));
}

void QRCodeGenerator::generateQRCodeString(
    const FieldDictionary& qrCodeDictionary,
    const std::function<void(std::optional<PavendaResponse>)>& completionHandler) {
  PavendaResponse response = generateQRCodeString(qrCodeDictionary);
  if (completionHandler)
    completionHandler(std::move(response));
}

} // namespace pavenda
