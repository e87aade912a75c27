#include "encoding/TagCatalogue.h"

#include <unordered_map>

#include "encoding/ZArodezQRUtility.h"

namespace pavenda::catalogue {

std::optional<std::size_t> indexOfKey(std::string_view key) noexcept {
  static const std::unordered_map<std::string_view, std::size_t> byKey = [] {
    std::unordered_map<std::string_view, std::size_t> map;
    for (std::size_t i = 0; i < entries.size(); ++i)
      map.emplace(entries[i].key, i);
    return map;
  }();
  const auto found = byKey.find(key);
  if (found == byKey.end())
    return std::nullopt;
  return found->second;
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
