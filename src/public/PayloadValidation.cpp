#include "public/PayloadValidation.h"

#include <pavenda/ErrorConstants.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "decoding/Decode.h"
#include "decoding/ReadBack.h"
#include "validation/Checks.h"

namespace pavenda::detail {

ValidationResult malformed() {
  const std::string code(ZArodezErrorConstants::malformedTags);
  return {{code}, {QRError(code, std::string(*ZArodezErrorConstantsMap::message(code)))}};
}

namespace {

// The checks on a decoded payload.
ValidationResult check(const decoding::RecordView& view, std::string_view payload,
                       bool withErrorObjects, validation::Facts* facts = nullptr) {
  using TextProperty = decoding::RecordView::TextProperty;
  validation::CodeList codes(facts);
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

} // namespace

ValidationResult validatePayload(std::string_view payload, bool withErrorObjects,
                                 validation::Facts* facts) {
  // Views into the payload: the fields are read where they lie, not copied. The view and the codes
  // belong to this call alone, so threads validate at once without sharing anything.
  decoding::RecordView view;
  if (!decoding::decode(view, payload).ok())
    return malformed();
  return check(view, payload, withErrorObjects, facts);
}

ValidationResult validateWritten(std::string_view payload,
                                 std::span<const encoding::WrittenObject> written) {
  decoding::RecordView view;
  // The usual payload is read once, for the framing and for the checks.
  if (decoding::decodeOrdinaryAsWritten(view, payload, written))
    return check(view, payload, true);
  return decoding::readsBackAsWritten(payload, written) ? validatePayload(payload, true)
                                                        : malformed();
}

} // namespace pavenda::detail

namespace pavenda {

std::vector<std::string> TLVGenerator::tlvValidation(std::string_view tlvString) {
  return detail::validatePayload(tlvString, false).codes;
}

} // namespace pavenda
