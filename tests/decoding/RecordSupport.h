#ifndef PAVENDA_TESTS_DECODING_RECORDSUPPORT_H
#define PAVENDA_TESTS_DECODING_RECORDSUPPORT_H

// Building expected records by property name, and printing records readably when a comparison
// fails.

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
inline ZArodezPayMerchantTLV recordWith(const Fields &fields) {
  ZArodezPayMerchantTLV record;
  for (const auto &[name, value] : fields) {
    const bool accepted = record.setProperty(name, value);
    EXPECT_TRUE(accepted) << "not a property of that kind: " << name;
  }
  return record;
}

/// The record as the properties that differ from a fresh record.
inline void PrintTo(const ZARODEZMerchantTLV &record, std::ostream *os) {
  *os << "{";
  for (const record::NamedProperty &property : record::properties) {
    const ZARODEZMerchantTLV::PropertyValue value = record.valueForKey(property.name);
    if (const bool *flag = std::get_if<bool>(&value)) {
      *os << ' ' << property.name << '=' << (*flag ? "true" : "false");
    } else if (const std::string *text = std::get_if<std::string>(&value)) {
      *os << ' ' << property.name << "=\"" << *text << '"';
    } else if (const TextMap *map = std::get_if<TextMap>(&value)) {
      *os << ' ' << property.name << "={";
      for (const auto &[key, entry] : *map)
        *os << ' ' << key << ":\"" << entry << '"';
      *os << " }";
    }
  }
  *os << " }";
}

inline void PrintTo(const ZArodezPayMerchantTLV &record, std::ostream *os) {
  PrintTo(static_cast<const ZARODEZMerchantTLV &>(record), os);
}

} // namespace pavenda

#endif
