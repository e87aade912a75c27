#ifndef PAVENDA_ENCODING_TAGCATALOGUE_H
#define PAVENDA_ENCODING_TAGCATALOGUE_H

// The tag catalogue as the library reads it: (field key, tag) pairs, with lookups in both
// directions that take no allocation and no lock.

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "support/AsciiNumber.h"

namespace pavenda::catalogue {

/// One catalogue entry.
struct Entry {
  std::string_view key;
  std::string_view tag;
};

/// The entries, in tag order ("00" ... "62", "6201" ... "6214", "63" ... "99"); the list sets the
/// size.
inline constexpr auto entries = std::to_array<Entry>({
#define PAVENDA_TAG(key, tag) {#key, tag},
#include <pavenda/QRCodeTags.def>
});

/// The index in `entries` of the entry whose tag is `tag`, or nothing (for "6215", "6", "100",
/// "AB").
constexpr std::optional<std::size_t> indexOfTag(std::string_view tag) noexcept {
  if (const std::optional<int> n = twoAsciiDigits(tag)) {
    const auto index = static_cast<std::size_t>(*n);
    return index <= 62 ? index : index + 14; // the 14 sub-fields of tag 62 sit right after it
  }
  if (tag.size() == 4 && tag.starts_with("62")) {
    const std::optional<int> sub = twoAsciiDigits(tag.substr(2));
    if (sub && *sub >= 1 && *sub <= 14)
      return static_cast<std::size_t>(62 + *sub);
  }
  return std::nullopt;
}

// indexOfTag computes positions from the tag order above: a reordered or extended list fails here.
static_assert([] {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (indexOfTag(entries[i].tag) != i)
      return false;
  return true;
}());

/// The index in `entries` of the entry whose field key is `key` (case-sensitive), or nothing.
std::optional<std::size_t> indexOfKey(std::string_view key) noexcept;

/// The field key of `tag`, or nothing.
constexpr std::optional<std::string_view> keyForTag(std::string_view tag) noexcept {
  if (const auto index = indexOfTag(tag))
    return entries[*index].key;
  return std::nullopt;
}

/// The tag of `key`, or nothing.
std::optional<std::string_view> tagForKey(std::string_view key) noexcept;

/// The process-wide map from tag to field key (one pair per entry), built once.
const std::map<std::string, std::string, std::less<>>& tagKeyMap();

/// The sub-tags of the alternate-language template (tag 64) and their keys, built once.
const std::map<std::string, std::string, std::less<>>&
merchantInformationLanguageTemplateSubTagDictionary();

/// The sub-fields of the alternate-language template (tag 64), in sub-tag order.
inline constexpr std::array<Entry, 3> languageEntries = {{
    {"languagePreference", "00"},
    {"merchantNameAlternateLanguage", "01"},
    {"merchantCityAlternateLanguage", "02"},
}};

/// The key of a tag-64 sub-tag ("00", "01", "02"), or nothing for any other sub-tag.
constexpr std::optional<std::string_view> languageKeyForSubtag(std::string_view subtag) noexcept {
  for (const Entry& entry : languageEntries)
    if (entry.tag == subtag)
      return entry.key;
  return std::nullopt;
}

/// The sub-tag of a tag-64 key, or nothing for any other key.
constexpr std::optional<std::string_view> languageSubtagForKey(std::string_view key) noexcept {
  for (const Entry& entry : languageEntries)
    if (entry.key == key)
      return entry.tag;
  return std::nullopt;
}

/// Whether the decoder reads `tag` as a template other than 62: "64", "26" to "51", "80" to "99".
constexpr bool isTemplateTag(std::string_view tag) noexcept {
  const std::optional<int> n = twoAsciiDigits(tag);
  return n && (*n == 64 || (*n >= 26 && *n <= 51) || *n >= 80);
}

} // namespace pavenda::catalogue

#endif
