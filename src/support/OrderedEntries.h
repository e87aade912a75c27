#ifndef PAVENDA_SUPPORT_ORDEREDENTRIES_H
#define PAVENDA_SUPPORT_ORDEREDENTRIES_H

// The flat, insertion-ordered key-value storage behind TextMap and FieldDictionary: small maps,
// where a linear search over a vector beats any tree or hash table.

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace pavenda::detail {

/// The entry of `entries` whose key is `key`, or `entries.end()`.
template <typename Entries> auto findEntry(Entries& entries, std::string_view key) noexcept {
  return std::find_if(entries.begin(), entries.end(),
                      [key](const auto& entry) { return entry.first == key; });
}

/// Stores `value` under `key`: in place when the key is present, at the end otherwise.
template <typename Entries, typename Value>
void insertOrAssign(Entries& entries, std::string key, Value value) {
  const auto found = findEntry(entries, key);
  if (found != entries.end())
    found->second = std::move(value);
  else
    entries.emplace_back(std::move(key), std::move(value));
}

} // namespace pavenda::detail

#endif
