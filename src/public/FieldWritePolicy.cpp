// What the encoder writes as given, and the key suggestions for what it would not.

#include "public/FieldWritePolicy.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include <pavenda/FieldDictionary.h>

#include "encoding/TagCatalogue.h"
#include "support/AsciiNumber.h"
#include "support/Unicode.h"

namespace pavenda {
namespace detail {

std::string printable(std::string_view key) {
  if (key.empty())
    return "\"\"";
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
// ignoring ASCII letter case, over the first bytes only: a suggestion needs no more, and a huge key
// stays cheap.
std::size_t editDistance(std::string_view a, std::string_view b) {
  a = a.substr(0, 64);
  b = b.substr(0, 64);
  const auto same = [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  };
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = same(a[i - 1], b[j - 1]) ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

// The candidate `key` most likely stands for, or nothing when none is close: at most one edit per
// four characters of the key (one for the shortest), or a beginning of four characters or more
// ("languagePref"). A suggestion far from the key would mislead more than none.
std::optional<std::string_view> nearest(std::string_view key,
                                        std::span<const std::string_view> candidates) {
  const std::size_t allowed = std::max<std::size_t>(1, key.size() / 4);
  std::optional<std::string_view> best;
  std::size_t bestDistance = allowed + 1;
  for (const std::string_view candidate : candidates) {
    std::size_t distance = editDistance(key, candidate);
    if (key.size() >= 4 && key.size() < candidate.size() &&
        editDistance(key, candidate.substr(0, key.size())) == 0)
      distance = std::min(distance, allowed);
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

// The most characters two length digits can count.
constexpr std::size_t mostCharacters = 99;

const std::vector<std::string_view>& topLevelKeys() {
  static const std::vector<std::string_view> keys = [] {
    std::vector<std::string_view> out;
    for (const catalogue::Entry& entry : catalogue::entries)
      if (entry.tag.size() == 2)
        out.push_back(entry.key);
    return out;
  }();
  return keys;
}

const std::vector<std::string_view>& subfieldKeys(std::string_view templateTag) {
  static const std::vector<std::string_view> additional = [] {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < subfieldCount; ++i)
      out.push_back(catalogue::entries[firstSubfield + i].key);
    return out;
  }();
  static const std::vector<std::string_view> language = [] {
    std::vector<std::string_view> out;
    for (const catalogue::Entry& entry : catalogue::languageEntries)
      out.push_back(entry.key);
    return out;
  }();
  static const std::vector<std::string_view> none;
  return templateTag == "62" ? additional : templateTag == "64" ? language : none;
}

// `noun` is "field key" or "sub-field key"; `instead` what to write when no key is near.
std::string unknownKey(const std::string& path, std::string_view key,
                       std::span<const std::string_view> candidates, std::string_view noun,
                       std::string_view instead) {
  if (const auto suggestion = nearest(key, candidates))
    return path + ": not a field key; did you mean \"" + std::string(*suggestion) + "\"?";
  return path + ": not a " + std::string(noun) + "; write " + std::string(instead);
}

// Where a key of another level belongs, when it belongs somewhere: "write it inside ...".
std::optional<std::string> otherLevel(const std::string& path, std::string_view key) {
  const auto index =
      catalogue::indexOfKey(key) ? catalogue::indexOfKey(key) : catalogue::indexOfTag(key);
  if (index && catalogue::entries[*index].tag.size() == 4)
    return path + ": a sub-field of the additional data template; write it inside "
                  "\"additionalDataFieldTemplate\"";
  if (catalogue::languageSubtagForKey(key))
    return path + ": a sub-field of the language template; write it inside "
                  "\"merchantInformationLanguageTemplate\"";
  return std::nullopt;
}

// An empty value, or one too long for its two length digits.
std::optional<std::string> unwritableText(const std::string& path, std::string_view text,
                                          std::size_t characters) {
  if (text.empty())
    return path + ": empty; leave the key out or give it a value";
  if (characters > mostCharacters)
    return path + ": " + std::to_string(characters) + " characters, more than the " +
           std::to_string(mostCharacters) + " a field holds; shorten it";
  return std::nullopt;
}

// Remembers which catalogue entries a map gave by name and by tag number, to catch a field given
// both ways (the encoder would keep only one of them).
class TwinCheck {
public:
  std::optional<std::string> see(std::size_t index, bool byTag, std::string_view key) {
    auto& seen = byTag ? byTag_ : byName_;
    const auto& other = byTag ? byName_ : byTag_;
    seen[index] = true;
    if (!other[index])
      return std::nullopt;
    const catalogue::Entry& entry = catalogue::entries[index];
    return printable(key) + ": " + std::string(entry.key) +
           " given both by name and by tag number " + std::string(entry.tag) + "; keep one";
  }

private:
  std::array<bool, catalogue::entries.size()> byName_{}, byTag_{};
};

// The sub-tag that `key` is written with inside the template `templateTag`, or nothing when the
// decoder would not read it back under that key: a sub-tag of two digits (01 to 99 in the
// additional data template, whose 00 the decoder refuses), the template's own sub-field names and
// tag numbers ("billID", "6201"), and in the templates without names any two characters.
std::optional<std::string> subtagOf(std::string_view templateTag, std::string_view key) {
  if (const std::optional<int> number = twoAsciiDigits(key))
    return templateTag == "62" && *number == 0 ? std::nullopt : std::optional<std::string>(key);
  if (templateTag == "62") {
    const auto index =
        catalogue::indexOfKey(key) ? catalogue::indexOfKey(key) : catalogue::indexOfTag(key);
    if (!index || catalogue::entries[*index].tag.size() != 4)
      return std::nullopt;
    return std::string(catalogue::entries[*index].tag.substr(2));
  }
  if (templateTag == "64") {
    const auto subtag = catalogue::languageSubtagForKey(key);
    return subtag ? std::optional<std::string>(*subtag) : std::nullopt;
  }
  if (catalogue::indexOfKey(key) || catalogue::indexOfTag(key) ||
      catalogue::languageSubtagForKey(key) || unicode::characterCount(key) != 2)
    return std::nullopt;
  return std::string(key);
}

std::optional<std::string> misplacedSubkey(const std::string& path, std::string_view templateTag,
                                           std::string_view key) {
  if (const auto index = catalogue::indexOfKey(key);
      index && catalogue::entries[*index].tag.size() == 2) {
    const std::string_view tag = catalogue::entries[*index].tag;
    return path +
           ": a top-level field, not a sub-field of this template; write it at the top, "
           "or sub-tag " +
           std::string(tag) + " as \"" + std::string(tag) + "\"";
  }
  if (auto elsewhere = otherLevel(path, key))
    return elsewhere;
  if (templateTag == "62" && key == "00")
    return path + ": the additional data template has no sub-tag 00; write one of 01 to 99";
  const auto& names = subfieldKeys(templateTag);
  return unknownKey(path, key, names, "sub-field key",
                    names.empty() ? "a two-character sub-tag such as \"01\""
                                  : "a sub-field key such as \"" + std::string(names.front()) +
                                        "\" or a two-digit sub-tag such as \"" +
                                        std::string(templateTag == "64" ? "03" : "15") + "\"");
}

std::optional<std::string> firstUnwritableSubfield(const std::string& parent,
                                                   std::string_view templateTag,
                                                   const FieldDictionary& map) {
  if (map.empty())
    return parent + ": an empty template; leave the key out or give it a sub-field";
  // Which key wrote each sub-tag, to catch one sub-field given twice (by name and by number).
  std::vector<std::pair<std::string, std::string_view>> subtags;
  std::size_t written = 0; // characters of the template's value
  for (const auto& [key, value] : map) {
    const std::string path = pathOf(parent, key);
    const std::optional<std::string> subtag = subtagOf(templateTag, key);
    if (!subtag)
      return misplacedSubkey(path, templateTag, key);
    const auto twin = std::find_if(subtags.begin(), subtags.end(),
                                   [&](const auto& seen) { return seen.first == *subtag; });
    if (twin != subtags.end())
      return path + ": sub-tag " + printable(*subtag) + " given twice, as \"" +
             printable(twin->second) + "\" and as \"" + printable(key) + "\"; keep one";
    subtags.emplace_back(*subtag, key);
    const std::string* text = value.text();
    if (text == nullptr)
      return path + ": " + (value.map() ? "a map" : "a value that is not text") +
             " where text belongs; write it as text";
    const std::size_t characters = unicode::characterCount(*text);
    if (auto refusal = unwritableText(path, *text, characters))
      return refusal;
    written += 4 + characters; // sub-tag, two length digits, value
  }
  if (written > mostCharacters)
    return parent + ": its sub-fields take " + std::to_string(written) +
           " characters written, more than the " + std::to_string(mostCharacters) +
           " a template holds; shorten them";
  return std::nullopt;
}

} // namespace

std::optional<std::string> FieldDictionary::firstUnwritableField() const {
  TwinCheck twins;
  for (const auto& [key, value] : entries_) {
    const std::string path = printable(key);
    const auto byTag = catalogue::indexOfTag(key);
    const auto index = byTag ? byTag : catalogue::indexOfKey(key);
    if (!index || catalogue::entries[*index].tag.size() != 2) {
      if (auto elsewhere = otherLevel(path, key))
        return elsewhere;
      return unknownKey(path, key, topLevelKeys(), "field key",
                        "a field key such as \"merchantName\" or a two-digit tag such as \"59\"");
    }
    if (auto twin = twins.see(*index, byTag.has_value(), key))
      return twin;
    const std::string_view tag = catalogue::entries[*index].tag;
    if (const FieldDictionary* map = value.map()) {
      if (!isTemplate(tag))
        return path + ": a map under a field that is not a template; write its value as text";
      if (auto refusal = firstUnwritableSubfield(path, tag, *map))
        return refusal;
    } else if (const std::string* text = value.text()) {
      // The CRC is always computed: a given one is not written, whatever it holds.
      if (tag == "63")
        continue;
      if (auto refusal = unwritableText(path, *text, unicode::characterCount(*text)))
        return refusal;
    } else {
      return path + ": a value that is neither text nor a map; write it as text";
    }
  }
  return std::nullopt;
}

} // namespace pavenda
