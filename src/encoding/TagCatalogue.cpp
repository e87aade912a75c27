#include "encoding/TagCatalogue.h"

#include <algorithm>
#include <cstdint>

#include "encoding/ZArodezQRUtility.h"

namespace pavenda::catalogue {

namespace {

// FNV-1a: cheap for keys of a few dozen bytes and usable at compile time.
constexpr std::uint32_t hashOf(std::string_view key) noexcept {
  std::uint32_t hash = 2166136261U;
  for (const char c : key) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619U;
  }
  return hash;
}

constexpr std::size_t longestKey = [] {
  std::size_t longest = 0;
  for (const Entry& entry : entries)
    longest = std::max(longest, entry.key.size());
  return longest;
}();

// Open addressing with linear probing, filled at compile time; more than twice the entries keeps
// probe runs short.
constexpr std::size_t slotCount = 256;
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
  static const std::map<std::string, std::string, std::less<>> map{
      {"00", "languagePreference"},
      {"01", "merchantNameAlternateLanguage"},
      {"02", "merchantCityAlternateLanguage"},
  };
  return map;
}

} // namespace pavenda::catalogue

namespace pavenda {

std::map<std::string, std::string, std::less<>> ZArodezQRUtility::keyTagMapping() {
  std::map<std::string, std::string, std::less<>> mapping;
  for (const auto& [tag, key] : catalogue::tagKeyMap())
    mapping.emplace(key, tag);
  return mapping;
}

} // namespace pavenda
