#ifndef PAVENDA_DECODING_PROPERTYTABLE_H
#define PAVENDA_DECODING_PROPERTYTABLE_H

// The table from property name to field behind the record's set-by-name and read-by-name, and the
// property of every catalogue entry, resolved at compile time so that decoding never looks a name
// up.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include <pavenda/MerchantTLV.h>

#include "encoding/TagCatalogue.h"

namespace pavenda::record {

enum class Kind : std::uint8_t { flag, text, map };

/// A property: its kind and its index among the properties of that kind.
struct PropertyRef {
  Kind kind;
  std::uint8_t index;
};

struct NamedProperty {
  std::string_view name;
  PropertyRef ref;
};

/// Every property in declaration order: the flag, then the text and map properties.
inline constexpr auto properties = [] {
  std::array<NamedProperty,
             1 + ZARODEZMerchantTLV::textPropertyCount + ZARODEZMerchantTLV::mapPropertyCount>
      table{};
  std::size_t n = 0;
  std::uint8_t texts = 0;
  std::uint8_t maps = 0;
  table[n++] = {"isTipAvailable", {Kind::flag, 0}};
#define PAVENDA_TEXT_PROPERTY(name, Name) table[n++] = {#name, {Kind::text, texts++}};
#define PAVENDA_MAP_PROPERTY(name, Name) table[n++] = {#name, {Kind::map, maps++}};
#include <pavenda/MerchantTLVProperties.def>
  return table;
}();

/// The properties in name order, for the binary search by name.
inline constexpr auto propertiesByName = [] {
  auto table = properties;
  std::sort(table.begin(), table.end(),
            [](const NamedProperty& a, const NamedProperty& b) { return a.name < b.name; });
  return table;
}();

/// The property named `name` (case-sensitive), or nothing; the one lookup by name, at compile time
/// and at run time.
constexpr std::optional<PropertyRef> propertyNamed(std::string_view name) noexcept {
  const auto found = std::lower_bound(
      propertiesByName.begin(), propertiesByName.end(), name,
      [](const NamedProperty& property, std::string_view n) { return property.name < n; });
  if (found == propertiesByName.end() || found->name != name)
    return std::nullopt;
  return found->ref;
}

/// The property that holds each catalogue entry, by entry index; every key is a property name.
inline constexpr auto entryProperties = [] {
  std::array<PropertyRef, catalogue::entries.size()> table{};
  for (std::size_t i = 0; i < table.size(); ++i)
    table[i] = *propertyNamed(catalogue::entries[i].key);
  return table;
}();

} // namespace pavenda::record

#endif
