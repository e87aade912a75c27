#include "encoding/TLVEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

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

// One entry of a dictionary, its key given as a tag number turned into its field key.
struct Field {
  std::string_view key;    // the field key of a catalogue entry, else the key as given
  const FieldValue* value; // null when the entry moved elsewhere
  std::uint8_t index;      // in catalogue::entries, or noEntry
  bool byTag;              // given under its tag number
};

[[gnu::always_inline]] inline Field fieldOf(std::string_view key, const FieldValue& value) {
  if (const auto index = catalogue::indexOfTag(key))
    return {catalogue::entries[*index].key, &value, static_cast<std::uint8_t>(*index), true};
  if (const auto index = catalogue::indexOfKey(key))
    return {key, &value, static_cast<std::uint8_t>(*index), false};
  return {key, &value, noEntry, false};
}

// Calls `write` for each field of `map` in its order. Answers false, having written the map
// as given, when a field is given both by name and by tag number: that needs `normalised`.
template <typename Write> bool forEachSimpleField(const FieldDictionary& map, Write write) {
  // One bit per entry, by name in the first words and by tag number in the others, set without a
  // branch and compared once at the end; fields outside the catalogue land in a word of their own.
  constexpr std::size_t words = noEntry / 64 + 1;
  static_assert(entryCount <= (words - 1) * 64);
  std::array<std::uint64_t, 2 * words> seen{};
  for (const auto& [key, value] : map) {
    const Field field = fieldOf(key, value);
    seen[(field.byTag ? words : 0) + field.index / 64] |= std::uint64_t{1} << (field.index % 64);
    write(field);
  }
  std::uint64_t both = 0;
  for (std::size_t i = 0; i + 1 < words; ++i)
    both |= seen[i] & seen[words + i];
  return both == 0;
}

// The fields of `map`. A field given both by name and by tag number takes the value under the
// tag number, in the place of the field key.
[[gnu::cold, gnu::noinline]] std::vector<Field> normalised(const FieldDictionary& map) {
  std::vector<Field> fields;
  fields.reserve(map.size());
  std::array<Field*, entryCount> named{};
  for (const auto& [key, value] : map) {
    fields.push_back(fieldOf(key, value));
    if (fields.back().index != noEntry && !fields.back().byTag)
      named[fields.back().index] = &fields.back();
  }
  for (Field& field : fields)
    if (field.byTag && named[field.index] != nullptr) {
      named[field.index]->value = field.value;
      field.value = nullptr;
    }
  return fields;
}

// The length field's two digits of every length below 100.
constexpr auto digitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// How lengths are counted. `bytes` takes every character for one byte, which holds for ASCII
// without CR; the encoder checks that once over the whole output and counts again otherwise.
enum class Counting { bytes, characters };

// Calls `write` for each field of `map` in its order, from `normalised` when a field is given both
// by name and by tag number (after taking back what the first try wrote).
template <typename Writer, typename Write>
void forEachField(Writer& writer, const FieldDictionary& map, Write write);

