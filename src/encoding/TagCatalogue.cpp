#include "encoding/TagCatalogue.h"

#include <algorithm>
#include <cstdint>

namespace pavenda::catalogue {

namespace {

// The length and four of the characters (the first, the middle and the last two): the keys differ
// there enough for short probe runs, and a key of any length hashes in constant time.
constexpr std::uint32_t hashOf(std::string_view key) noexcept {
  if (key.size() < 2)
    return key.empty() ? 0 : static_cast<unsigned char>(key[0]);
  const auto at = [key](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(key[i]));
  };
  const std::size_t n = key.size();
  std::uint32_t hash =
      static_cast<std::uint32_t>(n) | at(0) << 8 | at(n / 2) << 16 | at(n - 2) << 24;
  hash ^= at(n - 1) * 0x9E3779B1U;
  // The finaliser of MurmurHash3: every input bit reaches the low bits that pick the slot.
  hash ^= hash >> 16;
  hash *= 0x85EBCA6BU;
  hash ^= hash >> 13;
  hash *= 0xC2B2AE35U;
  hash ^= hash >> 16;
  return hash;
}

constexpr std::size_t longestKey = [] {
  std::size_t longest = 0;
  for (const Entry& entry : entries)
    longest = std::max(longest, entry.key.size());
  return longest;
}();

// Open addressing with linear probing, filled at compile time; four times the entries keeps
// probe runs short.
constexpr std::size_t slotCount = 512;
constexpr std::uint8_t emptySlot = 0xFF;
static_assert(entries.size() * 2 < slotCount && entries.size() < emptySlot);

constexpr auto keySlots = [] {
  std::array<std::uint8_t, slotCount> slots{};
  slots.fill(emptySlot);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::size_t slot = hashOf(entries[i].key) & (slotCount - 1);
    while (slots[slot] != emptySlot)
      slot = (slot + 1) & (slotCount - 1);
    slots[slot] = static_cast<std::uint8_t>(i);
  }
  return slots;
}();

// The longest run of occupied slots a lookup may have to read.
constexpr std::size_t longestProbe = [] {
  std::size_t longest = 0;
  for (const Entry& entry : entries) {
    std::size_t probes = 1;
    for (std::size_t slot = hashOf(entry.key) & (slotCount - 1);
         entries[keySlots[slot]].key != entry.key; slot = (slot + 1) & (slotCount - 1))
      ++probes;
    longest = std::max(longest, probes);
  }
  return longest;
}();
static_assert(longestProbe <= 6, "the key hash spreads the catalogue badly");

} // namespace

std::optional<std::size_t> indexOfKey(std::string_view key) noexcept {
  if (key.size() > longestKey)
    return std::nullopt;
  for (std::size_t slot = hashOf(key) & (slotCount - 1); keySlots[slot] != emptySlot;
       slot = (slot + 1) & (slotCount - 1))
    if (entries[keySlots[slot]].key == key)
      return keySlots[slot];
  return std::nullopt;
}

std::optional<std::string_view> tagForKey(std::string_view key) noexcept {
  if (const auto index = indexOfKey(key))
    return entries[*index].tag;
  return std::nullopt;
}

const std::map<std::string, std::string, std::less<>>& tagKeyMap() {
  static const std::map<std::string, std::string, std::less<>> map = [] {
    std::map<std::string, std::string, std::less<>> m;
    for (const Entry& entry : entries)
      m.emplace(entry.tag, entry.key);
    return m;
  }();
  return map;
}

const std::map<std::string, std::string, std::less<>>&
merchantInformationLanguageTemplateSubTagDictionary() {
  static const std::map<std::string, std::string, std::less<>> map = [] {
    std::map<std::string, std::string, std::less<>> m;
    for (const Entry& entry : languageEntries)
      m.emplace(entry.tag, entry.key);
    return m;
  }();
  return map;
}

} // namespace pavenda::catalogue
