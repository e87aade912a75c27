// The C interface: reading a response of generation or validation, and freeing it.

#include "public/pavenda_c_response.h"

namespace pavenda::c {

void setFindings(pavenda_response& response, const QRCodeError& error,
                 const std::vector<QRError>& errors) {
  response.status = PAVENDA_FINDINGS;
  Findings findings;
  findings.json = error.getJSONOutput();
  for (const QRError& finding : errors) {
    findings.codes.push_back(finding.errorCode());
    findings.messages.push_back(finding.errorDescription());
  }
  response.findings = std::move(findings);
}

} // namespace pavenda::c

namespace {

const pavenda::c::Findings* findingsOf(const pavenda_response* response) noexcept {
  return response && response->findings ? &*response->findings : nullptr;
}

} // namespace

extern "C" {

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
  const pavenda::c::Findings* findings = findingsOf(response);
  return findings ? findings->codes.size() : 0;
}

const char* pavenda_response_error_code(const pavenda_response* response, size_t index) {
  const pavenda::c::Findings* findings = findingsOf(response);
  return findings && index < findings->codes.size() ? findings->codes[index].c_str() : nullptr;
}

const char* pavenda_response_error_message(const pavenda_response* response, size_t index) {
  const pavenda::c::Findings* findings = findingsOf(response);
  return findings && index < findings->messages.size() ? findings->messages[index].c_str()
                                                       : nullptr;
}

const char* pavenda_response_json(const pavenda_response* response) {
  const pavenda::c::Findings* findings = findingsOf(response);
  return findings ? findings->json.c_str() : nullptr;
}

const char* pavenda_response_input_error(const pavenda_response* response) {
  return response && response->inputError ? response->inputError->c_str() : nullptr;
}

} // extern "C"
