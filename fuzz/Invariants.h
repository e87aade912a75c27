#ifndef PAVENDA_FUZZ_INVARIANTS_H
#define PAVENDA_FUZZ_INVARIANTS_H

// The library's promises, checked on any input. The fuzz targets abort on a broken one; the test
// suite replays the fuzz corpora through the same checks. Each check answers one line per broken
// promise, none when all hold.

#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <pavenda/ErrorConstants.h>
#include <pavenda/FieldDictionary.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/TLVGenerator.h>

#include "decoding/Decode.h"
#include "decoding/ReadBack.h"
#include "encoding/TLVEncoder.h"
#include "encoding/TagCatalogue.h"
#include "public/PayloadValidation.h"

namespace pavenda::invariants {

using Violations = std::vector<std::string>;

/// Whether validation may raise `code`: a code of the catalogue, or "40", which has no message.
inline bool isCatalogueCode(std::string_view code) {
  return code == ZArodezErrorConstants::convenienceFeePercentageInvalidTagPresent ||
         ZArodezErrorConstantsMap::message(code).has_value();
}

/// Codes come from the catalogue, each at most once.
inline void checkCodes(const std::vector<std::string>& codes, std::string_view what,
                       Violations& out) {
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (!isCatalogueCode(codes[i]))
      out.push_back(std::string(what) + ": code \"" + codes[i] + "\" is not in the catalogue");
    if (std::find(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(i), codes[i]) !=
        codes.begin() + static_cast<std::ptrdiff_t>(i))
      out.push_back(std::string(what) + ": code \"" + codes[i] + "\" is raised twice");
  }
}

/// Decoding and validation of any text: catalogue codes only, each once; a text that does not
/// decode gives the single code "0", one that decodes never gives "0"; the same text always gives
/// the same codes.
inline Violations ofPayload(std::string_view payload) {
  Violations out;
  const std::vector<std::string> codes = TLVGenerator::tlvValidation(payload);
  checkCodes(codes, "validation", out);
  ZArodezPayMerchantTLV record;
  const bool decodes = !record.decodeTLV(payload).has_value();
  const std::vector<std::string> malformed{std::string(ZArodezErrorConstants::malformedTags)};
  if (!decodes && codes != malformed)
    out.push_back("a payload that does not decode must give the single code 0");
  if (decodes && std::find(codes.begin(), codes.end(), malformed[0]) != codes.end())
    out.push_back("a payload that decodes must not give code 0");
  if (TLVGenerator::tlvValidation(payload) != codes)
    out.push_back("validating the same payload twice gave different codes");
  decoding::RecordView fast;
  decoding::RecordView general;
  const bool generalDecodes = decoding::decodeGeneral(general, payload).ok();
  if (decoding::decodeOrdinary(fast, payload) && (!generalDecodes || !(fast == general)))
    out.push_back("the fast decoder read what the general one reads otherwise");
  return out;
}

namespace detail {

// A text field the payload must carry back: the property it lands in and its value.
struct ExpectedText {
  std::string_view property;
  std::string value;
};

// A sub-field of a template the payload must carry back: the template's property, the key under
// which the decoded map holds it, and its value.
struct ExpectedSubField {
  std::string_view property;
  std::string key;
  std::string value;
};

struct Expected {
  std::vector<ExpectedText> texts;
  std::vector<ExpectedSubField> subFields;
};

inline bool isTwoDigits(std::string_view text) {
  return text.size() == 2 && text[0] >= '0' && text[0] <= '9' && text[1] >= '0' && text[1] <= '9';
}

// The catalogue entry a key names, as a field key or as a tag number.
inline std::optional<std::size_t> entryOf(std::string_view key) {
  if (const auto index = catalogue::indexOfTag(key))
    return index;
  return catalogue::indexOfKey(key);
}

// The entries of `map` whose catalogue entry (or own key) is named once only, value given under a
// tag number winning over one given under the field key, as the encoder resolves them.
inline std::map<std::string, const FieldValue*> resolve(const FieldDictionary& map) {
  std::map<std::string, const FieldValue*> chosen;
  std::map<std::string, bool> byTag;
  for (const auto& [key, value] : map) {
    const std::optional<std::size_t> entry = entryOf(key);
    const std::string name = entry ? std::string(catalogue::entries[*entry].key) : key;
    const bool givenByTag = entry && catalogue::indexOfTag(key).has_value();
    if (chosen.contains(name) && byTag[name] && !givenByTag)
      continue;
    chosen[name] = &value;
    byTag[name] = givenByTag;
  }
  return chosen;
}

// The sub-fields of template `tag` (given as map `map`) that map one to one onto the decoded map.
inline void expectSubFields(std::string_view tag, std::string_view property,
                            const FieldDictionary& map, Expected& expected) {
  for (const auto& [name, value] : resolve(map)) {
    if (value->text() == nullptr)
      continue;
    std::optional<std::string> key;
    if (tag == "64") {
      if (catalogue::languageSubtagForKey(name))
        key = name;
    } else if (tag == "62") {
      const auto entry = catalogue::indexOfKey(name);
      if (entry && catalogue::entries[*entry].tag.size() == 4) {
        key = name;
        expected.texts.push_back({catalogue::entries[*entry].key, *value->text()});
      }
    } else if (isTwoDigits(name)) {
      key = name;
    } else if (const auto entry = catalogue::indexOfKey(name);
               entry && catalogue::entries[*entry].tag.size() == 2) {
      key = std::string(catalogue::entries[*entry].tag); // a field key stands for its tag here
    }
    if (key)
      expected.subFields.push_back({property, *key, *value->text()});
  }
}

// What a payload generated from `dictionary` must decode back to, as far as fields map one to one:
// texts of plain fields, and the sub-fields of templates given as maps.
inline Expected expectedFields(const FieldDictionary& dictionary) {
  Expected expected;
  for (const auto& [name, value] : resolve(dictionary)) {
    const std::optional<std::size_t> entry = catalogue::indexOfKey(name);
    if (!entry)
      continue;
    const std::string_view tag = catalogue::entries[*entry].tag;
    const bool isTemplate = tag == "62" || catalogue::isTemplateTag(tag);
    if (tag.size() != 2 || tag == "63")
      continue;
    if (value->text() != nullptr && !isTemplate)
      expected.texts.push_back({catalogue::entries[*entry].key, *value->text()});
    else if (value->map() != nullptr && isTemplate)
      expectSubFields(tag, catalogue::entries[*entry].key, *value->map(), expected);
  }
  return expected;
}

} // namespace detail

