#include <pavenda/PayMerchantTLV.h>

#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "decoding/PropertyTable.h"
#include "encoding/TagCatalogue.h"

namespace pavenda {
namespace {

using TextProperty = ZARODEZMerchantTLV::TextProperty;
using MapProperty = ZARODEZMerchantTLV::MapProperty;

constexpr std::size_t tipAndFeeIndex = *catalogue::indexOfTag("55");
constexpr std::size_t merchantIDIndex = *catalogue::indexOfTag("02");

// Only these indicator values mean that the customer may add a tip or pays a fee.
bool isTipIndicator(std::string_view value) noexcept {
  return value == "01" || value == "02" || value == "03";
}

constexpr TextProperty propertyOf(PayMerchantValidTLV00 tag) noexcept {
  switch (tag) {
  case PayMerchantValidTLV00::MerchantID:
    return TextProperty::zArodezMerchantID;
  case PayMerchantValidTLV00::MerchantName:
    return TextProperty::merchantName;
  case PayMerchantValidTLV00::MerchantCategoryCode:
    return TextProperty::merchantCategoryCode;
  case PayMerchantValidTLV00::CityName:
    return TextProperty::cityName;
  case PayMerchantValidTLV00::CountryCode:
    return TextProperty::countryCode;
  case PayMerchantValidTLV00::CurrencyCode:
    return TextProperty::currencyCode;
  case PayMerchantValidTLV00::TransactionAmount:
    return TextProperty::transactionAmount;
  case PayMerchantValidTLV00::PrimaryID:
    return TextProperty::primaryID;
  case PayMerchantValidTLV00::SecondaryID:
    return TextProperty::secondaryID;
  case PayMerchantValidTLV00::TipAndFeeIndicator:
    return TextProperty::tipAndFeeIndicator;
  case PayMerchantValidTLV00::ConvenienceFeeAmount:
    return TextProperty::convenienceFeeAmount;
  case PayMerchantValidTLV00::ConvenienceFeePercentage:
    return TextProperty::convenienceFeePercentage;
  }
  return TextProperty::zArodezMerchantID;
}

bool isAsciiDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}

} // namespace

std::string_view toString(TLVDecodingError error) noexcept {
  switch (error) {
  case TLVDecodingError::invalidLength:
    return "invalidLength";
  case TLVDecodingError::invalidTagLength:
    return "invalidTagLength";
  case TLVDecodingError::repeatedTag:
    return "repeatedTag";
  case TLVDecodingError::invalidTag:
    return "invalidTag";
  }
  return "invalidTag";
}

std::optional<PayMerchantValidTLV00> payMerchantValidTLV00(std::string_view rawValue) noexcept {
  if (rawValue.size() != 1)
    return std::nullopt;
  const char c = rawValue.front();
  if (isAsciiDigit(c) || c == 'A' || c == 'B')
    return static_cast<PayMerchantValidTLV00>(c);
  return std::nullopt;
}

bool ZArodezPayMerchantTLV::assignTLV00(std::string_view tag, int /*length*/,
                                        std::string_view value) {
  // Upper-casing only matters for ASCII: no other character upper-cases to "A" or "B", so a
  // non-ASCII tag has no case either way.
  if (tag.size() != 1)
    return false;
  const char c = tag.front();
  const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  const std::optional<PayMerchantValidTLV00> valid =
      payMerchantValidTLV00(std::string_view(&upper, 1));
  if (!valid)
    return false;
  if (*valid == PayMerchantValidTLV00::TipAndFeeIndicator)
    setIsTipAvailable(isTipIndicator(value));
  storeText(propertyOf(*valid), value);
  return true;
}

bool ZArodezPayMerchantTLV::assignTLV01(std::string_view tag,
                                        std::optional<std::string_view> subtag, int /*length*/,
                                        std::string_view value,
                                        std::optional<TextMap> valueDictionary) {
  std::optional<std::size_t> entry;
  if (tag == "62") {
    if (subtag) {
      // Only a two-digit decimal sub-tag has a number; anything else is refused.
      if (subtag->size() != 2 || !isAsciiDigit((*subtag)[0]) || !isAsciiDigit((*subtag)[1]))
        return false;
      const std::array<char, 4> composite{'6', '2', (*subtag)[0], (*subtag)[1]};
      entry = catalogue::indexOfTag(std::string_view(composite.data(), composite.size()));
      if (!entry) {
        const int number = ((*subtag)[0] - '0') * 10 + ((*subtag)[1] - '0');
        return number >= 15; // 15 to 99 are accepted and not stored; 00 is refused
      }
    } else if (valueDictionary) {
      setMap(MapProperty::additionalDataFieldTemplate, std::move(*valueDictionary));
      return true;
    } else {
      if (value.empty())
        return false;
      storeText(TextProperty::additionalDataField, value);
      return true;
    }
  } else {
    entry = catalogue::indexOfTag(tag);
    if (!entry)
      return false;
  }

  const record::PropertyRef property = record::entryProperties[*entry];
  if (property.kind == record::Kind::map) {
    if (!valueDictionary)
      return false;
    setMap(static_cast<MapProperty>(property.index), std::move(*valueDictionary));
    return true;
  }
  if (property.kind != record::Kind::text || valueDictionary)
    return false;
  storeText(static_cast<TextProperty>(property.index), value);
  if (*entry == tipAndFeeIndex)
    setIsTipAvailable(isTipIndicator(value));
  if (*entry == merchantIDIndex)
    storeText(TextProperty::zArodezMerchantPAN, value);
  return true;
}

} // namespace pavenda
