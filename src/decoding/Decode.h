#ifndef PAVENDA_DECODING_DECODE_H
#define PAVENDA_DECODING_DECODE_H

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include <pavenda/PayMerchantTLV.h>

#include "encoding/TLVEncoder.h"
#include "decoding/RecordView.h"

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
/// `decodeTLV` on a plain record, without copying any text. `view` (empty on entry) refers to
/// `payload` afterwards. Tries `decodeOrdinary` first, then `decodeGeneral`.
DecodeResult decode(RecordView& view, std::string_view payload);

/// The fast path of `decode`: decodes a payload of the two-digit scheme whose tags and lengths are
/// two ASCII digits each, reading bytes directly. Answers false for anything else, and for any
/// payload `decodeGeneral` would refuse, leaving `view` partly filled (clear it before reuse).
/// When it answers true, `view` holds what `decodeGeneral` gives.
[[nodiscard]] bool decodeOrdinary(RecordView& view, std::string_view payload);

/// `decodeOrdinary` that also makes generation's read-back check (`readsBackAsWritten`) on the
/// way: true only when both succeed. False leaves both undecided: make them the general way.
[[nodiscard]] bool decodeOrdinaryAsWritten(RecordView& view, std::string_view payload,
                                           std::span<const encoding::WrittenObject> written);

/// The general path of `decode`, for every payload: characters indexed, every rule applied in turn.
DecodeResult decodeGeneral(RecordView& view, std::string_view payload);

} // namespace pavenda::decoding

#endif
