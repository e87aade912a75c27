#include "encoding/TagCatalogue.h"

namespace pavenda::catalogue {

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