/// Generation from any dictionary: a payload or codes, never both or neither; a payload is the
/// encoder's text, validates with no codes and decodes back to the fields it was made from; codes
/// come from the catalogue, each once, with one error object each carrying its message; the
/// completion handler is called once with the same response.
inline Violations ofGeneration(const FieldDictionary& dictionary) {
  Violations out;
  const PavendaResponse response = QRCodeGenerator::generateQRCodeString(dictionary);
  int handlerCalls = 0;
  QRCodeGenerator::generateQRCodeString(dictionary, [&](std::optional<PavendaResponse> handed) {
    ++handlerCalls;
    if (handed != response)
      out.push_back("the completion handler got another response");
  });
  if (handlerCalls != 1)
    out.push_back("the completion handler was called " + std::to_string(handlerCalls) + " times");

  // The read-back check made while decoding answers as the separate check followed by validation.
  encoding::WrittenObjects written;
  const std::string encoded = encoding::encode(dictionary, &written);
  const pavenda::detail::ValidationResult separate =
      decoding::readsBackAsWritten(encoded, written)
          ? pavenda::detail::validatePayload(encoded, true)
          : pavenda::detail::malformed();
  if (pavenda::detail::validateWritten(encoded, written).codes != separate.codes)
    out.push_back("the read-back made while decoding answered otherwise than the separate one");

  if (const std::optional<std::string>& payload = response.tlvString()) {
    if (response.qrCodeError() || response.qrErrors())
      out.push_back("a response with a payload also carries errors");
    if (*payload != TLVGenerator::encodeDictToTLV(dictionary))
      out.push_back("the payload handed out is not the encoder's text");
    const std::vector<std::string> codes = TLVGenerator::tlvValidation(*payload);
    if (!codes.empty())
      out.push_back("the payload handed out validates with codes, the first " + codes[0]);
    ZArodezPayMerchantTLV record;
    if (record.decodeTLV(*payload)) {
      out.push_back("the payload handed out does not decode");
      return out;
    }
    const detail::Expected expected = detail::expectedFields(dictionary);
    for (const detail::ExpectedText& text : expected.texts) {
      const auto decoded = record.valueForKey(text.property);
      const std::string* got = std::get_if<std::string>(&decoded);
      if (got == nullptr || *got != text.value)
        out.push_back("field " + std::string(text.property) + " does not decode to its value");
    }
    for (const detail::ExpectedSubField& sub : expected.subFields) {
      const auto decoded = record.valueForKey(sub.property);
      const TextMap* map = std::get_if<TextMap>(&decoded);
      const std::string* got = map != nullptr ? map->find(sub.key) : nullptr;
      if (got == nullptr || *got != sub.value)
        out.push_back("sub-field " + sub.key + " of " + std::string(sub.property) +
                      " does not decode to its value");
    }
    return out;
  }

  if (!response.qrCodeError() || !response.qrErrors()) {
    out.push_back("a response without a payload lacks its codes or error objects");
    return out;
  }
  const std::vector<std::string>& codes = response.qrCodeError()->errorCodes();
  if (codes.empty())
    out.push_back("a response without a payload has no codes");
  checkCodes(codes, "generation", out);
  const std::vector<QRError>& errors = *response.qrErrors();
  if (errors.size() != codes.size()) {
    out.push_back("the error objects do not match the codes one to one");
    return out;
  }
  for (std::size_t i = 0; i < codes.size(); ++i)
    if (errors[i].errorCode() != codes[i] ||
        errors[i].errorDescription() != ZArodezErrorConstantsMap::message(codes[i]).value_or(""))
      out.push_back("error object " + std::to_string(i) + " does not carry code and message");
  return out;
}

/// Generation from any JSON text: reading it never fails but by answering nothing, and what it
/// reads keeps every promise of generation.
inline Violations ofJSON(std::string_view json) {
  std::string error;
  const std::optional<FieldDictionary> dictionary = FieldDictionary::fromJSON(json, &error);
  if (!dictionary) {
    if (error.empty())
      return {"JSON that does not read gives no reason"};
    return {};
  }
  return ofGeneration(*dictionary);
}

} // namespace pavenda::invariants

#endif
