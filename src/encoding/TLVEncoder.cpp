#include "encoding/TLVEncoder.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <span>
#include <string_view>

#include <pavenda/TLVGenerator.h>

#include "encoding/TagCatalogue.h"
#include "encoding/ZArodezQRUtility.h"
#include "support/Unicode.h"

namespace pavenda::encoding {
namespace {

constexpr std::size_t entryCount = catalogue::entries.size();
constexpr std::uint8_t noEntry = 0xFF;
static_assert(entryCount < noEntry);
constexpr auto formatIndicatorIndex = static_cast<std::uint8_t>(*catalogue::indexOfTag("00"));
constexpr auto crcIndex = static_cast<std::uint8_t>(*catalogue::indexOfTag("63"));
constexpr auto languageTemplateIndex = static_cast<std::uint8_t>(*catalogue::indexOfTag("64"));

// One entry of a dictionary after keys given as tag numbers were turned into field keys.
struct Item {
  std::string_view key;    // the field key of a catalogue entry, else the key as given
  const FieldValue* value; // null when the entry moved elsewhere
  std::uint8_t index;      // in catalogue::entries, or noEntry
  bool byTag;              // given under its tag number
};

using Items = std::pmr::vector<Item>;

// A field given both by name and by tag number: the value under the tag number wins, in the place
// of the field key. Rare, so it may take a second pass.
[[gnu::cold, gnu::noinline]] void mergeTwins(std::span<Item> items) {
  std::array<Item*, entryCount> named{};
  for (Item& item : items)
    if (item.index != noEntry && !item.byTag)
      named[item.index] = &item;
  for (Item& item : items)
    if (item.byTag && named[item.index] != nullptr) {
      named[item.index]->value = item.value;
      item.value = nullptr;
    }
}

// Turns tag-number keys into field keys without copying a value.
void normalise(const FieldDictionary& map, Items& items) {
  items.reserve(map.size());
  std::bitset<entryCount> byName, byTag;
  bool twins = false;
  for (const auto& [key, value] : map) {
    if (const auto index = catalogue::indexOfTag(key)) {
      twins |= byName[*index];
      byTag[*index] = true;
      items.push_back(
          {catalogue::entries[*index].key, &value, static_cast<std::uint8_t>(*index), true});
    } else if (const auto keyIndex = catalogue::indexOfKey(key)) {
      twins |= byTag[*keyIndex];
      byName[*keyIndex] = true;
      items.push_back({key, &value, static_cast<std::uint8_t>(*keyIndex), false});
    } else {
      items.push_back({key, &value, noEntry, false});
    }
  }
  if (twins)
    mergeTwins(items);
}

// How lengths are counted. `bytes` takes every character for one byte, which holds for ASCII
// without CR; the encoder checks that once over the whole output and counts again otherwise.
enum class Counting { bytes, characters };

class Writer {
public:
  Writer(Counting counting, WrittenObjects* written, std::pmr::memory_resource* resource)
      : counting_(counting), written_(written), resource_(resource) {
    // Room for a payload of the usual size, so that writing it allocates once.
    out_.resize(512);
    if (written_ != nullptr) {
      written_->clear();
      written_->reserve(32);
    }
  }

  std::string_view text() const { return {out_.data(), size_}; }

  // Appends tag, length and value, recording it at `depth`.
  void appendObject(std::string_view tag, std::string_view value, std::uint8_t depth) {
    const std::size_t tagBegin = size_;
    const std::size_t length = count(value);
    if (length >= 100) [[unlikely]] {
      appendLongObject(tag, length, value, depth);
      return;
    }
    char* at = claim(tag.size() + 2 + value.size());
    if (tag.size() == 2) {
      at[0] = tag[0];
      at[1] = tag[1];
    } else {
      std::memcpy(at, tag.data(), tag.size());
    }
    at += tag.size();
    at[0] = static_cast<char>('0' + length / 10);
    at[1] = static_cast<char>('0' + length % 10);
    std::memcpy(at + 2, value.data(), value.size());
    record(tagBegin, size_ - value.size(), depth, false);
  }

  // Writes the sub-fields in place after a two-digit length placeholder, then fills the length in,
  // widening the field in the rare case that the template has 100 characters or more.
  void appendTemplate(std::uint8_t index, const FieldDictionary& map) {
    const std::string_view tag = catalogue::entries[index].tag;
    const std::size_t tagBegin = size_;
    std::memcpy(claim(tag.size() + 2), tag.data(), tag.size());
    const std::size_t valueBegin = size_;
    const std::size_t parent = written_ != nullptr ? written_->size() : 0;
    record(tagBegin, valueBegin, 0, true);
    Items items(resource_);
    normalise(map, items);
    for (const Item& item : items) {
      if (item.value == nullptr || item.value->text() == nullptr)
        continue;
      std::string_view subtag;
      if (item.index != noEntry) {
        subtag = catalogue::entries[item.index].tag;
        subtag.remove_prefix(subtag.size() - 2);
      } else if (index == languageTemplateIndex) {
        subtag = catalogue::languageSubtagForKey(item.key).value_or("");
      } else {
        subtag = item.key;
      }
      appendObject(subtag, *item.value->text(), 1);
    }
    const std::size_t length = count(text().substr(valueBegin));
    std::size_t widening = 0;
    if (length >= 100) [[unlikely]] {
      widening = widenLength(valueBegin, length, parent);
    } else {
      out_[valueBegin - 2] = static_cast<char>('0' + length / 10);
      out_[valueBegin - 1] = static_cast<char>('0' + length % 10);
    }
    if (written_ != nullptr) {
      (*written_)[parent].valueBegin = static_cast<std::uint32_t>(valueBegin + widening);
      (*written_)[parent].valueEnd = static_cast<std::uint32_t>(size_);
    }
  }

