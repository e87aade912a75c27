#ifndef PAVENDA_FUZZ_BOUNDARYINVARIANTS_H
#define PAVENDA_FUZZ_BOUNDARYINVARIANTS_H

// Promises of the JSON boundary and of the round trip through decoding, each checked through the
// C++ interface and the C interface alike. One line per broken promise, none when all hold.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <pavenda/FieldDictionary.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>
#include <pavenda/pavenda_c.h>

#include "encoding/TagCatalogue.h"

namespace pavenda::invariants {

namespace detail {

// The codes of a C response, in order.
inline std::vector<std::string> codesOf(const pavenda_response* response) {
  std::vector<std::string> codes;
  for (std::size_t i = 0; i < pavenda_response_error_count(response); ++i)
    codes.emplace_back(pavenda_response_error_code(response, i));
  return codes;
}

inline std::optional<std::string> payloadOf(const pavenda_response* response) {
  std::size_t length = 0;
  const char* payload = pavenda_response_payload(response, &length);
  return payload ? std::optional<std::string>(std::string(payload, length)) : std::nullopt;
}

// Whether the C interface answered `status` with the payload or the codes C++ gave.
inline void compare(const pavenda_response* response, const std::optional<std::string>& payload,
                    const std::vector<std::string>& codes, std::string_view what,
                    std::vector<std::string>& out) {
  const pavenda_status expected = payload ? PAVENDA_OK : PAVENDA_FINDINGS;
  if (pavenda_response_status(response) != expected)
    out.push_back(std::string(what) + ": the C interface answers another status");
  else if (payloadOf(response) != payload || codesOf(response) != codes)
    out.push_back(std::string(what) + ": the C interface answers another payload or codes");
}

} // namespace detail

/// The JSON boundary on any text: an answer or a one-line reason of one kind; what it reads has no
/// unwritable field; the C interface gives the same status, reason, payload and codes.
inline std::vector<std::string> ofJSONBoundary(std::string_view json) {
  std::vector<std::string> out;
  std::string reason;
  auto refusal = FieldDictionary::JSONRefusal::syntax;
  const std::optional<FieldDictionary> dictionary =
      FieldDictionary::fromJSON(json, &reason, &refusal);
  pavenda_response* response = nullptr;
  const pavenda_status status = pavenda_generate_json(json.data(), json.size(), &response);
  if (!dictionary) {
    if (reason.empty() || reason.find('\n') != std::string::npos)
      out.push_back("a refusal must give a one-line reason");
    const pavenda_status expected = refusal == FieldDictionary::JSONRefusal::syntax
                                        ? PAVENDA_INVALID_JSON
                                        : PAVENDA_INVALID_FIELDS;
    if (status != expected)
      out.push_back("the C interface answers another status for a refusal");
    else if (reason != pavenda_response_input_error(response))
      out.push_back("the C interface gives another reason");
  } else if (const auto unwritable = dictionary->firstUnwritableField()) {
    out.push_back("a dictionary read from JSON holds an unwritable field: " + *unwritable);
  } else {
    const PavendaResponse generated = QRCodeGenerator::generateQRCodeString(*dictionary);
    const std::vector<std::string> codes = generated.qrCodeError()
                                               ? generated.qrCodeError()->errorCodes()
                                               : std::vector<std::string>{};
    detail::compare(response, generated.tlvString(), codes, "generation", out);
  }
  pavenda_response_free(response);
  return out;
}

/// The round trip on any text: the C interface validates it as C++ does; a payload of the two-digit
/// scheme that validates with no codes decodes, its decoded fields are all writable, and they
/// generate a payload again.
inline std::vector<std::string> ofRoundTrip(std::string_view payload) {
  std::vector<std::string> out;
  const std::vector<std::string> codes = TLVGenerator::tlvValidation(payload);
  pavenda_response* response = nullptr;
  pavenda_validate(payload.data(), payload.size(), &response);
  detail::compare(response,
                  codes.empty() ? std::optional<std::string>(std::string(payload)) : std::nullopt,
                  codes, "validation", out);
  pavenda_response_free(response);
  if (!codes.empty() || payload.substr(0, 2) != "00")
    return out;

  ZArodezPayMerchantTLV record;
  if (record.decodeTLV(payload)) {
    out.push_back("a payload that validates does not decode");
    return out;
  }
  // The top-level fields; template sub-fields travel inside their template's map.
  FieldDictionary fields;
  for (const catalogue::Entry& entry : catalogue::entries) {
    if (entry.tag.size() != 2 || entry.key == "crc")
      continue;
    const auto value = record.valueForKey(entry.key);
    if (const std::string* text = std::get_if<std::string>(&value)) {
      fields.set(std::string(entry.key), *text);
    } else if (const TextMap* map = std::get_if<TextMap>(&value)) {
      FieldDictionary nested;
      for (const auto& [key, subValue] : *map)
        nested.set(key, subValue);
      fields.set(std::string(entry.key), std::move(nested));
    }
  }
  if (const auto unwritable = fields.firstUnwritableField())
    out.push_back("a decoded field is not writable: " + *unwritable);
  const PavendaResponse again = QRCodeGenerator::generateQRCodeString(fields);
  if (!again.tlvString())
    out.push_back("the decoded fields do not generate again, the first code " +
                  (again.qrCodeError() && !again.qrCodeError()->errorCodes().empty()
                       ? again.qrCodeError()->errorCodes()[0]
                       : std::string("none")));
  return out;
}

} // namespace pavenda::invariants

#endif
