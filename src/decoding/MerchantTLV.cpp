#include <pavenda/MerchantTLV.h>

#include "decoding/PropertyTable.h"

namespace pavenda {

bool ZARODEZMerchantTLV::isPropertyName(std::string_view key) noexcept {
  return record::propertyNamed(key).has_value();
}

bool ZARODEZMerchantTLV::setProperty(std::string_view key, PropertyValue value) {
  const auto ref = record::propertyNamed(key);
  if (!ref)
    return false;
  switch (ref->kind) {
  case record::Kind::flag:
    if (const bool* flag = std::get_if<bool>(&value)) {
      isTipAvailable_ = *flag;
      return true;
    }
    return false;
  case record::Kind::text:
    if (std::holds_alternative<std::monostate>(value)) {
      texts_[ref->index].reset();
      return true;
    }
    if (std::string* text = std::get_if<std::string>(&value)) {
      texts_[ref->index] = std::move(*text);
      return true;
    }
    return false;
  case record::Kind::map:
    if (std::holds_alternative<std::monostate>(value)) {
      maps_[ref->index].reset();
      return true;
    }
    if (TextMap* map = std::get_if<TextMap>(&value)) {
      maps_[ref->index] = std::move(*map);
      return true;
    }
    return false;
  }
  return false;
}

ZARODEZMerchantTLV::PropertyValue ZARODEZMerchantTLV::valueForKey(std::string_view key) const {
  const auto ref = record::propertyNamed(key);
  if (!ref)
    return std::monostate{};
  switch (ref->kind) {
  case record::Kind::flag:
    return isTipAvailable_;
  case record::Kind::text:
    if (texts_[ref->index])
      return *texts_[ref->index];
    return std::monostate{};
  case record::Kind::map:
    if (maps_[ref->index])
      return *maps_[ref->index];
    return std::monostate{};
  }
  return std::monostate{};
}

} // namespace pavenda
