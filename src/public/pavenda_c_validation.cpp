// The C interface's validation and decoding of a payload text.

#include <pavenda/DecodedFields.h>
#include <pavenda/ErrorConstants.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "public/pavenda_c_response.h"

namespace {

const pavenda::c::Decoding* decodingOf(const pavenda_response* response) noexcept {
  return response && response->decoding ? &*response->decoding : nullptr;
}

} // namespace

extern "C" {

pavenda_status pavenda_validate(const char* payload, size_t length, pavenda_response** out) {
  return pavenda::c::guardedText(
      payload, length, out, [](pavenda_response& response, std::string_view text) {
        std::vector<std::string> codes = pavenda::TLVGenerator::tlvValidation(text);
        if (codes.empty()) {
          response.payload = std::string(text);
          return;
        }
        std::vector<pavenda::QRError> errors;
        errors.reserve(codes.size());
        for (const std::string& code : codes)
          errors.emplace_back(
              code, std::string(pavenda::ZArodezErrorConstantsMap::message(code).value_or("")));
        pavenda::c::setFindings(response, pavenda::QRCodeError(std::move(codes)), errors);
      });
}

pavenda_status pavenda_decode(const char* payload, size_t length, pavenda_response** out) {
  return pavenda::c::guardedText(payload, length, out,
                                 [](pavenda_response& response, std::string_view text) {
                                   pavenda::ZArodezPayMerchantTLV record;
                                   pavenda::c::Decoding& decoding = response.decoding.emplace();
                                   if (const auto error = record.decodeTLV(text)) {
                                     response.status = PAVENDA_UNDECODABLE;
                                     decoding.error = std::string(pavenda::toString(*error));
                                     return;
                                   }
                                   decoding.json = pavenda::decodedFieldsJSON(record);
                                 });
}

const char* pavenda_response_decoded_json_n(const pavenda_response* response, size_t* length) {
  const pavenda::c::Decoding* decoding = decodingOf(response);
  return pavenda::c::give(decoding ? &decoding->json : nullptr, length);
}

const char* pavenda_response_decoded_json(const pavenda_response* response) {
  return pavenda_response_decoded_json_n(response, nullptr);
}

const char* pavenda_response_decoding_error_n(const pavenda_response* response, size_t* length) {
  const pavenda::c::Decoding* decoding = decodingOf(response);
  return pavenda::c::give(decoding ? &decoding->error : nullptr, length);
}

const char* pavenda_response_decoding_error(const pavenda_response* response) {
  return pavenda_response_decoding_error_n(response, nullptr);
}

} // extern "C"
