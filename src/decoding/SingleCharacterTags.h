#ifndef PAVENDA_DECODING_SINGLECHARACTERTAGS_H
#define PAVENDA_DECODING_SINGLECHARACTERTAGS_H

// The fields of the single-character scheme, each with its tag: the one table that the decoder's
// placement, the explanations and the documentation read.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include <pavenda/PayMerchantTLV.h>

#include "decoding/PropertyTable.h"

namespace pavenda::decoding {

/// One tag of the single-character scheme and the text property (named `field`) that holds it.
struct SingleCharacterTag {
  PayMerchantValidTLV00 tag;
  std::string_view field;
  char character; ///< the tag's own character, kept so that `text` can view it

  /// The tag as text ("0", "A").
  constexpr std::string_view text() const noexcept { return {&character, 1}; }
};

namespace single_character_detail {
constexpr SingleCharacterTag entry(PayMerchantValidTLV00 tag, std::string_view field) noexcept {
  return {tag, field, static_cast<char>(tag)};
}
} // namespace single_character_detail

/// Every tag of the scheme, in tag order.
inline constexpr std::array singleCharacterTags = {
    single_character_detail::entry(PayMerchantValidTLV00::MerchantID, "zArodezMerchantID"),
    single_character_detail::entry(PayMerchantValidTLV00::MerchantName, "merchantName"),
    single_character_detail::entry(PayMerchantValidTLV00::MerchantCategoryCode,
                                   "merchantCategoryCode"),
    single_character_detail::entry(PayMerchantValidTLV00::CityName, "cityName"),
    single_character_detail::entry(PayMerchantValidTLV00::CountryCode, "countryCode"),
    single_character_detail::entry(PayMerchantValidTLV00::CurrencyCode, "currencyCode"),
    single_character_detail::entry(PayMerchantValidTLV00::TransactionAmount, "transactionAmount"),
    single_character_detail::entry(PayMerchantValidTLV00::PrimaryID, "primaryID"),
    single_character_detail::entry(PayMerchantValidTLV00::SecondaryID, "secondaryID"),
    single_character_detail::entry(PayMerchantValidTLV00::TipAndFeeIndicator, "tipAndFeeIndicator"),
    single_character_detail::entry(PayMerchantValidTLV00::ConvenienceFeeAmount,
                                   "convenienceFeeAmount"),
    single_character_detail::entry(PayMerchantValidTLV00::ConvenienceFeePercentage,
                                   "convenienceFeePercentage"),
};

/// The text property of each entry of `singleCharacterTags`, resolved at compile time.
inline constexpr auto singleCharacterProperties = [] {
  std::array<ZARODEZMerchantTLV::TextProperty, singleCharacterTags.size()> properties{};
  for (std::size_t i = 0; i < properties.size(); ++i)
    properties[i] = static_cast<ZARODEZMerchantTLV::TextProperty>(
        record::propertyNamed(singleCharacterTags[i].field)->index);
  return properties;
}();

/// The text property that holds `tag`.
constexpr ZARODEZMerchantTLV::TextProperty propertyOf(PayMerchantValidTLV00 tag) noexcept {
  for (std::size_t i = 0; i < singleCharacterTags.size(); ++i)
    if (singleCharacterTags[i].tag == tag)
      return singleCharacterProperties[i];
  return singleCharacterProperties.front();
}

// Every field names a text property.
static_assert([] {
  for (const SingleCharacterTag& entry : singleCharacterTags) {
    const auto property = record::propertyNamed(entry.field);
    if (!property || property->kind != record::Kind::text)
      return false;
  }
  return true;
}());

} // namespace pavenda::decoding

#endif
