// What the encoder writes as given, and the key suggestions for what it would not.

#include "public/FieldWritePolicy.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include <pavenda/FieldDictionary.h>

#include "encoding/TagCatalogue.h"
#include "support/Unicode.h"

namespace pavenda {
namespace detail {

std::string printable(std::string_view key) {
  constexpr std::size_t longest = 64;
  std::string out;
  std::size_t end = std::min(key.size(), longest);
  // Cut on a character boundary, never inside a UTF-8 sequence.
  while (end < key.size() && end > 0 && (static_cast<unsigned char>(key[end]) & 0xC0) == 0x80)
    --end;
  for (const char c : key.substr(0, end)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      static constexpr char hex[] = "0123456789ABCDEF";
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 0xF];
    } else {
      out += c;
    }
  }
  if (end < key.size())
    out += "...";
  return out;
}

std::string pathOf(std::string_view parent, std::string_view key) {
  return parent.empty() ? printable(key) : printable(parent) + "." + printable(key);
}

} // namespace detail

namespace {

using detail::pathOf;
using detail::printable;

// Edit distance with adjacent transpositions (so "merchantNmae" is one step from "merchantName"),
// over the first bytes only: a suggestion needs no more, and a huge key stays cheap.
std::size_t editDistance(std::string_view a, std::string_view b) {
  a = a.substr(0, 64);
  b = b.substr(0, 64);
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

template <typename Candidates> std::string_view nearest(std::string_view key, Candidates keys) {
  std::string_view best;
  std::size_t bestDistance = SIZE_MAX;
  for (const std::string_view candidate : keys) {
    const std::size_t distance = editDistance(key, candidate);
    if (distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

constexpr bool isTemplate(std::string_view tag) {
  return tag == "62" || catalogue::isTemplateTag(tag);
}

// The 14 sub-fields of the additional data template sit right after it in the catalogue.
constexpr std::size_t firstSubfield = 63;
constexpr std::size_t subfieldCount = 14;

std::vector<std::string_view> topLevelKeys() {
  std::vector<std::string_view> keys;
  for (const catalogue::Entry& entry : catalogue::entries)
    if (entry.tag.size() == 2)
      keys.push_back(entry.key);
  return keys;
}

std::vector<std::string_view> subfieldKeys() {
  std::vector<std::string_view> keys;
  for (std::size_t i = 0; i < subfieldCount; ++i)
    keys.push_back(catalogue::entries[firstSubfield + i].key);
  return keys;
}

std::string unknownKey(const std::string& path, std::string_view key,
                       const std::vector<std::string_view>& candidates) {
  return path + ": not a field key; did you mean \"" + std::string(nearest(key, candidates)) +
         "\"?";
}

// Remembers which catalogue entries a map gave by name and by tag number, to catch a field given
// both ways (the encoder would keep only one of them).
class TwinCheck {
public:
  std::optional<std::string> see(std::size_t index, bool byTag, std::string_view parent,
                                 std::string_view key) {
    auto& seen = byTag ? byTag_ : byName_;
    const auto& other = byTag ? byName_ : byTag_;
    seen[index] = true;
    if (!other[index])
      return std::nullopt;
    const catalogue::Entry& entry = catalogue::entries[index];
    return pathOf(parent, key) + ": " + std::string(entry.key) +
           " given both by name and by tag "
           "number " +
           std::string(entry.tag) + "; keep one";
  }

private:
  std::array<bool, catalogue::entries.size()> byName_{}, byTag_{};
};

std::optional<std::string> firstUnwritableSubfield(const std::string& parent,
                                                   std::string_view templateTag,
                                                   const FieldDictionary& map) {
  TwinCheck twins;
  for (const auto& [key, value] : map) {
    const std::string path = pathOf(parent, key);
    const auto byTag = catalogue::indexOfTag(key);
    const auto index = byTag ? byTag : catalogue::indexOfKey(key);
    if (index) {
      if (auto twin = twins.see(*index, byTag.has_value(), parent, key))
        return twin;
    } else if (templateTag == "64") {
      // Any other key would be written with an empty sub-tag.
      if (!catalogue::languageSubtagForKey(key))
        return unknownKey(path, key,
                          std::vector<std::string_view>{"languagePreference",
                                                        "merchantNameAlternateLanguage",
                                                        "merchantCityAlternateLanguage"});
    } else if (unicode::characterCount(key) != 2) {
      // A two-character key is written as its own sub-tag; a longer one would make a sub-tag the
      // decoder cannot read.
      if (templateTag == "62")
        return unknownKey(path, key, subfieldKeys());
      return path + ": not a sub-field key; write a two-character sub-tag such as \"01\"";
    }
    if (value.text() == nullptr)
      return path + ": " + (value.map() ? "a map" : "a value that is not text") +
             " where text belongs; write it as text";
  }
  return std::nullopt;
}

} // namespace

std::optional<std::string> FieldDictionary::firstUnwritableField() const {
  TwinCheck twins;
  for (const auto& [key, value] : entries_) {
    const std::string path = printable(key);
    const auto byTag = catalogue::indexOfTag(key);
    const auto index = byTag ? byTag : catalogue::indexOfKey(key);
    bool isTemplateField = false;
    if (index) {
      if (auto twin = twins.see(*index, byTag.has_value(), "", key))
        return twin;
      const catalogue::Entry& entry = catalogue::entries[*index];
      if (entry.tag.size() != 2)
        return path + ": a sub-field of the additional data template; write it inside "
                      "\"additionalDataFieldTemplate\"";
      isTemplateField = isTemplate(entry.tag);
    } else if (unicode::characterCount(key) != 2) {
      static const std::vector<std::string_view> candidates = topLevelKeys();
      return unknownKey(path, key, candidates);
    }
    if (const FieldDictionary* map = value.map()) {
      if (!isTemplateField)
        return path + ": a map under a field that is not a template; write its value as text";
      if (auto refusal = firstUnwritableSubfield(path, catalogue::entries[*index].tag, *map))
        return refusal;
    } else if (value.text() == nullptr) {
      return path + ": a value that is neither text nor a map; write it as text";
    }
  }
  return std::nullopt;
}

} // namespace pavenda
