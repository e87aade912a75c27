// The C interface's explained validation: findings with their fields, the decoding failure, the
// CRC and the advisories.

#include "public/pavenda_c_response.h"

namespace {

const pavenda::Finding* findingAt(const pavenda_response* response, size_t index) noexcept {
  if (response == nullptr || !response->explanation ||
      index >= response->explanation->findings.size())
    return nullptr;
  return &response->explanation->findings[index];
}

const pavenda::FindingField* fieldAt(const pavenda_response* response, size_t index,
                                     size_t field) noexcept {
  const pavenda::Finding* finding = findingAt(response, index);
  return finding && field < finding->fields.size() ? &finding->fields[field] : nullptr;
}

const pavenda::Advisory* advisoryAt(const pavenda_response* response, size_t index) noexcept {
  if (response == nullptr || !response->explanation ||
      index >= response->explanation->advisories.size())
    return nullptr;
  return &response->explanation->advisories[index];
}

const char* textOf(const std::optional<std::string>& text) noexcept {
  return text ? text->c_str() : nullptr;
}

} // namespace

extern "C" {

pavenda_status pavenda_validate_explained(const char* payload, size_t length, int level,
                                          pavenda_response** out) {
  if (level < PAVENDA_ECC_L || level > PAVENDA_ECC_H) {
    if (out != nullptr)
      *out = nullptr;
    return PAVENDA_INVALID_ARGUMENT;
  }
  return pavenda::c::guardedText(
      payload, length, out, [level](pavenda_response& response, std::string_view text) {
        pavenda::Explanation explanation =
            pavenda::explainPayload(text, static_cast<pavenda::ErrorCorrection>(level));
        if (explanation.errorCodes.empty()) {
          response.payload = std::string(text);
        } else {
          std::vector<pavenda::QRError> errors;
          errors.reserve(explanation.findings.size());
          for (const pavenda::Finding& finding : explanation.findings)
            errors.emplace_back(finding.code, finding.message);
          pavenda::c::setFindings(response, pavenda::QRCodeError(explanation.errorCodes), errors);
        }
        response.explanation = std::move(explanation);
      });
}

size_t pavenda_response_finding_count(const pavenda_response* response) {
  return response && response->explanation ? response->explanation->findings.size() : 0;
}

const char* pavenda_response_finding_code(const pavenda_response* response, size_t index) {
  const pavenda::Finding* finding = findingAt(response, index);
  return finding ? finding->code.c_str() : nullptr;
}

const char* pavenda_response_finding_message(const pavenda_response* response, size_t index) {
  const pavenda::Finding* finding = findingAt(response, index);
  return finding ? finding->message.c_str() : nullptr;
}

const char* pavenda_response_finding_detail(const pavenda_response* response, size_t index) {
  const pavenda::Finding* finding = findingAt(response, index);
  return finding ? finding->detail.c_str() : nullptr;
}

size_t pavenda_response_finding_field_count(const pavenda_response* response, size_t index) {
  const pavenda::Finding* finding = findingAt(response, index);
  return finding ? finding->fields.size() : 0;
}

const char* pavenda_response_finding_tag(const pavenda_response* response, size_t index,
                                         size_t field) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return f ? f->tag.c_str() : nullptr;
}

const char* pavenda_response_finding_subtag(const pavenda_response* response, size_t index,
                                            size_t field) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return f ? textOf(f->subtag) : nullptr;
}

const char* pavenda_response_finding_field(const pavenda_response* response, size_t index,
                                           size_t field) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return f ? f->field.c_str() : nullptr;
}

int pavenda_response_finding_has_value(const pavenda_response* response, size_t index,
                                       size_t field) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return f && f->value ? 1 : 0;
}

const char* pavenda_response_finding_value(const pavenda_response* response, size_t index,
                                           size_t field, size_t* length) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  const char* value = f ? textOf(f->value) : nullptr;
  if (length != nullptr)
    *length = value ? f->value->size() : 0;
  return value;
}

const char* pavenda_response_decode_error_reason(const pavenda_response* response) {
  return response && response->explanation && response->explanation->decodeError
             ? response->explanation->decodeError->reason.c_str()
             : nullptr;
}

int pavenda_response_decode_error_offset(const pavenda_response* response, size_t* offset) {
  if (!response || !response->explanation || !response->explanation->decodeError)
    return 0;
  if (offset != nullptr)
    *offset = response->explanation->decodeError->offset;
  return 1;
}

const char* pavenda_response_crc_given(const pavenda_response* response) {
  return response && response->explanation ? textOf(response->explanation->crc.given) : nullptr;
}

const char* pavenda_response_crc_computed(const pavenda_response* response) {
  return response && response->explanation ? textOf(response->explanation->crc.computed) : nullptr;
}

size_t pavenda_response_advisory_count(const pavenda_response* response) {
  return response && response->explanation ? response->explanation->advisories.size() : 0;
}

const char* pavenda_response_advisory_kind(const pavenda_response* response, size_t index) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return advisory ? advisory->kind.c_str() : nullptr;
}

const char* pavenda_response_advisory_tag(const pavenda_response* response, size_t index) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return advisory ? advisory->tag.c_str() : nullptr;
}

const char* pavenda_response_advisory_field(const pavenda_response* response, size_t index) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return advisory ? advisory->field.c_str() : nullptr;
}

const char* pavenda_response_advisory_detail(const pavenda_response* response, size_t index) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return advisory ? advisory->detail.c_str() : nullptr;
}

} // extern "C"
