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

class Writer {
public:
  explicit Writer(std::vector<WrittenObject>* written) : written_(written) {}

  std::string& text() { return out_; }

  // Appends tag, length (at least two digits) and value to `out`, recording it at `depth` with
  // offsets shifted by `base`.
  void appendObject(std::string& out, std::string_view tag, std::string_view value,
                    std::uint8_t depth, std::size_t base, bool hasWrittenChildren = false) {
    const std::size_t tagBegin = out.size();
    out += tag;
    const std::size_t count = unicode::characterCount(value);
    if (count < 10)
      out += '0';
    out += std::to_string(count);
    const std::size_t valueBegin = out.size();
    out += value;
    if (written_ != nullptr)
      written_->push_back({static_cast<std::uint32_t>(base + tagBegin),
                           static_cast<std::uint32_t>(base + valueBegin),
                           static_cast<std::uint32_t>(base + out.size()), depth, hasWrittenChildren});
  }

  void appendTemplate(std::string_view tag, const FieldDictionary& map) {
    std::string inner;
    std::vector<WrittenObject> children;
    std::vector<WrittenObject>* outer = written_;
    written_ = outer != nullptr ? &children : nullptr;
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
      appendObject(inner, subtag, *item.value->text(), 1, 0);
    }
    written_ = outer;
    const std::size_t parent = written_ != nullptr ? written_->size() : 0;
    appendObject(out_, tag, inner, 0, 0, true);
    if (written_ != nullptr) {
      const std::size_t base = (*written_)[parent].valueBegin;
      for (WrittenObject child : children) {
        child.tagBegin += static_cast<std::uint32_t>(base);
        child.valueBegin += static_cast<std::uint32_t>(base);
        child.valueEnd += static_cast<std::uint32_t>(base);
        written_->push_back(child);
      }
    }
  }

  void appendTop(std::string_view tag, std::string_view value) { appendObject(out_, tag, value, 0, 0); }

private:
  std::string out_;
  std::vector<WrittenObject>* written_;
};

} // namespace

std::string encode(const FieldDictionary& dictionary, std::vector<WrittenObject>* written) {
  const std::vector<Item> items = normalise(dictionary);
  Writer writer(written);

  for (const Item& item : items)
    if (item.value != nullptr && item.key == "payloadFormatIndicator" && item.value->text() != nullptr)
      writer.appendTop("00", *item.value->text());

  for (const Item& item : items) {
    if (item.value == nullptr || item.key == "crc" || item.key == "payloadFormatIndicator")
      continue;
    std::optional<std::string_view> tag;
    if (item.catalogueIndex)
      tag = catalogue::entries[*item.catalogueIndex].tag;
    else if (unicode::characterCount(item.key) == 2)
      tag = item.key;
    if (tag && item.value->text() != nullptr && unicode::characterCount(*tag) == 2)
      writer.appendTop(*tag, *item.value->text());
    if (item.catalogueIndex && item.value->map() != nullptr)
      writer.appendTemplate(catalogue::entries[*item.catalogueIndex].tag, *item.value->map());
  }

  std::string& out = writer.text();
  out += "6304";
  const std::size_t tagBegin = out.size() - 4;
  out += ZArodezQRUtility::prefixZeros(ZArodezQRUtility::getCrc(out));
  if (written != nullptr)
    written->push_back({static_cast<std::uint32_t>(tagBegin), static_cast<std::uint32_t>(tagBegin + 4),
                        static_cast<std::uint32_t>(out.size()), 0, false});
  return std::move(out);
}

} // namespace pavenda::encoding

namespace pavenda {

std::string TLVGenerator::encodeDictToTLV(const FieldDictionary& qrCodeDictionary) {
  return encoding::encode(qrCodeDictionary, nullptr);
}

} // namespace pavenda
