#ifndef PAVENDA_DECODING_PLACEMENT_H
#define PAVENDA_DECODING_PLACEMENT_H

// Where a decoded element is stored, decided once for every kind of record the decoder fills: the
// public record and the view that validation reads.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include <pavenda/PayMerchantTLV.h>

namespace pavenda::decoding {

/// What becomes of one element.
struct Placement {
  enum class Action : std::uint8_t {
    refuse, ///< not accepted: decoding stops with `invalidTag`
    skip,   ///< accepted and not stored
    text,   ///< stored in the text property `property`
    map,    ///< stored in the map property `property`
  };
  Action action = Action::refuse;
  std::uint8_t property = 0;
  bool setsTip = false;     ///< the tip and fee indicator: also sets `isTipAvailable`
  bool copiesToPan = false; ///< the merchant ID: also stored as `zArodezMerchantPAN`
};

/// The placement of a single-character-scheme element with tag `tag` (upper-cased first).
Placement placeTLV00(std::string_view tag) noexcept;

/// The placements of the two-digit tags "00" to "99" by number, as a plain element ([0]) and as a
/// template ([1]); the entry for "62" is not used.
using TwoDigitPlacements = std::array<std::array<Placement, 100>, 2>;
extern const TwoDigitPlacements twoDigitPlacements;

/// `placeTLV01` for what is not a two-digit tag other than "62".
Placement placeTLV01Other(std::string_view tag, std::optional<std::string_view> subtag,
                          std::string_view value, bool isTemplate) noexcept;

/// The placement of a two-digit-scheme element: a sub-field of tag 62 with `subtag`, or a whole
/// template when `isTemplate`, or a plain element; `value` is the element's text.
inline Placement placeTLV01(std::string_view tag, std::optional<std::string_view> subtag,
                            std::string_view value, bool isTemplate) noexcept {
  // Nearly every element: a table lookup, inline.
  if (tag.size() == 2 && tag[0] >= '0' && tag[0] <= '9' && tag[1] >= '0' && tag[1] <= '9' &&
      tag != "62")
    return twoDigitPlacements[isTemplate ? 1 : 0]
                             [static_cast<std::size_t>((tag[0] - '0') * 10 + (tag[1] - '0'))];
  return placeTLV01Other(tag, subtag, value, isTemplate);
}

/// Carries out `placement`: calls `storeText(TextProperty)` or `storeMap(MapProperty)` as it says.
/// Answers false when it refuses the element.
template <typename StoreText, typename StoreMap>
[[gnu::always_inline]] inline bool apply(const Placement& placement, StoreText&& storeText,
                                         StoreMap&& storeMap) {
  switch (placement.action) {
  case Placement::Action::refuse:
    return false;
  case Placement::Action::skip:
    return true;
  case Placement::Action::map:
    storeMap(static_cast<ZARODEZMerchantTLV::MapProperty>(placement.property));
    return true;
  case Placement::Action::text:
    storeText(static_cast<ZARODEZMerchantTLV::TextProperty>(placement.property));
    return true;
  }
  return false;
}

/// Only these indicator values mean that the customer may add a tip or pays a fee.
constexpr bool isTipIndicator(std::string_view value) noexcept {
  return value == "01" || value == "02" || value == "03";
}

} // namespace pavenda::decoding

#endif
