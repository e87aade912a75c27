#include "explanation/Advisories.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "decoding/TLVFraming.h"
#include "encoding/TagCatalogue.h"
#include "explanation/Findings.h"
#include "support/AsciiNumber.h"
#include "support/CurrencyTable.h"
#include "support/Unicode.h"

namespace pavenda::explain {
namespace {

using MapProperty = ZARODEZMerchantTLV::MapProperty;
using TextProperty = ZARODEZMerchantTLV::TextProperty;

// ---- framing ----

// One data object as a reader frames it: its tag (a sub-field's tag follows its template's, as
// "62/01") and the byte range of its value.
struct Framed {
  std::string tag;
  std::size_t valueBegin;
  std::size_t valueEnd;
  friend bool operator==(const Framed&, const Framed&) = default;
};

// A reader's framing of the whole payload; `failed` when it could not read to the end.
struct Reading {
  std::vector<Framed> objects;
  bool failed = false;
};

// A single-character length: one ASCII digit or letter, read in base 36.
std::optional<int> base36(std::string_view text) {
  if (text.size() != 1)
    return std::nullopt;
  const char c = text[0];
  if (c >= '0' && c <= '9')
    return c - '0';
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
    return (c | 0x20) - 'a' + 10;
  return std::nullopt;
}

enum class Unit { characters, bytes, codePoints, utf16 };

// The byte starts of a payload's counting units, found only as far as a reader asks, so that the
// memory a reading takes is bounded by how far it reads, not by the payload's size. Boundary `i`
// (0 to the number of units) is where unit `i` starts; the last boundary is the payload's end.
class UnitStarts {
public:
  UnitStarts(std::string_view payload, Unit unit) : payload_(payload), unit_(unit) {
    if (unit == Unit::characters)
      characters_.emplace(payload);
  }

  // Whether boundary `i` exists.
  bool has(std::size_t i) {
    if (unit_ == Unit::bytes)
      return i <= payload_.size();
    if (characters_)
      return i <= characters_->size();
    extendTo(i);
    return i < starts_.size();
  }

  // The byte offset of boundary `i`, which must exist.
  std::size_t at(std::size_t i) {
    if (unit_ == Unit::bytes)
      return i;
    if (characters_)
      return characters_->offset(i);
    extendTo(i);
    return starts_[i];
  }

private:
  // A UTF-16 reader counts a code point above U+FFFF twice; its second unit is taken to start at
  // the code point's last byte, so that a frame ending or starting there cuts the code point, as
  // such a reader would.
  void extendTo(std::size_t i) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(payload_.data());
    const auto length = static_cast<std::int64_t>(payload_.size());
    while (starts_.size() <= i && !ended_) {
      if (next_ == length) {
        starts_.push_back(payload_.size());
        ended_ = true;
        break;
      }
      const std::int64_t begin = next_;
      starts_.push_back(static_cast<std::size_t>(begin));
      const std::int32_t c = unicode::nextCodePoint(bytes, next_, length);
      if (unit_ == Unit::utf16 && c > 0xFFFF)
        starts_.push_back(static_cast<std::size_t>(next_ - 1));
    }
  }

  std::string_view payload_;
  Unit unit_;
  std::optional<unicode::CharIndex> characters_;
  std::vector<std::size_t> starts_;
  std::int64_t next_ = 0;
  bool ended_ = false;
};

// A payload that decodes has at most 100 top-level objects (tags 00 to 99, none repeated); one more
// is enough to tell readings apart, and the bound keeps a reading's memory small on any input.
constexpr std::size_t maxTopLevelObjects = 101;

// Walks a payload over counting units, with the decoder's framing rules but without its acceptance
// rules.
class Framer {
public:
  Framer(std::string_view payload, Unit unit) : payload_(payload), starts_(payload, unit) {}

  Reading read() {
    if (payload_.starts_with("00"))
      readLevel(0, std::nullopt, "");
    else
      readSingleCharacter();
    return std::move(reading_);
  }

private:
  std::string_view slice(std::size_t unit, std::size_t count) {
    const std::size_t begin = starts_.at(unit);
    return payload_.substr(begin, starts_.at(unit + count) - begin);
  }

