#include <pavenda/pavenda_c.h>

#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/DecodedFields.h>
#include <pavenda/ErrorConstants.h>
#include <pavenda/FieldDictionary.h>
#include <pavenda/Findings.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeError.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>
#include <pavenda/Version.h>

#include "encoding/TagCatalogue.h"
#include "support/ErrorCatalogue.h"

// Everything a caller may borrow is made when the response is, so the accessors only read and a
// response can be shared between threads.
struct pavenda_response {
  pavenda_status status = PAVENDA_OK;
  std::optional<std::string> payload;
  std::vector<std::string> codes;
  std::vector<std::string> messages;
  std::optional<std::string> json;
  std::optional<std::string> inputError;
  std::optional<std::string> decoded;
  std::optional<std::string> decodingError;
  std::optional<pavenda::Explanation> explanation;
};

struct pavenda_fields {
  pavenda::FieldDictionary dictionary;
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

// Runs `work` and answers its status, with every exception stopped here: nothing may unwind into
// C frames.
template <typename Work> pavenda_status stopped(Work work) noexcept {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return PAVENDA_OUT_OF_MEMORY;
  } catch (...) {
    return PAVENDA_INTERNAL_ERROR;
  }
}

// Hands the caller the response `make` filled, or nothing when it threw.
template <typename Make> pavenda_status guarded(pavenda_response** out, Make make) noexcept {
  return stopped([&] {
    auto response = std::make_unique<pavenda_response>();
    make(*response);
    *out = response.release();
    return (*out)->status;
  });
}

// As guarded(), for the entry points that read one text given by pointer and length.
template <typename Make>
pavenda_status guardedText(const char* input, size_t length, pavenda_response** out,
                           Make make) noexcept {
  if (out == nullptr)
    return PAVENDA_INVALID_ARGUMENT;
  *out = nullptr;
  if (input == nullptr && length != 0)
    return PAVENDA_INVALID_ARGUMENT;
  return guarded(out, [&](pavenda_response& response) { make(response, viewOf(input, length)); });
}

void generate(pavenda_response& response, const pavenda::FieldDictionary& dictionary) {
  const pavenda::PavendaResponse generated =
      pavenda::QRCodeGenerator::generateQRCodeString(dictionary);
  if (generated.tlvString()) {
    response.payload = *generated.tlvString();
    return;
  }
  // Generation fills both or neither; a response without either would be a library fault.
  if (!generated.qrCodeError() || !generated.qrErrors())
    throw std::logic_error("generation gave neither payload nor errors");
  setFindings(response, *generated.qrCodeError(), *generated.qrErrors());
}

// Whether a text given by pointer and length may be read.
bool readable(const char* text, size_t length) noexcept {
  return text != nullptr || length == 0;
}

// Hosts borrow catalogue texts as C strings, so each must end where its view does.
static_assert([] {
  for (const pavenda::catalogue::Entry& entry : pavenda::catalogue::entries)
    if (entry.key.data()[entry.key.size()] != '\0' || entry.tag.data()[entry.tag.size()] != '\0')
      return false;
  return true;
}());

} // namespace

