#include <pavenda/TextMap.h>

#include "support/OrderedEntries.h"

namespace pavenda {

TextMap::TextMap(std::initializer_list<value_type> entries) {
  for (const value_type& entry : entries)
    insertOrAssign(entry.first, entry.second);
}

const std::string* TextMap::find(std::string_view key) const noexcept {
  const auto found = detail::findEntry(entries_, key);
  return found == entries_.end() ? nullptr : &found->second;
}

void TextMap::insertOrAssign(std::string key, std::string value) {
  detail::insertOrAssign(entries_, std::move(key), std::move(value));
}

} // namespace pavenda
