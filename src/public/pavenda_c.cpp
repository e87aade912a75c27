#include <pavenda/pavenda_c.h>

#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/ErrorConstants.h>
#include <pavenda/FieldDictionary.h>
#include <pavenda/QRCodeError.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>
#include <pavenda/Version.h>

// Everything a caller may borrow is made when the response is, so the accessors only read and a
// response can be shared between threads.
struct pavenda_response {
  pavenda_status status = PAVENDA_OK;
  std::optional<std::string> payload;
  std::vector<std::string> codes;
  std::vector<std::string> messages;
  std::optional<std::string> json;
  std::optional<std::string> inputError;
};

namespace {

std::string_view viewOf(const char* text, size_t length) noexcept {
  return length == 0 ? std::string_view() : std::string_view(text, length);
}

void setFindings(pavenda_response& response, const pavenda::QRCodeError& error,
                 const std::vector<pavenda::QRError>& errors) {
  response.status = PAVENDA_FINDINGS;
  response.json = error.getJSONOutput();
  for (const pavenda::QRError& finding : errors) {
    response.codes.push_back(finding.errorCode());
    response.messages.push_back(finding.errorDescription());
  }
}

// Runs `make` with every exception stopped here: nothing may unwind into C frames.
template <typename Make>
pavenda_status guarded(const char* input, size_t length, pavenda_response** out, Make make) {
  if (out == nullptr)
    return PAVENDA_INVALID_ARGUMENT;
  *out = nullptr;
  if (input == nullptr && length != 0)
    return PAVENDA_INVALID_ARGUMENT;
  try {
    auto* response = new pavenda_response();
    try {
      make(*response, viewOf(input, length));
    } catch (...) {
      delete response;
      throw;
    }
    *out = response;
    return response->status;
  } catch (const std::bad_alloc&) {
    return PAVENDA_OUT_OF_MEMORY;
  } catch (...) {
    return PAVENDA_INTERNAL_ERROR;
  }
}

} // namespace

extern "C" {

pavenda_status pavenda_generate_json(const char* json, size_t length, pavenda_response** out) {
  return guarded(json, length, out, [](pavenda_response& response, std::string_view text) {
    std::string reason;
    auto refusal = pavenda::FieldDictionary::JSONRefusal::syntax;
    const auto dictionary = pavenda::FieldDictionary::fromJSON(text, &reason, &refusal);
    if (!dictionary) {
      response.status = refusal == pavenda::FieldDictionary::JSONRefusal::unwritableField
                            ? PAVENDA_INVALID_FIELDS
                            : PAVENDA_INVALID_JSON;
      response.inputError = reason.empty() ? std::string("not a JSON object") : reason;
      return;
    }
    const pavenda::PavendaResponse generated =
        pavenda::QRCodeGenerator::generateQRCodeString(*dictionary);
    if (generated.tlvString()) {
      response.payload = *generated.tlvString();
      return;
    }
    // Generation fills both or neither; a response without either would be a library fault.
    if (!generated.qrCodeError() || !generated.qrErrors())
      throw std::logic_error("generation gave neither payload nor errors");
    setFindings(response, *generated.qrCodeError(), *generated.qrErrors());
  });
}

pavenda_status pavenda_validate(const char* payload, size_t length, pavenda_response** out) {
  return guarded(payload, length, out, [](pavenda_response& response, std::string_view text) {
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
    setFindings(response, pavenda::QRCodeError(std::move(codes)), errors);
  });
}

void pavenda_response_free(pavenda_response* response) {
  delete response;
}

pavenda_status pavenda_response_status(const pavenda_response* response) {
  return response ? response->status : PAVENDA_INVALID_ARGUMENT;
}

const char* pavenda_response_payload(const pavenda_response* response, size_t* length) {
  const bool present = response != nullptr && response->payload.has_value();
  if (length)
    *length = present ? response->payload->size() : 0;
  return present ? response->payload->c_str() : nullptr;
}

size_t pavenda_response_error_count(const pavenda_response* response) {
  return response ? response->codes.size() : 0;
}

const char* pavenda_response_error_code(const pavenda_response* response, size_t index) {
  return response && index < response->codes.size() ? response->codes[index].c_str() : nullptr;
}

const char* pavenda_response_error_message(const pavenda_response* response, size_t index) {
  return response && index < response->messages.size() ? response->messages[index].c_str()
                                                       : nullptr;
}

const char* pavenda_response_json(const pavenda_response* response) {
  return response && response->json ? response->json->c_str() : nullptr;
}

const char* pavenda_response_input_error(const pavenda_response* response) {
  return response && response->inputError ? response->inputError->c_str() : nullptr;
}

// Taken as an int: a value outside the enumeration is a caller's mistake, not undefined behaviour.
const char* pavenda_status_name(int status) {
  switch (status) {
  case PAVENDA_OK:
    return "ok";
  case PAVENDA_FINDINGS:
    return "findings";
  case PAVENDA_INVALID_JSON:
    return "invalid JSON";
  case PAVENDA_INVALID_ARGUMENT:
    return "invalid argument";
  case PAVENDA_OUT_OF_MEMORY:
    return "out of memory";
  case PAVENDA_INTERNAL_ERROR:
    return "internal error";
  case PAVENDA_INVALID_FIELDS:
    return "invalid fields";
  case PAVENDA_UNDECODABLE:
    return "undecodable";
  }
  return "unknown status";
}

const char* pavenda_version(void) {
  // The view's text is not promised to end in NUL; a copy made once is.
  try {
    static const std::string text(pavenda::version());
    return text.c_str();
  } catch (...) {
    return "";
  }
}

} // extern "C"