extern "C" {

pavenda_status pavenda_generate_json(const char* json, size_t length, pavenda_response** out) {
  return guardedText(json, length, out, [](pavenda_response& response, std::string_view text) {
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
    generate(response, *dictionary);
  });
}

pavenda_status pavenda_validate(const char* payload, size_t length, pavenda_response** out) {
  return guardedText(payload, length, out, [](pavenda_response& response, std::string_view text) {
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

pavenda_status pavenda_decode(const char* payload, size_t length, pavenda_response** out) {
  return guardedText(payload, length, out, [](pavenda_response& response, std::string_view text) {
    pavenda::ZArodezPayMerchantTLV record;
    if (const auto error = record.decodeTLV(text)) {
      response.status = PAVENDA_UNDECODABLE;
      response.decodingError = std::string(pavenda::toString(*error));
      return;
    }
    response.decoded = pavenda::decodedFieldsJSON(record);
  });
}

const char* pavenda_response_decoded_json(const pavenda_response* response) {
  return response && response->decoded ? response->decoded->c_str() : nullptr;
}

const char* pavenda_response_decoding_error(const pavenda_response* response) {
  return response && response->decodingError ? response->decodingError->c_str() : nullptr;
}

pavenda_fields* pavenda_fields_new(void) {
  return new (std::nothrow) pavenda_fields();
}

void pavenda_fields_free(pavenda_fields* fields) {
  delete fields;
}

pavenda_status pavenda_fields_set(pavenda_fields* fields, const char* key, size_t key_length,
                                  const char* value, size_t value_length) {
  if (!fields || !readable(key, key_length) || !readable(value, value_length))
    return PAVENDA_INVALID_ARGUMENT;
  return stopped([&] {
    fields->dictionary.set(std::string(viewOf(key, key_length)),
                           pavenda::FieldValue(viewOf(value, value_length)));
    return PAVENDA_OK;
  });
}

pavenda_status pavenda_fields_set_template(pavenda_fields* fields, const char* key,
                                           size_t key_length, const char* sub_key,
                                           size_t sub_key_length, const char* value,
                                           size_t value_length) {
  if (!fields || !readable(key, key_length) || !readable(sub_key, sub_key_length) ||
      !readable(value, value_length))
    return PAVENDA_INVALID_ARGUMENT;
  return stopped([&] {
    const std::string_view name = viewOf(key, key_length);
    // Values are immutable once stored: the template is copied, changed and stored back.
    const pavenda::FieldValue* held = fields->dictionary.find(name);
    pavenda::FieldDictionary subFields =
        held && held->map() ? *held->map() : pavenda::FieldDictionary();
    subFields.set(std::string(viewOf(sub_key, sub_key_length)),
                  pavenda::FieldValue(viewOf(value, value_length)));
    fields->dictionary.set(std::string(name), pavenda::FieldValue(std::move(subFields)));
    return PAVENDA_OK;
  });
}

pavenda_status pavenda_generate_fields(const pavenda_fields* fields, pavenda_response** out) {
  if (out == nullptr)
    return PAVENDA_INVALID_ARGUMENT;
  *out = nullptr;
  if (fields == nullptr)
    return PAVENDA_INVALID_ARGUMENT;
  return guarded(out, [fields](pavenda_response& response) {
    // What the JSON entry point refuses is refused here too, rather than silently left out.
    if (auto reason = fields->dictionary.firstUnwritableField()) {
      response.status = PAVENDA_INVALID_FIELDS;
      response.inputError = std::move(*reason);
      return;
    }
    generate(response, fields->dictionary);
  });
}

size_t pavenda_field_count(void) {
  return pavenda::catalogue::entries.size();
}

const char* pavenda_field_key(size_t index) {
  return index < pavenda::catalogue::entries.size() ? pavenda::catalogue::entries[index].key.data()
                                                    : nullptr;
}

const char* pavenda_field_tag(size_t index) {
  return index < pavenda::catalogue::entries.size() ? pavenda::catalogue::entries[index].tag.data()
                                                    : nullptr;
}

size_t pavenda_error_catalogue_count(void) {
  return pavenda::errorCatalogue().size();
}

const char* pavenda_error_catalogue_code(size_t index) {
  const auto catalogue = pavenda::errorCatalogue();
  return index < catalogue.size() ? catalogue[index].code.data() : nullptr;
}

const char* pavenda_error_catalogue_message(size_t index) {
  const auto catalogue = pavenda::errorCatalogue();
  return index < catalogue.size() ? catalogue[index].message.data() : nullptr;
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

// ---- explanations ----

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
  return guardedText(
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
          setFindings(response, pavenda::QRCodeError(explanation.errorCodes), errors);
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