  // Whether `count` more units follow `position`, within `end` (the payload's end when absent).
  bool fits(std::size_t position, std::size_t count, std::optional<std::size_t> end) {
    return end ? *end - position >= count : starts_.has(position + count);
  }

  void readLevel(std::size_t position, std::optional<std::size_t> end, const std::string& parent) {
    std::size_t objects = 0;
    while (!reading_.failed && (end ? position < *end : starts_.has(position + 1))) {
      if (parent.empty() && ++objects > maxTopLevelObjects)
        return;
      if (!fits(position, 4, end)) {
        reading_.failed = true;
        return;
      }
      const std::string tag(slice(position, 2));
      const std::optional<int> length = framing::parseLengthField(slice(position + 2, 2));
      position += 4;
      if (!length || *length < 1 || !fits(position, static_cast<std::size_t>(*length), end)) {
        reading_.failed = true;
        return;
      }
      const std::size_t valueEnd = position + static_cast<std::size_t>(*length);
      const std::string path = parent.empty() ? tag : parent + "/" + tag;
      reading_.objects.push_back({path, starts_.at(position), starts_.at(valueEnd)});
      if (parent.empty() && (tag == "62" || catalogue::isTemplateTag(tag)))
        readLevel(position, valueEnd, tag);
      position = valueEnd;
    }
  }

  void readSingleCharacter() {
    std::size_t position = 0;
    for (std::size_t objects = 0; starts_.has(position + 1); ++objects) {
      if (objects == maxTopLevelObjects)
        return;
      const std::optional<int> length =
          fits(position, 2, std::nullopt) ? base36(slice(position + 1, 1)) : std::nullopt;
      if (!length || !fits(position + 2, static_cast<std::size_t>(*length), std::nullopt)) {
        reading_.failed = true;
        return;
      }
      const std::size_t valueEnd = position + 2 + static_cast<std::size_t>(*length);
      reading_.objects.push_back(
          {std::string(slice(position, 1)), starts_.at(position + 2), starts_.at(valueEnd)});
      position = valueEnd;
    }
  }