// Writes the output, counting lengths as `counting` says and, when `recording`, noting where each
// data object went in `written` (fixed per writer, so that the usual encoding tests neither).
template <Counting counting, bool recording> class Writer {
public:
  explicit Writer(WrittenObjects* written) : written_(written) {
    // Room for a payload of the usual size, so that writing it allocates once.
    out_.resize(512);
    if constexpr (recording) {
      written_->clear();
      written_->reserve(32);
    }
  }

  std::string_view text() const { return {out_.data(), size_}; }

  // How far the output has come, to go back to.
  struct Mark {
    std::size_t size;
    std::size_t objects;
  };
  Mark mark() const {
    if constexpr (recording)
      return {size_, written_->size()};
    return {size_, 0};
  }
  void rewind(Mark mark) {
    size_ = mark.size;
    if constexpr (recording)
      written_->resize(mark.objects);
  }

  // Appends tag, length and value, recording it at `depth`.
  [[gnu::always_inline]] void appendObject(std::string_view tag, std::string_view value,
                                           std::uint8_t depth) {
    const std::size_t tagBegin = size_;
    const std::size_t length = count(value);
    if (length >= 100) [[unlikely]] {
      appendLongObject(tag, length, value, depth);
      return;
    }
    char* at = claim(tag.size() + 2 + value.size());
    if (tag.size() == 2)
      std::memcpy(at, tag.data(), 2);
    else
      copyValue(at, tag);
    at += tag.size();
    std::memcpy(at, &digitPairs[2 * length], 2);
    copyValue(at + 2, value);
    record(tagBegin, size_ - value.size(), depth, false);
  }

  // Writes the sub-fields in place after a two-digit length placeholder, then fills the length in,
  // widening the field in the rare case that the template has 100 characters or more.
  [[gnu::noinline]] void appendTemplate(std::uint8_t index, const FieldDictionary& map) {
    const std::string_view tag = catalogue::entries[index].tag;
    const std::size_t tagBegin = size_;
    copyValue(claim(tag.size() + 2), tag);
    const std::size_t valueBegin = size_;
    const std::size_t parent = recording ? written_->size() : 0;
    record(tagBegin, valueBegin, 0, true);
    forEachField(*this, map, [this, index](const Field& field) {
      const std::string* text = field.value->text();
      if (text == nullptr)
        return;
      std::string_view subtag;
      if (field.index != noEntry) {
        subtag = catalogue::entries[field.index].tag;
        subtag.remove_prefix(subtag.size() - 2);
      } else if (index == languageTemplateIndex) {
        subtag = catalogue::languageSubtagForKey(field.key).value_or("");
      } else {
        subtag = field.key;
      }
      appendObject(subtag, *text, 1);
    });
    const std::size_t length = count(text().substr(valueBegin));
    std::size_t widening = 0;
    if (length >= 100) [[unlikely]]
      widening = widenLength(valueBegin, length, parent);
    else
      std::memcpy(out_.data() + valueBegin - 2, &digitPairs[2 * length], 2);
    if constexpr (recording) {
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
    if constexpr (counting == Counting::bytes)
      return text.size();
    return unicode::characterCount(text);
  }

  // Copies `value` to `to`. Most values are short: for up to 16 bytes two overlapping loads and
  // stores cost less than a call to memcpy.
  static void copyValue(char* to, std::string_view value) {
    const char* from = value.data();
    const std::size_t n = value.size();
    if (n >= 8) {
      if (n > 16)
        std::memcpy(to, from, n);
      else
        copyWords<std::uint64_t>(to, from, n);
    } else if (n >= 4) {
      copyWords<std::uint32_t>(to, from, n);
    } else if (n > 0) {
      // One to three bytes: the first, the middle and the last, some of them the same.
      const char first = from[0], middle = from[n / 2], last = from[n - 1];
      to[0] = first;
      to[n / 2] = middle;
      to[n - 1] = last;
    }
  }

  // The `n` bytes at `from` (`sizeof(Word)` <= n <= 2 * `sizeof(Word)`) as the first and the last
  // word.
  template <typename Word> static void copyWords(char* to, const char* from, std::size_t n) {
    Word head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + n - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + n - sizeof tail, &tail, sizeof tail);
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
    if constexpr (recording)
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
    if constexpr (recording)
      written_->push_back({static_cast<std::uint32_t>(tagBegin),
                           static_cast<std::uint32_t>(valueBegin),
                           static_cast<std::uint32_t>(size_), depth, hasWrittenChildren});
  }

  std::string out_; // the output so far is its first `size_` bytes; the rest is room
  std::size_t size_ = 0;
  WrittenObjects* written_;
};

template <typename Writer, typename Write>
void forEachField(Writer& writer, const FieldDictionary& map, Write write) {
  const auto mark = writer.mark();
  if (forEachSimpleField(map, write))
    return;
  writer.rewind(mark);
  for (const Field& field : normalised(map))
    if (field.value != nullptr)
      write(field);
}

// The payload format indicator: under its tag number when given both ways (that value wins),
// else under its field key.
const FieldValue* formatIndicatorOf(const FieldDictionary& dictionary) {
  const FieldValue* named = nullptr;
  for (const auto& [key, value] : dictionary) {
    const std::string_view k = key;
    if (k == "00")
      return &value;
    if (k == "payloadFormatIndicator")
      named = &value;
  }
  return named;
}

