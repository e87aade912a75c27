#ifndef PAVENDA_EXPLANATION_ADVISORIES_H
#define PAVENDA_EXPLANATION_ADVISORIES_H

// What the rules allow but readers of a payload trip on. Advisories read the payload and the
// record decoded from it; they never add or remove a code.

#include <cstddef>
#include <string_view>
#include <vector>

#include <pavenda/Findings.h>
#include <pavenda/PayMerchantTLV.h>

namespace pavenda::explain {

/// Every advisory for `payload` and the record decoded from it (possibly partly, when decoding
/// failed), in the order framing, capacity, currency-decimals, invisible-characters.
std::vector<Advisory> advisoriesFor(const ZArodezPayMerchantTLV& record, std::string_view payload,
                                    ErrorCorrection level);

} // namespace pavenda::explain

#endif
