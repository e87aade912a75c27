#include "encoding/TLVEncoder.h"

#include <array>
#include <optional>
#include <string_view>

#include <pavenda/TLVGenerator.h>

#include "encoding/TagCatalogue.h"
#include "encoding/ZArodezQRUtility.h"
#include "support/Unicode.h"

namespace pavenda::encoding {
namespace {

// One entry of a dictionary after keys given as tag numbers were turned into field keys.
struct Item {
  std::string_view key;
  const FieldValue* value; // null when the entry moved elsewhere
  std::optional<std::size_t> catalogueIndex;
};

// Turns tag-number keys into field keys without copying a value. The value given under the tag
// number wins; it takes the place of the field key when both are present, else its own place.
std::vector<Item> normalise(const FieldDictionary& dictionary) {
  std::vector<Item> items;
  items.reserve(dictionary.size());
  std::array<int, catalogue::entries.size()> slot;
  slot.fill(-1);
  std::array<bool, catalogue::entries.size()> givenByTag{};
  for (const auto& [key, value] : dictionary) {
    if (const auto index = catalogue::indexOfTag(key)) {
      givenByTag[*index] = true;
      if (slot[*index] >= 0) {
        items[static_cast<std::size_t>(slot[*index])].value = &value;
      } else {
        slot[*index] = static_cast<int>(items.size());
        items.push_back({catalogue::entries[*index].key, &value, index});
      }
    } else if (const auto keyIndex = catalogue::indexOfKey(key)) {
      if (slot[*keyIndex] >= 0 && givenByTag[*keyIndex]) {
        Item& earlier = items[static_cast<std::size_t>(slot[*keyIndex])];
        const FieldValue* tagValue = earlier.value;
        earlier.value = nullptr;
        slot[*keyIndex] = static_cast<int>(items.size());
        items.push_back({earlier.key, tagValue, keyIndex});
      } else {
        slot[*keyIndex] = static_cast<int>(items.size());
        items.push_back({catalogue::entries[*keyIndex].key, &value, keyIndex});
      }
    } else {
      items.push_back({key, &value, std::nullopt});
    }
  }
  return items;
}

// A length of 100 or more, rare: kept out of line so that the usual two digits stay cheap.
[[gnu::noinline, gnu::cold]] void appendLongLength(std::string& out, std::size_t count) {
  out += std::to_string(count);
}

// The length field: at least two decimal digits.
[[gnu::always_inline]] inline void appendLength(std::string& out, std::size_t count) {
  if (count < 100) {
    const char digits[2] = {static_cast<char>('0' + count / 10),
                            static_cast<char>('0' + count % 10)};
    out.append(digits, 2);
  } else {
    appendLongLength(out, count);
  }
}

class Writer {
public:
  explicit Writer(std::vector<WrittenObject>* written) : written_(written) {
    // Room for a payload of the usual size, so that writing it allocates once.
    out_.reserve(512);
    if (written_ != nullptr)
      written_->reserve(32);
  }

  std::string& text() { return out_; }

  // Appends tag, length and value, recording it at `depth`.
  void appendObject(std::string_view tag, std::string_view value, std::uint8_t depth) {
    const std::size_t tagBegin = out_.size();
    out_ += tag;
    appendLength(out_, unicode::characterCount(value));
    const std::size_t valueBegin = out_.size();
    out_ += value;
    record(tagBegin, valueBegin, depth, false);
  }