// Writes a top-level field other than the payload format indicator.
template <typename Writer>
[[gnu::always_inline]] inline void writeField(Writer& writer, const Field& field) {
  if (field.index == crcIndex)
    return;
  const std::string* text = field.value->text();
  if (field.index != noEntry) {
    const std::string_view tag = catalogue::entries[field.index].tag;
    // Catalogue tags are ASCII digits, so only two-byte ones are two characters long.
    if (text != nullptr && tag.size() == 2)
      writer.appendObject(tag, *text, 0);
    else if (const FieldDictionary* map = field.value->map())
      writer.appendTemplate(field.index, *map);
  } else if (text != nullptr && unicode::characterCount(field.key) == 2) {
    writer.appendObject(field.key, *text, 0);
  }
}

// What `writeFields` writes, for a dictionary whose format indicator is not its first field or
// that gives a field both by name and by tag number.
template <typename Writer>
[[gnu::cold, gnu::noinline]] void writeFieldsReordered(Writer& writer,
                                                       const FieldDictionary& dictionary) {
  if (const FieldValue* indicator = formatIndicatorOf(dictionary))
    if (const std::string* text = indicator->text())
      writer.appendObject("00", *text, 0);
  forEachField(writer, dictionary, [&writer](const Field& field) {
    if (field.index != formatIndicatorIndex)
      writeField(writer, field);
  });
}

// Every data object but the closing CRC, the payload format indicator first.
template <typename Writer> void writeFields(Writer& writer, const FieldDictionary& dictionary) {
  // Usually the indicator is the first field, and one pass writes everything in order.
  const auto start = writer.mark();
  bool indicatorLate = false;
  const bool simple = forEachSimpleField(dictionary, [&](const Field& field) {
    if (field.index != formatIndicatorIndex)
      writeField(writer, field);
    else if (!writer.text().empty())
      indicatorLate = true;
    else if (const std::string* text = field.value->text())
      writer.appendObject("00", *text, 0);
  });
  if (simple && !indicatorLate) [[likely]]
    return;
  writer.rewind(start);
  writeFieldsReordered(writer, dictionary);
}

// Whether every character of `text` is one byte, as byte counting assumed: ASCII without CR. One
// pass of 16 bytes a step: a byte of 0x80 or above, or a CR (which compares to all ones), leaves
// its top bit in the accumulated vector.
bool bytesAreCharacters(std::string_view text) {
  using Bytes = unsigned char __attribute__((vector_size(16)));
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  if (n < sizeof(Bytes))
    return std::ranges::all_of(
        text, [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\r'; });
  const auto found = [p](std::size_t at) {
    Bytes v;
    std::memcpy(&v, p + at, sizeof v);
    return v | reinterpret_cast<Bytes>(v == '\r');
  };
  Bytes seen{};
  std::size_t at = 0;
  for (; at + 2 * sizeof(Bytes) < n; at += 2 * sizeof(Bytes))
    seen |= found(at) | found(at + sizeof(Bytes));
  if (at + sizeof(Bytes) < n)
    seen |= found(at);
  seen |= found(n - sizeof(Bytes)); // the last 16 bytes, overlapping what came before
  std::uint64_t halves[2];
  std::memcpy(halves, &seen, sizeof halves);
  return ((halves[0] | halves[1]) & 0x8080808080808080U) == 0;
}

template <bool recording>
std::string encodeWith(const FieldDictionary& dictionary, WrittenObjects* written) {
  Writer<Counting::bytes, recording> writer(written);
  writeFields(writer, dictionary);
  if (bytesAreCharacters(writer.text()))
    return writer.finish();
  Writer<Counting::characters, recording> counted(written);
  writeFields(counted, dictionary);
  return counted.finish();
}

} // namespace

std::string encode(const FieldDictionary& dictionary, WrittenObjects* written) {
  return written != nullptr ? encodeWith<true>(dictionary, written)
                            : encodeWith<false>(dictionary, nullptr);
}

} // namespace pavenda::encoding

namespace pavenda {

std::string TLVGenerator::encodeDictToTLV(const FieldDictionary& qrCodeDictionary) {
  return encoding::encode(qrCodeDictionary, nullptr);
}

} // namespace pavenda
