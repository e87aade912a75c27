#include "public/PayloadValidation.h"

#include <pavenda/ErrorConstants.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "validation/Validator.h"

namespace pavenda::detail {

ValidationResult malformed() {
  const std::string code(ZArodezErrorConstants::malformedTags);
  return {{code}, {QRError(code, std::string(*ZArodezErrorConstantsMap::message(code)))}};
}

ValidationResult validatePayload(std::string_view payload, bool withErrorObjects) {
  ZArodezPayMerchantTLV record;
  if (record.decodeTLV(payload))
    return malformed();
  return validateDecoded(record, payload, withErrorObjects);
}

ValidationResult validateDecoded(const ZArodezPayMerchantTLV& record, std::string_view payload,
                                 bool withErrorObjects) {
  ZArodezPayMerchantTLVValidator& validator = ZArodezPayMerchantTLVValidator::sharedValidator();
  const auto guard = validator.lock();
  if (!record.payloadFormatIndicator()) {
    validator.validatePayMerchantTLV00(&record);
  } else {
    validator.validatePayMerchantTLV01(&record);
    validator.validateCRC(record.crc(), payload);
  }
  ValidationResult result{validator.errorCodes(), {}};
  if (withErrorObjects)
    result.errors = validator.errorObjects();
  return result;
}

} // namespace pavenda::detail

namespace pavenda {

std::vector<std::string> TLVGenerator::tlvValidation(std::string_view tlvString) {
  return detail::validatePayload(tlvString, false).codes;
}

} // namespace pavenda
