#ifndef PAVENDA_ENCODING_TAGCATALOGUE_H
#define PAVENDA_ENCODING_TAGCATALOGUE_H

// The tag catalogue as the library reads it: (field key, tag) pairs, with lookups in both
// directions that take no allocation and no lock.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

namespace detail {

constexpr auto keyLengths = [] {
  std::pair<std::size_t, std::size_t> shortestAndLongest{SIZE_MAX, 0};
  for (const Entry& entry : entries) {
    shortestAndLongest.first = std::min(shortestAndLongest.first, entry.key.size());
    shortestAndLongest.second = std::max(shortestAndLongest.second, entry.key.size());
  }
  return shortestAndLongest;
}();
static_assert(keyLengths.first >= 2 && keyLengths.second < 256);

// A perfect hash of the field keys: the length and the first and last two characters spread by
// one multiplication. The multiplier was picked, by trying, so that no two keys share a slot; a
// changed list that makes two collide fails below and needs another.
constexpr std::size_t keySlotBits = 9;
constexpr std::uint64_t keyMultiplier = 0x844A7034E77FFE49U;
constexpr std::uint8_t emptySlot = 0xFF;
static_assert(entries.size() < emptySlot);

// `key` has at least two bytes and fewer than 256.
constexpr std::size_t keySlotOf(std::string_view key) noexcept {
  const std::size_t n = key.size();
  // The first and the last two characters, the earlier one in the lower byte.
  const auto pair = [key](std::size_t i) -> std::uint64_t {
    if (!std::is_constant_evaluated() && std::endian::native == std::endian::little) {
      std::uint16_t two;
      std::memcpy(&two, key.data() + i, sizeof two);
      return two;
    }
    return static_cast<unsigned char>(key[i]) | static_cast<unsigned char>(key[i + 1]) << 8;
  };
  const std::uint64_t sample = n | pair(0) << 8 | pair(n - 2) << 24;
  return static_cast<std::size_t>((sample * keyMultiplier) >> (64 - keySlotBits));
}

inline constexpr auto keySlots = [] {
  std::array<std::uint8_t, std::size_t{1} << keySlotBits> slots{};
  slots.fill(emptySlot);
  for (std::size_t i = 0; i < entries.size(); ++i)
    slots[keySlotOf(entries[i].key)] = static_cast<std::uint8_t>(i);
  return slots;
}();

static_assert(
    [] {
      for (std::size_t i = 0; i < entries.size(); ++i)
        if (keySlots[keySlotOf(entries[i].key)] != i)
          return false;
      return true;
    }(),
    "two field keys share a slot: pick another keyMultiplier");

template <typename Word> Word load(const char* at) noexcept {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Whether the `n` bytes at `a` and `b` are equal, in overlapping word loads: keys are short, and a
// call to memcmp would cost more than the comparison.
inline bool sameBytes(const char* a, const char* b, std::size_t n) noexcept {
  if (n >= 8) {
    // The first and the last word, and the words between; differences gathered without branching.
    const auto differs = [a, b](std::size_t i) {
      return load<std::uint64_t>(a + i) ^ load<std::uint64_t>(b + i);
    };
    std::uint64_t difference = differs(0) | differs(n - 8);
    for (std::size_t i = 8; i + 8 < n; i += 8)
      difference |= differs(i);
    return difference == 0;
  }
  if (n >= 4)
    return load<std::uint32_t>(a) == load<std::uint32_t>(b) &&
           load<std::uint32_t>(a + n - 4) == load<std::uint32_t>(b + n - 4);
  for (std::size_t i = 0; i < n; ++i)
    if (a[i] != b[i])
      return false;
  return true;
}

} // namespace detail

/// The index in `entries` of the entry whose field key is `key` (case-sensitive), or nothing.
inline std::optional<std::size_t> indexOfKey(std::string_view key) noexcept {
  if (key.size() < detail::keyLengths.first || key.size() > detail::keyLengths.second)
    return std::nullopt;
  const std::uint8_t index = detail::keySlots[detail::keySlotOf(key)];
  if (index == detail::emptySlot)
    return std::nullopt;
  const std::string_view candidate = entries[index].key;
  if (candidate.size() != key.size() ||
      !detail::sameBytes(candidate.data(), key.data(), key.size()))
    return std::nullopt;
  return index;
}

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

/// The sub-fields of the alternate-language template (tag 64) with their sub-tags ("00"), in
/// sub-tag order.
inline constexpr auto languageEntries = std::to_array<Entry>({
#define PAVENDA_LANGUAGE_TAG(key, tag) {#key, std::string_view(tag).substr(2)},
#include <pavenda/LanguageTemplateTags.def>
});

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