  std::string_view payload_;
  UnitStarts starts_;
  Reading reading_;
};

std::string topTag(const std::string& path) {
  return path.substr(0, path.find('/'));
}

// The top-level tags of `objects` from `from` on, at most six, as "59, 60, 63".
std::string tagList(const std::vector<Framed>& objects, std::size_t from) {
  std::string list;
  std::size_t shown = 0;
  for (std::size_t i = from; i < objects.size(); ++i) {
    if (objects[i].tag.find('/') != std::string::npos)
      continue;
    if (shown == 6)
      return list + ", ...";
    list += (shown++ == 0 ? "" : ", ") + objects[i].tag;
  }
  return list.empty() ? "nothing" : list;
}

void adviseOnFraming(std::string_view payload, bool singleCharacter, std::vector<Advisory>& out) {
  if (unicode::CharIndex(payload).size() == payload.size())
    return; // one byte per character: every reading agrees
  const Reading expected = Framer(payload, Unit::characters).read();
  constexpr std::array<std::pair<Unit, std::string_view>, 3> readers = {{
      {Unit::codePoints, "code points"},
      {Unit::utf16, "UTF-16 code units"},
      {Unit::bytes, "bytes"},
  }};
  for (const auto& [unit, name] : readers) {
    const Reading other = Framer(payload, unit).read();
    const auto [mine, theirs] = std::mismatch(expected.objects.begin(), expected.objects.end(),
                                              other.objects.begin(), other.objects.end());
    if (mine == expected.objects.end() && theirs == other.objects.end() &&
        expected.failed == other.failed)
      continue;
    const auto at = static_cast<std::size_t>(mine - expected.objects.begin());
    // The top-level object in which the readings part.
    std::size_t top = std::min(at, expected.objects.empty() ? 0 : expected.objects.size() - 1);
    while (top > 0 && expected.objects[top].tag.find('/') != std::string::npos)
      --top;
    const std::string tag = expected.objects.empty() ? "" : topTag(expected.objects[top].tag);
    const std::string field(fieldOfTag(tag, singleCharacter));
    std::string detail = "a reader that counts " + std::string(name) +
                         " instead of user-perceived characters frames the payload differently "
                         "from tag " +
                         tag + " on: it reads tags " + tagList(other.objects, top) +
                         (other.failed ? " and then fails" : "") + " where the payload has " +
                         tagList(expected.objects, top);
    out.push_back({"framing", tag, field, std::move(detail)});
  }
}

// ---- capacity ----

// Byte-mode capacities of version 15 (77 modules a side) at L, M, Q and H. Above version 15, a code
// printed at sticker size (3 to 4 cm) has modules under half a millimetre, where phone cameras at
// arm's length start to miss; payment codes stay below.
constexpr std::array<std::size_t, 4> comfortable = {520, 412, 292, 220};
constexpr std::array<std::string_view, 4> levelNames = {"L", "M", "Q", "H"};

void adviseOnCapacity(std::string_view payload, ErrorCorrection level, std::vector<Advisory>& out) {
  const auto index = static_cast<std::size_t>(level);
  const std::string name(levelNames[index]);
  const std::size_t largest = largestQrSymbolBytes(level);
  if (payload.size() > largest)
    out.push_back({"capacity", "", "",
                   "the payload has " + std::to_string(payload.size()) +
                       " bytes; the largest QR symbol holds " + std::to_string(largest) +
                       " in byte mode at error correction " + name});
  else if (payload.size() > comfortable[index])
    out.push_back({"capacity", "", "",
                   "the payload has " + std::to_string(payload.size()) +
                       " bytes and needs a QR symbol above version 15 (77 modules a side, " +
                       std::to_string(comfortable[index]) + " bytes at error correction " + name +
                       "); printed at sticker size, larger symbols have modules too small for "
                       "many phone cameras"});
}

// ---- currency decimals ----

std::string decimalCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " decimal" : " decimals");
}

void adviseOnDecimals(const ZArodezPayMerchantTLV& record, bool singleCharacter,
                      std::vector<Advisory>& out) {
  const std::optional<std::string>& currency = record.currencyCode();
  if (!currency)
    return;
  const std::optional<int> number = parseAsciiDigits(*currency);
  const std::optional<std::string_view> alphabetic =
      number ? ISOCountryCodes::availableISOCurrencies.lookup(*number) : std::nullopt;
  if (!alphabetic)
    return;
  const std::optional<int> minorUnit = unicode::currencyMinorUnits(*alphabetic);
  if (!minorUnit)
    return;
  for (const std::string_view key : {"transactionAmount", "convenienceFeeAmount"}) {
    const auto value = record.valueForKey(key);
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr)
      continue;
    const std::size_t period = text->find('.');
    if (period == std::string::npos)
      continue;
    const std::size_t decimals = text->size() - period - 1;
    if (decimals <= static_cast<std::size_t>(*minorUnit))
      continue;
    const std::string tag(tagOfField(key, singleCharacter));
    out.push_back({"currency-decimals", tag, std::string(key),
                   std::string(key) + " (tag " + tag + ") is '" + *text + "' with " +
                       decimalCount(decimals) + "; " + std::string(*alphabetic) + " (currency " +
                       *currency + ") has " + decimalCount(static_cast<std::size_t>(*minorUnit))});
  }
}

// ---- invisible characters ----

bool isInvisible(char32_t c, std::int32_t previous) {
  if (c == 0x200D && previous >= 0 &&
      unicode::isExtendedPictographic(static_cast<char32_t>(previous)))
    return false; // joins an emoji sequence
  // The line and paragraph separators break a line where no line break is seen.
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || unicode::isFormat(c) || c == 0x2028 || c == 0x2029)
    return true;
  return unicode::isDefaultIgnorable(c) && !unicode::isNonSpacingMark(c);
}

