#ifndef PAVENDA_TESTS_DECODING_RECORDSUPPORT_H
#define PAVENDA_TESTS_DECODING_RECORDSUPPORT_H

#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include <pavenda/PayMerchantTLV.h>

#include "decoding/PropertyTable.h"

namespace pavenda {

/// Property values by name, in the order they are set.
using Fields = std::vector<std::pair<std::string, ZARODEZMerchantTLV::PropertyValue>>;

/// A fresh record with exactly `fields` set.
inline ZArodezPayMerchantTLV recordWith(const Fields& fields) {
  ZArodezPayMerchantTLV record;
  for (const auto& [name, value] : fields)
    EXPECT_TRUE(record.setProperty(name, value)) << "not a property of that kind: " << name;
  return record;
}

/// The record as its flag and its present values (map entries as `property.key`), so that a failed
/// comparison shows the fields.
inline void PrintTo(const ZArodezPayMerchantTLV& record, std::ostream* os) {
  *os << "isTipAvailable=" << record.isTipAvailable();
  for (const record::NamedProperty& property : record::properties) {
    const ZARODEZMerchantTLV::PropertyValue value = record.valueForKey(property.name);
    if (const std::string* text = std::get_if<std::string>(&value))
      *os << ' ' << property.name << "=\"" << *text << '"';
    else if (const TextMap* map = std::get_if<TextMap>(&value))
      for (const auto& [key, entry] : *map)
        *os << ' ' << property.name << '.' << key << "=\"" << entry << '"';
  }
}

/// The `name` of a table row as its test name.
inline constexpr auto caseName = [](const auto& info) { return std::string(info.param.name); };

} // namespace pavenda

#endif
