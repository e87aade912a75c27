#ifndef PAVENDA_DECODING_READBACK_H
#define PAVENDA_DECODING_READBACK_H

#include <span>
#include <string_view>

#include "encoding/TLVEncoder.h"

namespace pavenda::decoding {

/// Whether the decoder's framing of `payload` (two-digit scheme, counted in user-perceived
/// characters of the whole payload) splits it into exactly the data objects in `written`,
/// sub-fields of the templates it reads as templates included. A value of 100 or more characters, a
/// sub-tag that is not two characters, or a value that merges with the digits before it into one
/// character all fail.
bool readsBackAsWritten(std::string_view payload, std::span<const encoding::WrittenObject> written);

} // namespace pavenda::decoding

#endif
