#include <pavenda/PayMerchantTLV.h>

#include <string>
#include <utility>

#include "decoding/Placement.h"
#include "support/AsciiNumber.h"

namespace pavenda {
namespace {

using TextProperty = ZARODEZMerchantTLV::TextProperty;
using MapProperty = ZARODEZMerchantTLV::MapProperty;

// Stores `value` (or `dictionary`, for a map) where `placement` says; false when it refuses.
bool store(ZArodezPayMerchantTLV& record, const decoding::Placement& placement,
           std::string_view value, TextMap* dictionary) {
  return decoding::apply(
      placement,
      [&](TextProperty property) {
        record.setText(property, std::string(value));
        if (placement.setsTip)
          record.setIsTipAvailable(decoding::isTipIndicator(value));
        if (placement.copiesToPan)
          record.setText(TextProperty::zArodezMerchantPAN, std::string(value));
      },
      [&](MapProperty property) { record.setMap(property, std::move(*dictionary)); });
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
  return "unknown";
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
  return store(*this, decoding::placeTLV00(tag), value, nullptr);
}

bool ZArodezPayMerchantTLV::assignTLV01(std::string_view tag,
                                        std::optional<std::string_view> subtag, int /*length*/,
                                        std::string_view value,
                                        std::optional<TextMap> valueDictionary) {
  return store(*this, decoding::placeTLV01(tag, subtag, value, valueDictionary.has_value()), value,
               valueDictionary ? &*valueDictionary : nullptr);
}

} // namespace pavenda