// "U+202E RIGHT-TO-LEFT OVERRIDE at character 3" for each invisible code point of `text`.
std::vector<std::string> invisibleIn(std::string_view text) {
  std::vector<std::string> found;
  const unicode::CharIndex chars(text);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  std::size_t character = 0;
  std::int32_t previous = 0;
  for (std::int32_t i = 0; i < length;) {
    const auto begin = static_cast<std::size_t>(i);
    while (chars.offset(character + 1) <= begin)
      ++character;
    const std::int32_t c = unicode::nextCodePoint(bytes, i, length);
    if (c >= 0 && isInvisible(static_cast<char32_t>(c), previous)) {
      std::array<char, 16> code{};
      std::snprintf(code.data(), code.size(), "U+%04X", static_cast<unsigned>(c));
      found.push_back(std::string(code.data()) + " " +
                      unicode::characterName(static_cast<char32_t>(c)) + " at character " +
                      std::to_string(character));
    }
    previous = c;
  }
  return found;
}

void adviseOnText(std::string tag, std::string field, std::string_view label, std::string_view text,
                  std::vector<Advisory>& out) {
  const std::vector<std::string> found = invisibleIn(text);
  if (found.empty())
    return;
  std::string detail = std::string(label) + " holds ";
  for (std::size_t i = 0; i < found.size(); ++i)
    detail += (i == 0 ? "" : ", ") + found[i];
  detail += "; invisible characters can make a text look like another";
  out.push_back({"invisible-characters", std::move(tag), std::move(field), std::move(detail)});
}

void adviseOnInvisible(const ZArodezPayMerchantTLV& record, bool singleCharacter,
                       std::vector<Advisory>& out) {
  static constexpr std::array<std::string_view, ZARODEZMerchantTLV::textPropertyCount> textNames = {
      {
#define PAVENDA_TEXT_PROPERTY(name, Name) #name,
#define PAVENDA_MAP_PROPERTY(name, Name)
#include <pavenda/MerchantTLVProperties.def>
      }};
  static constexpr std::array<std::string_view, ZARODEZMerchantTLV::mapPropertyCount> mapNames = {{
#define PAVENDA_TEXT_PROPERTY(name, Name)
#define PAVENDA_MAP_PROPERTY(name, Name) #name,
#include <pavenda/MerchantTLVProperties.def>
  }};
  for (std::size_t i = 0; i < textNames.size(); ++i) {
    const std::string_view key = textNames[i];
    const std::optional<std::string>& value = record.text(static_cast<TextProperty>(i));
    const std::string_view tag = tagOfField(key, singleCharacter);
    // The merchant PAN repeats the merchant ID; tag 62's sub-fields are read from its template.
    if (!value || key == "zArodezMerchantPAN" || key == "additionalDataField" || tag.size() == 4)
      continue;
    adviseOnText(std::string(tag), std::string(key),
                 std::string(key) + " (tag " + std::string(tag) + ")", *value, out);
  }
  for (std::size_t i = 0; i < mapNames.size(); ++i) {
    const std::optional<TextMap>& map = record.map(static_cast<MapProperty>(i));
    if (!map)
      continue;
    const std::string_view name = mapNames[i];
    const std::string tag = name.starts_with("tag")
                                ? std::string(name.substr(3))
                                : (name == "additionalDataFieldTemplate" ? "62" : "64");
    // Keys outside the key tables are the sub-tags themselves.
    const bool bySubtag = tag != "62" && tag != "64";
    for (const auto& [key, value] : *map)
      adviseOnText(tag, key,
                   bySubtag ? "sub-tag " + key + " of tag " + tag : key + " (tag " + tag + ")",
                   value, out);
  }
}

} // namespace

std::vector<Advisory> advisoriesFor(const ZArodezPayMerchantTLV& record, std::string_view payload,
                                    ErrorCorrection level) {
  std::vector<Advisory> out;
  if (!unicode::isValidUtf8(payload))
    return out;
  const bool singleCharacter = !payload.starts_with("00");
  adviseOnFraming(payload, singleCharacter, out);
  adviseOnCapacity(payload, level, out);
  adviseOnDecimals(record, singleCharacter, out);
  adviseOnInvisible(record, singleCharacter, out);
  return out;
}

} // namespace pavenda::explain
