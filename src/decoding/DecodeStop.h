#ifndef PAVENDA_DECODING_DECODESTOP_H
#define PAVENDA_DECODING_DECODESTOP_H

// Where and why a decode stopped, for the explanations; the decoder's own answer stays the bare
// error.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <pavenda/PayMerchantTLV.h>

#include "decoding/Decode.h"

namespace pavenda::decoding {

/// The rule a decode broke.
enum class StopReason : std::uint8_t {
  notUtf8,         ///< the text is not well-formed UTF-8; `offset` is not set by the decoder
  tooLong,         ///< more bytes than character positions can count (4 GiB)
  tooShort,        ///< fewer than 2 characters in all (`remaining`)
  tagCutShort,     ///< fewer characters left than a tag takes
  repeatedTag,     ///< `element` occurred before at the same level
  lengthCutShort,  ///< fewer characters left than a length field takes
  lengthNotNumber, ///< the length field `element` is not a number
  lengthBelowOne,  ///< the length field `element` is below 1
  valueCutShort,   ///< `declared` characters needed, only `remaining` left
  refused,         ///< the tag `element` is not one the record accepts there
  noClosingCrc,    ///< the last tag, `element`, is not 63
};

/// The stopping point of a failed decode. `offset` counts user-perceived characters before the
/// tag, length or value that failed (0-based); `enclosing` is the template being read, if any.
struct DecodeStop {
  StopReason reason = StopReason::tooShort;
  std::size_t offset = 0;
  std::string element{};
  std::string enclosing{};
  std::size_t declared = 0;
  std::size_t remaining = 0;
};

/// `decode` into a record, also writing the stopping point to `stop` (when not null) on failure.
DecodeResult decode(ZArodezPayMerchantTLV& record, std::string_view payload, DecodeStop* stop);

} // namespace pavenda::decoding

#endif
