#include "public/PayloadValidation.h"

#include <pavenda/ErrorConstants.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "decoding/Decode.h"
#include "validation/Checks.h"

namespace pavenda::detail {

ValidationResult malformed() {
  const std::string code(ZArodezErrorConstants::malformedTags);
  return {{code}, {QRError(code, std::string(*ZArodezErrorConstantsMap::message(code)))}};
}

ValidationResult validatePayload(std::string_view payload, bool withErrorObjects) {
  // Views into the payload: the fields are read where they lie, not copied. The view and the codes
  // belong to this call alone, so threads validate at once without sharing anything.
  validation::RecordView view;
  if (!decoding::decode(view, payload).ok())
    return malformed();

  using TextProperty = validation::RecordView::TextProperty;
  validation::CodeList codes;
  if (!view.text(TextProperty::payloadFormatIndicator)) {
    validation::validatePayMerchantTLV00(codes, view);
  } else {
    validation::validatePayMerchantTLV01(codes, view);
    validation::validateCRC(codes, view.text(TextProperty::crc), payload);
  }
  ValidationResult result{codes.texts(), {}};
  if (withErrorObjects)
    result.errors = codes.errorObjects();
  return result;
}

} // namespace pavenda::detail

namespace pavenda {

std::vector<std::string> TLVGenerator::tlvValidation(std::string_view tlvString) {
  return detail::validatePayload(tlvString, false).codes;
}

} // namespace pavenda
