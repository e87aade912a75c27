#ifndef PAVENDA_DECODING_DECODE_H
#define PAVENDA_DECODING_DECODE_H

#include <cstddef>
#include <optional>
#include <string_view>

#include <pavenda/PayMerchantTLV.h>

#include "validation/RecordView.h"

namespace pavenda::decoding {

/// Where and why decoding stopped.
struct [[nodiscard]] DecodeResult {
  /// Nothing when the whole payload decoded.
  std::optional<TLVDecodingError> error;
  /// On failure, the character position at which the element that stopped it starts (0 when the
  /// payload as a whole was refused).
  std::size_t offset = 0;

  bool ok() const noexcept { return !error; }
};

/// Decodes `payload` into `record` exactly as `ZArodezPayMerchantTLV::decodeTLV` does, through its
/// (overridable) assignment operations.
DecodeResult decode(ZArodezPayMerchantTLV& record, std::string_view payload);

/// Decodes `payload` into views for validation: the same acceptance and the same result as
/// `decodeTLV` on a plain record, without copying any text. `view` refers to `payload` afterwards.
DecodeResult decode(validation::RecordView& view, std::string_view payload);

} // namespace pavenda::decoding

#endif
