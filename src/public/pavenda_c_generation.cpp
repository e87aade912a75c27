// The C interface's generation: from JSON, and from a dictionary built one value at a time.

#include <optional>

#include <pavenda/FieldDictionary.h>
#include <pavenda/QRCodeGenerator.h>

#include "public/pavenda_c_response.h"

struct pavenda_fields {
  pavenda::FieldDictionary dictionary;
};

namespace {

using pavenda::c::guarded;
using pavenda::c::readable;
using pavenda::c::stopped;
using pavenda::c::viewOf;

// Fills `response` from a generation; with a `level`, adds the advisories of what was written.
void generate(pavenda_response& response, const pavenda::FieldDictionary& dictionary,
              std::optional<pavenda::ErrorCorrection> level) {
  pavenda::ExplainedResponse generated =
      level ? pavenda::generateQRCodeStringExplained(dictionary, *level)
            : pavenda::ExplainedResponse{pavenda::QRCodeGenerator::generateQRCodeString(dictionary),
                                         {}};
  response.advisories = std::move(generated.advisories);
  const pavenda::PavendaResponse& answer = generated.response;
  if (answer.tlvString()) {
    response.payload = *answer.tlvString();
    return;
  }
  // Generation fills both or neither; a response without either would be a library fault.
  if (!answer.qrCodeError() || !answer.qrErrors()) {
    response.status = PAVENDA_INTERNAL_ERROR;
    return;
  }
  pavenda::c::setFindings(response, *answer.qrCodeError(), *answer.qrErrors());
}

pavenda_status generateJSON(const char* json, size_t length,
                            std::optional<pavenda::ErrorCorrection> level,
                            pavenda_response** out) noexcept {
  return pavenda::c::guardedText(
      json, length, out, [level](pavenda_response& response, std::string_view text) {
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
        generate(response, *dictionary, level);
      });
}

pavenda_status generateFields(const pavenda_fields* fields,
                              std::optional<pavenda::ErrorCorrection> level,
                              pavenda_response** out) noexcept {
  if (out == nullptr)
    return PAVENDA_INVALID_ARGUMENT;
  *out = nullptr;
  if (fields == nullptr)
    return PAVENDA_INVALID_ARGUMENT;
  return guarded(out, [fields, level](pavenda_response& response) {
    // What the JSON entry point refuses is refused here too, rather than silently left out.
    if (auto reason = fields->dictionary.firstUnwritableField()) {
      response.status = PAVENDA_INVALID_FIELDS;
      response.inputError = std::move(*reason);
      return;
    }
    generate(response, fields->dictionary, level);
  });
}

} // namespace

extern "C" {

pavenda_status pavenda_generate_json(const char* json, size_t length, pavenda_response** out) {
  return generateJSON(json, length, std::nullopt, out);
}

pavenda_status pavenda_generate_json_explained(const char* json, size_t length, int level,
                                               pavenda_response** out) {
  if (!pavenda::c::knownLevel(level, out))
    return PAVENDA_INVALID_ARGUMENT;
  return generateJSON(json, length, static_cast<pavenda::ErrorCorrection>(level), out);
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
  return generateFields(fields, std::nullopt, out);
}

pavenda_status pavenda_generate_fields_explained(const pavenda_fields* fields, int level,
                                                 pavenda_response** out) {
  if (!pavenda::c::knownLevel(level, out))
    return PAVENDA_INVALID_ARGUMENT;
  return generateFields(fields, static_cast<pavenda::ErrorCorrection>(level), out);
}

} // extern "C"
