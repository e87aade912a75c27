#include "decoding/Placement.h"

#include <array>

#include "decoding/PropertyTable.h"
#include "decoding/SingleCharacterTags.h"
#include "encoding/TagCatalogue.h"
#include "support/AsciiNumber.h"

namespace pavenda::decoding {
namespace {

using TextProperty = ZARODEZMerchantTLV::TextProperty;
using MapProperty = ZARODEZMerchantTLV::MapProperty;
using Action = Placement::Action;

constexpr std::size_t tipAndFeeIndex = *catalogue::indexOfTag("55");
constexpr std::size_t merchantIDIndex = *catalogue::indexOfTag("02");

constexpr Placement text(TextProperty property) noexcept {
  return {Action::text, static_cast<std::uint8_t>(property)};
}

constexpr Placement map(MapProperty property) noexcept {
  return {Action::map, static_cast<std::uint8_t>(property)};
}

// The placement of catalogue entry `entry`, an element or a template by `isTemplate`.
constexpr Placement placeEntry(std::size_t entry, bool isTemplate) noexcept {
  const record::PropertyRef property = record::entryProperties[entry];
  if (property.kind == record::Kind::map)
    return isTemplate ? map(static_cast<MapProperty>(property.index)) : Placement{};
  if (property.kind != record::Kind::text || isTemplate)
    return {};
  Placement placement = text(static_cast<TextProperty>(property.index));
  placement.setsTip = entry == tipAndFeeIndex;
  placement.copiesToPan = entry == merchantIDIndex;
  return placement;
}

} // namespace

// Every element goes through here, so the catalogue is consulted once, at compile time.
constexpr TwoDigitPlacements twoDigitPlacements = [] {
  TwoDigitPlacements table{};
  for (std::size_t n = 0; n < table[0].size(); ++n) {
    const std::array<char, 2> tag{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    const std::optional<std::size_t> entry =
        catalogue::indexOfTag(std::string_view(tag.data(), tag.size()));
    for (const bool isTemplate : {false, true})
      table[isTemplate ? 1 : 0][n] = entry ? placeEntry(*entry, isTemplate) : Placement{};
  }
  return table;
}();

Placement placeTLV00(std::string_view tag) noexcept {
  // Upper-casing only matters for ASCII: no other character upper-cases to "A" or "B", so a
  // non-ASCII tag has no case either way.
  if (tag.size() != 1)
    return {};
  const char c = tag.front();
  const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  const std::optional<PayMerchantValidTLV00> valid =
      payMerchantValidTLV00(std::string_view(&upper, 1));
  if (!valid)
    return {};
  Placement placement = text(propertyOf(*valid));
  placement.setsTip = *valid == PayMerchantValidTLV00::TipAndFeeIndicator;
  return placement;
}

Placement placeTLV01Other(std::string_view tag, std::optional<std::string_view> subtag,
                          std::string_view value, bool isTemplate) noexcept {
  if (tag != "62") {
    const std::optional<std::size_t> entry = catalogue::indexOfTag(tag);
    return entry ? placeEntry(*entry, isTemplate) : Placement{};
  }
  if (subtag) {
    // Only a two-digit decimal sub-tag has a number; anything else is refused.
    const std::optional<int> number = twoAsciiDigits(*subtag);
    if (!number)
      return {};
    const std::array<char, 4> composite{'6', '2', (*subtag)[0], (*subtag)[1]};
    if (const auto entry =
            catalogue::indexOfTag(std::string_view(composite.data(), composite.size())))
      return placeEntry(*entry, isTemplate);
    // 15 to 99 are accepted and not stored; 00 is refused.
    return *number >= 15 ? Placement{Action::skip} : Placement{};
  }
  if (isTemplate)
    return map(MapProperty::additionalDataFieldTemplate);
  if (value.empty())
    return {};
  return text(TextProperty::additionalDataField);
}

} // namespace pavenda::decoding
