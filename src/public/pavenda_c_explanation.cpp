// The C interface's explained validation: findings with their fields, the decoding failure, the
// CRC and the advisories.

#include "public/pavenda_c_response.h"

namespace {

using pavenda::c::give;

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
  return response && index < response->advisories.size() ? &response->advisories[index] : nullptr;
}

const pavenda::Explanation* explanationOf(const pavenda_response* response) noexcept {
  return response && response->explanation ? &*response->explanation : nullptr;
}

} // namespace

extern "C" {

pavenda_status pavenda_validate_explained(const char* payload, size_t length, int level,
                                          pavenda_response** out) {
  if (!pavenda::c::knownLevel(level, out))
    return PAVENDA_INVALID_ARGUMENT;
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
        response.advisories = std::move(explanation.advisories);
        response.explanation = std::move(explanation);
      });
}

size_t pavenda_response_finding_count(const pavenda_response* response) {
  const pavenda::Explanation* explanation = explanationOf(response);
  return explanation ? explanation->findings.size() : 0;
}

const char* pavenda_response_finding_code_n(const pavenda_response* response, size_t index,
                                            size_t* length) {
  const pavenda::Finding* finding = findingAt(response, index);
  return give(finding ? &finding->code : nullptr, length);
}

const char* pavenda_response_finding_code(const pavenda_response* response, size_t index) {
  return pavenda_response_finding_code_n(response, index, nullptr);
}

const char* pavenda_response_finding_message_n(const pavenda_response* response, size_t index,
                                               size_t* length) {
  const pavenda::Finding* finding = findingAt(response, index);
  return give(finding ? &finding->message : nullptr, length);
}

const char* pavenda_response_finding_message(const pavenda_response* response, size_t index) {
  return pavenda_response_finding_message_n(response, index, nullptr);
}

const char* pavenda_response_finding_detail_n(const pavenda_response* response, size_t index,
                                              size_t* length) {
  const pavenda::Finding* finding = findingAt(response, index);
  return give(finding ? &finding->detail : nullptr, length);
}

const char* pavenda_response_finding_detail(const pavenda_response* response, size_t index) {
  return pavenda_response_finding_detail_n(response, index, nullptr);
}

size_t pavenda_response_finding_field_count(const pavenda_response* response, size_t index) {
  const pavenda::Finding* finding = findingAt(response, index);
  return finding ? finding->fields.size() : 0;
}

const char* pavenda_response_finding_tag_n(const pavenda_response* response, size_t index,
                                           size_t field, size_t* length) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return give(f ? &f->tag : nullptr, length);
}

const char* pavenda_response_finding_tag(const pavenda_response* response, size_t index,
                                         size_t field) {
  return pavenda_response_finding_tag_n(response, index, field, nullptr);
}

const char* pavenda_response_finding_subtag_n(const pavenda_response* response, size_t index,
                                              size_t field, size_t* length) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return give(f ? &f->subtag : nullptr, length);
}

const char* pavenda_response_finding_subtag(const pavenda_response* response, size_t index,
                                            size_t field) {
  return pavenda_response_finding_subtag_n(response, index, field, nullptr);
}

const char* pavenda_response_finding_field_n(const pavenda_response* response, size_t index,
                                             size_t field, size_t* length) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return give(f ? &f->field : nullptr, length);
}

const char* pavenda_response_finding_field(const pavenda_response* response, size_t index,
                                           size_t field) {
  return pavenda_response_finding_field_n(response, index, field, nullptr);
}

int pavenda_response_finding_has_value(const pavenda_response* response, size_t index,
                                       size_t field) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return f && f->value ? 1 : 0;
}

const char* pavenda_response_finding_value(const pavenda_response* response, size_t index,
                                           size_t field, size_t* length) {
  const pavenda::FindingField* f = fieldAt(response, index, field);
  return give(f ? &f->value : nullptr, length);
}

const char* pavenda_response_decode_error_reason_n(const pavenda_response* response,
                                                   size_t* length) {
  const pavenda::Explanation* explanation = explanationOf(response);
  return give(explanation && explanation->decodeError ? &explanation->decodeError->reason : nullptr,
              length);
}

const char* pavenda_response_decode_error_reason(const pavenda_response* response) {
  return pavenda_response_decode_error_reason_n(response, nullptr);
}

int pavenda_response_decode_error_offset(const pavenda_response* response, size_t* offset) {
  const pavenda::Explanation* explanation = explanationOf(response);
  if (!explanation || !explanation->decodeError)
    return 0;
  if (offset != nullptr)
    *offset = explanation->decodeError->offset;
  return 1;
}

const char* pavenda_response_crc_given_n(const pavenda_response* response, size_t* length) {
  const pavenda::Explanation* explanation = explanationOf(response);
  return give(explanation ? &explanation->crc.given : nullptr, length);
}

const char* pavenda_response_crc_given(const pavenda_response* response) {
  return pavenda_response_crc_given_n(response, nullptr);
}

const char* pavenda_response_crc_computed_n(const pavenda_response* response, size_t* length) {
  const pavenda::Explanation* explanation = explanationOf(response);
  return give(explanation ? &explanation->crc.computed : nullptr, length);
}

const char* pavenda_response_crc_computed(const pavenda_response* response) {
  return pavenda_response_crc_computed_n(response, nullptr);
}

size_t pavenda_response_advisory_count(const pavenda_response* response) {
  return response ? response->advisories.size() : 0;
}

const char* pavenda_response_advisory_kind_n(const pavenda_response* response, size_t index,
                                             size_t* length) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return give(advisory ? &advisory->kind : nullptr, length);
}

const char* pavenda_response_advisory_kind(const pavenda_response* response, size_t index) {
  return pavenda_response_advisory_kind_n(response, index, nullptr);
}

const char* pavenda_response_advisory_tag_n(const pavenda_response* response, size_t index,
                                            size_t* length) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return give(advisory ? &advisory->tag : nullptr, length);
}

const char* pavenda_response_advisory_tag(const pavenda_response* response, size_t index) {
  return pavenda_response_advisory_tag_n(response, index, nullptr);
}

const char* pavenda_response_advisory_field_n(const pavenda_response* response, size_t index,
                                              size_t* length) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return give(advisory ? &advisory->field : nullptr, length);
}

const char* pavenda_response_advisory_field(const pavenda_response* response, size_t index) {
  return pavenda_response_advisory_field_n(response, index, nullptr);
}

const char* pavenda_response_advisory_detail_n(const pavenda_response* response, size_t index,
                                               size_t* length) {
  const pavenda::Advisory* advisory = advisoryAt(response, index);
  return give(advisory ? &advisory->detail : nullptr, length);
}

const char* pavenda_response_advisory_detail(const pavenda_response* response, size_t index) {
  return pavenda_response_advisory_detail_n(response, index, nullptr);
}

} // extern "C"
