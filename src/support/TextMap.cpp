#include <pavenda/TextMap.h>

#include <algorithm>

namespace pavenda {

TextMap::TextMap(std::initializer_list<value_type> entries) {
  for (const value_type& entry : entries)
    insertOrAssign(entry.first, entry.second);
}

const std::string* TextMap::find(std::string_view key) const noexcept {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [key](const value_type& entry) { return entry.first == key; });
  return found == entries_.end() ? nullptr : &found->second;
}

void TextMap::insertOrAssign(std::string key, std::string value) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&key](const value_type& entry) { return entry.first == key; });
  if (found != entries_.end())
    found->second = std::move(value);
  else
    entries_.emplace_back(std::move(key), std::move(value));
}

} // namespace pavenda
