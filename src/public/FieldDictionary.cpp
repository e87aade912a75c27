#include <pavenda/FieldDictionary.h>

#include "support/Exceptions.h"
#include "support/OrderedEntries.h"

namespace pavenda {
namespace {

// Up to this many entries a linear search over the vector is faster than hashing.
constexpr std::size_t linearLimit = 16;

} // namespace

FieldDictionary::FieldDictionary(std::initializer_list<value_type> entries) {
  for (const value_type& entry : entries)
    set(entry.first, entry.second);
}

const FieldValue* FieldDictionary::find(std::string_view key) const noexcept {
  if (index_.empty()) {
    const auto found = detail::findEntry(entries_, key);
    return found == entries_.end() ? nullptr : &found->second;
  }
  const auto found = index_.find(key);
  return found == index_.end() ? nullptr : &entries_[found->second].second;
}

void FieldDictionary::set(std::string key, FieldValue value) {
  if (index_.empty() && entries_.size() < linearLimit) {
    detail::insertOrAssign(entries_, std::move(key), std::move(value));
    return;
  }
  if (index_.empty()) {
#if PAVENDA_HAS_EXCEPTIONS
    try {
#endif
      index_.reserve(entries_.size() * 2);
      for (std::size_t i = 0; i < entries_.size(); ++i)
        index_.emplace(entries_[i].first, i);
#if PAVENDA_HAS_EXCEPTIONS
    } catch (...) {
      // A half-built index would answer wrongly; without one the entries are searched in order.
      index_.clear();
      throw;
    }
#endif
  }
  const auto [found, inserted] = index_.try_emplace(key, entries_.size());
  if (!inserted) {
    entries_[found->second].second = std::move(value);
    return;
  }
#if PAVENDA_HAS_EXCEPTIONS
  try {
#endif
    entries_.emplace_back(std::move(key), std::move(value));
#if PAVENDA_HAS_EXCEPTIONS
  } catch (...) {
    index_.erase(found);
    throw;
  }
#endif
}

bool FieldDictionary::erase(std::string_view key) {
  const auto found = detail::findEntry(entries_, key);
  if (found == entries_.end())
    return false;
  const auto position = static_cast<std::size_t>(found - entries_.begin());
  if (!index_.empty()) {
    index_.erase(index_.find(key));
    for (auto& [indexed, at] : index_)
      if (at > position)
        --at;
  }
  entries_.erase(found);
  return true;
}

bool operator==(const FieldDictionary& a, const FieldDictionary& b) {
  return a.entries_ == b.entries_;
}

} // namespace pavenda