  // Closes the payload with "6304" and its CRC, and hands the text over.
  std::string finish() {
    const std::size_t tagBegin = size_;
    std::memcpy(claim(4), "6304", 4);
    const std::array<char, 4> crc =
        ZArodezQRUtility::crcDigits(ZArodezQRUtility::payloadCrc(text()));
    std::memcpy(claim(4), crc.data(), crc.size());
    record(tagBegin, tagBegin + 4, 0, false);
    out_.resize(size_);
    return std::move(out_);
  }

private:
  std::size_t count(std::string_view text) const {
    return counting_ == Counting::bytes ? text.size() : unicode::characterCount(text);
  }

  // `n` more bytes at the end of the output, growing it when full.
  char* claim(std::size_t n) {
    if (out_.size() - size_ < n) [[unlikely]]
      grow(n);
    char* at = out_.data() + size_;
    size_ += n;
    return at;
  }

  [[gnu::noinline]] void grow(std::size_t n) { out_.resize(std::max(out_.size() * 2, size_ + n)); }

  // A value of 100 characters or more, rare: kept out of line so that the usual two digits stay
  // cheap.
  [[gnu::noinline, gnu::cold]] void appendLongObject(std::string_view tag, std::size_t length,
                                                     std::string_view value, std::uint8_t depth) {
    const std::size_t tagBegin = size_;
    const std::string digits = std::to_string(length);
    char* at = claim(tag.size() + digits.size() + value.size());
    std::memcpy(at, tag.data(), tag.size());
    std::memcpy(at + tag.size(), digits.data(), digits.size());
    std::memcpy(at + tag.size() + digits.size(), value.data(), value.size());
    record(tagBegin, size_ - value.size(), depth, false);
  }

  // Makes room for a template length of three or more digits: the sub-fields move right by the
  // bytes answered.
  [[gnu::noinline, gnu::cold]] std::size_t widenLength(std::size_t valueBegin, std::size_t length,
                                                       std::size_t parent) {
    const std::string digits = std::to_string(length);
    const std::size_t widening = digits.size() - 2;
    const std::size_t innerSize = size_ - valueBegin;
    claim(widening);
    std::memmove(out_.data() + valueBegin + widening, out_.data() + valueBegin, innerSize);
    std::memcpy(out_.data() + valueBegin - 2, digits.data(), digits.size());
    if (written_ != nullptr)
      for (std::size_t i = parent + 1; i < written_->size(); ++i) {
        WrittenObject& object = (*written_)[i];
        object.tagBegin += static_cast<std::uint32_t>(widening);
        object.valueBegin += static_cast<std::uint32_t>(widening);
        object.valueEnd += static_cast<std::uint32_t>(widening);
      }
    return widening;
  }

  void record(std::size_t tagBegin, std::size_t valueBegin, std::uint8_t depth,
              bool hasWrittenChildren) {
    if (written_ != nullptr)
      written_->push_back({static_cast<std::uint32_t>(tagBegin),
                           static_cast<std::uint32_t>(valueBegin),
                           static_cast<std::uint32_t>(size_), depth, hasWrittenChildren});
  }

  Counting counting_;
  std::string out_; // the output so far is its first `size_` bytes; the rest is room
  std::size_t size_ = 0;
  WrittenObjects* written_;
  std::pmr::memory_resource* resource_;
};

// Every data object but the closing CRC, the payload format indicator first.
void writeFields(Writer& writer, std::span<const Item> items) {
  for (const Item& item : items)
    if (item.index == formatIndicatorIndex && item.value != nullptr) {
      if (item.value->text() != nullptr)
        writer.appendObject("00", *item.value->text(), 0);
      break;
    }

  for (const Item& item : items) {
    if (item.value == nullptr || item.index == crcIndex || item.index == formatIndicatorIndex)
      continue;
    if (item.index != noEntry) {
      const std::string_view tag = catalogue::entries[item.index].tag;
      // Catalogue tags are ASCII digits, so only two-byte ones are two characters long.
      if (const std::string* text = item.value->text(); text != nullptr && tag.size() == 2)
        writer.appendObject(tag, *text, 0);
      else if (const FieldDictionary* map = item.value->map())
        writer.appendTemplate(item.index, *map);
    } else if (const std::string* text = item.value->text();
               text != nullptr && unicode::characterCount(item.key) == 2) {
      writer.appendObject(item.key, *text, 0);
    }
  }
}

// Whether every character of `text` is one byte, as byte counting assumed.
bool bytesAreCharacters(std::string_view text) {
  return unicode::isAscii(text) && text.find('\r') == std::string_view::npos;
}

} // namespace

std::string encode(const FieldDictionary& dictionary, WrittenObjects* written) {
  // Room for the items of a usual dictionary and its templates, so that they take no heap.
  std::array<std::byte, 2048> buffer;
  std::pmr::monotonic_buffer_resource resource(buffer.data(), buffer.size(),
                                               std::pmr::new_delete_resource());
  Items items(&resource);
  normalise(dictionary, items);

  Writer writer(Counting::bytes, written, &resource);
  writeFields(writer, items);
  if (bytesAreCharacters(writer.text()))
    return writer.finish();
  Writer counted(Counting::characters, written, &resource);
  writeFields(counted, items);
  return counted.finish();
}

} // namespace pavenda::encoding

namespace pavenda {

std::string TLVGenerator::encodeDictToTLV(const FieldDictionary& qrCodeDictionary) {
  return encoding::encode(qrCodeDictionary, nullptr);
}

} // namespace pavenda
