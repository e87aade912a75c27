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

using pavenda::c::give;

const pavenda::c::Findings* findingsOf(const pavenda_response* response) noexcept {
  return response && response->findings ? &*response->findings : nullptr;
}

const std::string* at(const std::vector<std::string>* texts, size_t index) noexcept {
  return texts && index < texts->size() ? &(*texts)[index] : nullptr;
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
  return give(response ? &response->payload : nullptr, length);
}

size_t pavenda_response_error_count(const pavenda_response* response) {
  const pavenda::c::Findings* findings = findingsOf(response);
  return findings ? findings->codes.size() : 0;
}

const char* pavenda_response_error_code_n(const pavenda_response* response, size_t index,
                                          size_t* length) {
  const pavenda::c::Findings* findings = findingsOf(response);
  return give(at(findings ? &findings->codes : nullptr, index), length);
}

const char* pavenda_response_error_code(const pavenda_response* response, size_t index) {
  return pavenda_response_error_code_n(response, index, nullptr);
}

const char* pavenda_response_error_message_n(const pavenda_response* response, size_t index,
                                             size_t* length) {
  const pavenda::c::Findings* findings = findingsOf(response);
  return give(at(findings ? &findings->messages : nullptr, index), length);
}

const char* pavenda_response_error_message(const pavenda_response* response, size_t index) {
  return pavenda_response_error_message_n(response, index, nullptr);
}

const char* pavenda_response_json_n(const pavenda_response* response, size_t* length) {
  const pavenda::c::Findings* findings = findingsOf(response);
  return give(findings ? &findings->json : nullptr, length);
}

const char* pavenda_response_json(const pavenda_response* response) {
  return pavenda_response_json_n(response, nullptr);
}

const char* pavenda_response_input_error_n(const pavenda_response* response, size_t* length) {
  return give(response ? &response->inputError : nullptr, length);
}

const char* pavenda_response_input_error(const pavenda_response* response) {
  return pavenda_response_input_error_n(response, nullptr);
}

} // extern "C"
