#ifndef PAVENDA_EXPLANATION_FINDINGS_H
#define PAVENDA_EXPLANATION_FINDINGS_H

// The explanation of each code, derived from the decoded record alone; the codes themselves are the
// validator's and are never changed here.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/Findings.h>
#include <pavenda/PayMerchantTLV.h>

#include "decoding/DecodeStop.h"
#include "validation/Checks.h"

namespace pavenda::explain {

/// One finding per code of `codes`, in order, for the record decoded from `payload`, wording the
/// `facts` that validation recorded as it raised them.
std::vector<Finding> findingsFor(const ZArodezPayMerchantTLV& record,
                                 std::span<const std::string> codes, std::string_view payload,
                                 const validation::Facts& facts);

/// The tag of the field `key` in a payload of the single-character scheme or the two-digit one
/// ("merchantName" is "1" or "59"; "billID" is "6201"); "" for a field the scheme does not have.
std::string_view tagOfField(std::string_view key, bool singleCharacter) noexcept;

/// The field key of `tag` in a payload of either scheme, or "" when it has none.
std::string_view fieldOfTag(std::string_view tag, bool singleCharacter) noexcept;

/// The words and place of a failed decode of `payload`.
DecodeError describeStop(const decoding::DecodeStop& stop, std::string_view payload);

/// The finding of code "0" for `error`.
Finding malformedFinding(const DecodeError& error);

/// The CRC given in the record decoded from `payload` and the one computed over it.
CrcCheck crcCheck(const ZArodezPayMerchantTLV& record, std::string_view payload);

/// The four upper-case hexadecimal digits of the payload CRC over `payload` without its last four
/// characters, or nothing when it has fewer than four.
std::optional<std::string> computedCrc(std::string_view payload);

} // namespace pavenda::explain

#endif
