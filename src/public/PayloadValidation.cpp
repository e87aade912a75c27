#include "public/PayloadValidation.h"

#include <pavenda/ErrorConstants.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "validation/Checks.h"

namespace pavenda::detail {

ValidationResult malformed() {
  const std::string code(ZArodezErrorConstants::malformedTags);
  return {{code}, {QRError(code, std::string(*ZArodezErrorConstantsMap::message(code)))}};
}

ValidationResult validatePayload(std::string_view payload, bool withErrorObjects) {
  ZArodezPayMerchantTLV record;
  if (record.decodeTLV(payload))
    return malformed();

  // The codes belong to this call alone: threads validate at once without sharing anything.
  const validation::RecordView view(record);
  validation::CodeList codes;
  if (!record.payloadFormatIndicator()) {
    validation::validatePayMerchantTLV00(codes, view);
  } else {
    validation::validatePayMerchantTLV01(codes, view);
    validation::validateCRC(codes, view.text(validation::RecordView::TextProperty::crc), payload);
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
