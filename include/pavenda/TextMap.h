#ifndef PAVENDA_TEXTMAP_H
#define PAVENDA_TEXTMAP_H

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pavenda {

/// A small map from text to text that keeps its keys in insertion order.
///
/// Decoded templates (the sub-fields of tags 26 to 51, 62, 64 and 80 to 99) are held as a
/// `TextMap`, in the order in which the payload carries them. Lookups are linear: templates hold a
/// handful of entries, and a flat vector beats a tree or a hash table at that size.
class TextMap {
public:
  using value_type = std::pair<std::string, std::string>;
  using const_iterator = std::vector<value_type>::const_iterator;

  /// An empty map.
  TextMap() = default;

  /// A map of the given entries in their order; a repeated key keeps its first place and its last
  /// value.
  TextMap(std::initializer_list<value_type> entries);

  /// The value stored under `key`, or null when there is none. The pointer is valid until the next
  /// write.
  const std::string* find(std::string_view key) const noexcept;

  /// Whether `key` has an entry.
  bool contains(std::string_view key) const noexcept { return find(key) != nullptr; }

  /// Stores `value` under `key`: in place when the key is present, at the end otherwise.
  void insertOrAssign(std::string key, std::string value);

  /// Makes room for `count` entries, so that filling the map up to that size allocates once.
  void reserve(std::size_t count) { entries_.reserve(count); }

  /// The number of entries.
  std::size_t size() const noexcept { return entries_.size(); }

  /// Whether the map has no entry.
  bool empty() const noexcept { return entries_.empty(); }

  /// Iteration in insertion order.
  const_iterator begin() const noexcept { return entries_.begin(); }
  const_iterator end() const noexcept { return entries_.end(); }

  /// Equal when both hold the same entries in the same order.
  friend bool operator==(const TextMap&, const TextMap&) = default;

private:
  std::vector<value_type> entries_;
};

} // namespace pavenda

#endif