  // Writes the sub-fields in place after a two-digit length placeholder, then fills the length in,
  // widening the field in the rare case that the template has 100 characters or more.
  void appendTemplate(std::string_view tag, const FieldDictionary& map) {
    const std::size_t tagBegin = out_.size();
    out_ += tag;
    const std::size_t lengthBegin = out_.size();
    out_ += "00";
    const std::size_t valueBegin = out_.size();
    const std::size_t parent = written_ != nullptr ? written_->size() : 0;
    record(tagBegin, valueBegin, 0, true);
    for (const Item& item : normalise(map)) {
      if (item.value == nullptr || item.value->text() == nullptr)
        continue;
      std::string_view subtag;
      if (item.catalogueIndex) {
        subtag = catalogue::entries[*item.catalogueIndex].tag;
        subtag.remove_prefix(subtag.size() - 2);
      } else if (tag == "64") {
        subtag = catalogue::languageSubtagForKey(item.key).value_or("");
      } else {
        subtag = item.key;
      }
      appendObject(subtag, *item.value->text(), 1);
    }
    std::string length;
    appendLength(length, unicode::characterCount(std::string_view(out_).substr(valueBegin)));
    const std::size_t widening = length.size() - 2;
    if (widening > 0) {
      out_.insert(lengthBegin, widening, '0');
      if (written_ != nullptr)
        for (std::size_t i = parent + 1; i < written_->size(); ++i)
          shift((*written_)[i], widening);
    }
    out_.replace(lengthBegin, length.size(), length);
    if (written_ != nullptr) {
      (*written_)[parent].valueBegin = static_cast<std::uint32_t>(valueBegin + widening);
      (*written_)[parent].valueEnd = static_cast<std::uint32_t>(out_.size());
    }
  }

private:
  void record(std::size_t tagBegin, std::size_t valueBegin, std::uint8_t depth,
              bool hasWrittenChildren) {
    if (written_ != nullptr)
      written_->push_back({static_cast<std::uint32_t>(tagBegin),
                           static_cast<std::uint32_t>(valueBegin),
                           static_cast<std::uint32_t>(out_.size()), depth, hasWrittenChildren});
  }

  static void shift(WrittenObject& object, std::size_t by) {
    object.tagBegin += static_cast<std::uint32_t>(by);
    object.valueBegin += static_cast<std::uint32_t>(by);
    object.valueEnd += static_cast<std::uint32_t>(by);
  }

  std::string out_;
  std::vector<WrittenObject>* written_;
};

} // namespace

std::string encode(const FieldDictionary& dictionary, std::vector<WrittenObject>* written) {
  const std::vector<Item> items = normalise(dictionary);
  Writer writer(written);

  for (const Item& item : items)
    if (item.value != nullptr && item.key == "payloadFormatIndicator" &&
        item.value->text() != nullptr)
      writer.appendObject("00", *item.value->text(), 0);

  for (const Item& item : items) {
    if (item.value == nullptr || item.key == "crc" || item.key == "payloadFormatIndicator")
      continue;
    // Catalogue tags are ASCII digits, so only two-byte ones are two characters long.
    std::optional<std::string_view> tag;
    if (item.catalogueIndex) {
      if (catalogue::entries[*item.catalogueIndex].tag.size() == 2)
        tag = catalogue::entries[*item.catalogueIndex].tag;
    } else if (unicode::characterCount(item.key) == 2) {
      tag = item.key;
    }
    if (tag && item.value->text() != nullptr)
      writer.appendObject(*tag, *item.value->text(), 0);
    if (item.catalogueIndex && item.value->map() != nullptr)
      writer.appendTemplate(catalogue::entries[*item.catalogueIndex].tag, *item.value->map());
  }

  std::string& out = writer.text();
  out += "6304";
  const std::size_t tagBegin = out.size() - 4;
  const std::array<char, 4> crc = ZArodezQRUtility::crcDigits(ZArodezQRUtility::payloadCrc(out));
  out.append(crc.data(), crc.size());
  if (written != nullptr)
    written->push_back({static_cast<std::uint32_t>(tagBegin),
                        static_cast<std::uint32_t>(tagBegin + 4),
                        static_cast<std::uint32_t>(out.size()), 0, false});
  return std::move(out);
}

} // namespace pavenda::encoding

namespace pavenda {

std::string TLVGenerator::encodeDictToTLV(const FieldDictionary& qrCodeDictionary) {
  return encoding::encode(qrCodeDictionary, nullptr);
}

} // namespace pavenda
