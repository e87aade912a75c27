#ifndef PAVENDA_FUZZ_EXPLAININVARIANTS_H
#define PAVENDA_FUZZ_EXPLAININVARIANTS_H

// The explanation's promises on any payload: it explains exactly the codes validation raised, in
// their order; every field it names is in the payload where it says, with the value it quotes; and
// every offset it gives lies inside the payload. Checked against the public decoder's record and
// the payload text itself, never against the explanation code.

#include <cctype>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <pavenda/Findings.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/TLVGenerator.h>

#include "support/Unicode.h"

namespace pavenda::invariants {

using ExplainViolations = std::vector<std::string>;

namespace explaining {

inline bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Whether `value` occurs in `payload` right after `tag` and a length field of `lengthWidth`
// characters, anywhere from byte `from` on. Tags of the single-character scheme are read
// case-insensitively, as the decoder reads them.
inline bool elementOccurs(std::string_view payload, std::string_view tag, std::size_t lengthWidth,
                          std::string_view value, std::size_t from = 0) {
  const std::size_t head = tag.size() + lengthWidth;
  for (std::size_t at = payload.find(value, from + head); at != std::string_view::npos;
       at = payload.find(value, at + 1)) {
    if (at < head)
      continue;
    const std::string_view seen = payload.substr(at - head, tag.size());
    if (tag.size() == 1 ? equalIgnoringAsciiCase(seen, tag) : seen == tag)
      return true;
  }
  return false;
}

// The decoded text of the top-level field `field`, as the public record holds it.
inline std::optional<std::string> recordValue(const ZArodezPayMerchantTLV& record,
                                              std::string_view field) {
  const ZARODEZMerchantTLV::PropertyValue value = record.valueForKey(field);
  if (const auto* text = std::get_if<std::string>(&value))
    return *text;
  return std::nullopt;
}

} // namespace explaining

/// The explanation of `payload` against validation, the public decoder and the payload text.
inline ExplainViolations ofExplanation(std::string_view payload) {
  ExplainViolations out;
  const Explanation explanation = explainPayload(payload);
  const std::vector<std::string> codes = TLVGenerator::tlvValidation(payload);
  if (explanation.errorCodes != codes)
    out.push_back("explained codes differ from validated codes");
  if (explanation.findings.size() != codes.size()) {
    out.push_back("not one finding per code");
    return out;
  }
  for (std::size_t i = 0; i < codes.size(); ++i)
    if (explanation.findings[i].code != codes[i])
      out.push_back("finding " + std::to_string(i) + " explains code \"" +
                    explanation.findings[i].code + "\", validation raised \"" + codes[i] + "\"");

  const std::optional<unicode::CharIndex> characters = unicode::CharIndex::ofWellFormed(payload);
  const std::size_t length = characters ? characters->size() : payload.size();
  if (explanation.decodeError && explanation.decodeError->offset > length)
    out.push_back("decode error offset " + std::to_string(explanation.decodeError->offset) +
                  " lies beyond the payload's " + std::to_string(length) + " characters");

  ZArodezPayMerchantTLV record;
  if (record.decodeTLV(payload).has_value())
    return out; // only code "0", which names no field
  const bool singleCharacter = !record.payloadFormatIndicator().has_value();
  for (const Finding& finding : explanation.findings) {
    if (finding.fields.empty())
      out.push_back("finding of code \"" + finding.code + "\" names no field");
    for (const FindingField& field : finding.fields) {
      const std::string where = "code \"" + finding.code + "\", field " + field.field;
      if (!field.subtag) {
        const std::optional<std::string> decoded = explaining::recordValue(record, field.field);
        if (decoded != field.value) {
          out.push_back(where + ": value " + (field.value ? "'" + *field.value + "'" : "absent") +
                        " is not the decoded " + (decoded ? "'" + *decoded + "'" : "absence"));
          continue;
        }
      }
      if (!field.value)
        continue;
      const bool found = field.subtag
                             ? explaining::elementOccurs(payload, *field.subtag, 2, *field.value,
                                                         payload.find(field.tag))
                             : explaining::elementOccurs(payload, field.tag,
                                                         singleCharacter ? 1 : 2, *field.value);
      if (field.subtag && payload.find(field.tag) == std::string_view::npos)
        out.push_back(where + ": template tag " + field.tag + " is not in the payload");
      else if (!found)
        out.push_back(where + ": no element " + field.tag +
                      (field.subtag ? "/" + *field.subtag : "") + " with value '" + *field.value +
                      "' in the payload");
    }
  }
  return out;
}

} // namespace pavenda::invariants

#endif
