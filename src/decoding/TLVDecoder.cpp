#include <pavenda/PayMerchantTLV.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "decoding/Decode.h"
#include "decoding/DecodeStop.h"
#include "decoding/Placement.h"
#include "decoding/TLVFraming.h"
#include "encoding/TagCatalogue.h"
#include "support/AsciiNumber.h"
#include "support/Unicode.h"

namespace pavenda::decoding {
namespace {

using Result = std::optional<TLVDecodingError>;

// Answers `error`, writing where it happened to `stop` when the caller asked for it.
TLVDecodingError stopAt(DecodeStop* stop, TLVDecodingError error, DecodeStop where) {
  if (stop != nullptr)
    *stop = std::move(where);
  return error;
}
using TextProperty = ZARODEZMerchantTLV::TextProperty;
using MapProperty = ZARODEZMerchantTLV::MapProperty;

// The decoder stores what it reads through a sink: the public record, through its overridable
// assignment operations and owned copies, or the view that validation reads, which copies nothing.
// A sink collects a template's sub-fields in its `Template` and then stores them in one step.
class RecordSink {
public:
  using Template = TextMap;

  explicit RecordSink(ZArodezPayMerchantTLV& record) : record_(record) {}

  bool assign00(std::string_view tag, int length, std::string_view value) {
    return record_.assignTLV00(tag, length, value);
  }
  bool assign01(std::string_view tag, std::optional<std::string_view> subtag, int length,
                std::string_view value) {
    return record_.assignTLV01(tag, subtag, length, value, std::nullopt);
  }
  Template openTemplate(std::size_t capacity) {
    TextMap collected;
    collected.reserve(capacity);
    return collected;
  }
  void addSubField(Template& collected, std::string_view key, std::string_view value,
                   std::size_t /*characters*/) {
    collected.insertOrAssign(std::string(key), std::string(value));
  }
  bool closeTemplate(std::string_view tag, int length, Template& collected) {
    return record_.assignTLV01(tag, std::nullopt, length, {}, std::move(collected));
  }

private:
  ZArodezPayMerchantTLV& record_;
};

class ViewSink {
public:
  using Template = std::size_t; // the view's mark where the template's sub-fields start

  explicit ViewSink(decoding::RecordView& view) : view_(view) {}

  // A value's declared length is its number of characters: the checks need not count again.
  bool assign00(std::string_view tag, int length, std::string_view value) {
    return store(decoding::placeTLV00(tag), value, static_cast<std::size_t>(length), 0);
  }
  bool assign01(std::string_view tag, std::optional<std::string_view> subtag, int length,
                std::string_view value) {
    return store(decoding::placeTLV01(tag, subtag, value, false), value,
                 static_cast<std::size_t>(length), 0);
  }
  Template openTemplate(std::size_t /*capacity*/) { return view_.openTemplate(); }
  void addSubField(Template mark, std::string_view key, std::string_view value,
                   std::size_t characters) {
    view_.addSubField(mark, key, value, characters);
  }
  bool closeTemplate(std::string_view tag, int /*length*/, Template mark) {
    return store(decoding::placeTLV01(tag, std::nullopt, {}, true), {}, 0, mark);
  }

private:
  bool store(const decoding::Placement& placement, std::string_view value, std::size_t characters,
             std::size_t mark) {
    return decoding::apply(
        placement,
        [&](TextProperty property) {
          view_.setText(property, value, characters);
          if (placement.copiesToPan)
            view_.setText(TextProperty::zArodezMerchantPAN, value, characters);
        },
        [&](MapProperty property) { view_.setMap(property, mark); });
  }

  decoding::RecordView& view_;
};

// The tags already read at one level. Tags that can be accepted (one ASCII character, two ASCII
// digits) take a bit; any other only gets here when an overriding assignment accepts it, and goes
// to a list that stays unallocated otherwise.
class SeenTags {
public:
  // Adds `tag`; false when it was there already.
  // Two digits, nearly every tag, are tested first and inline.
  [[gnu::always_inline]] bool insert(std::string_view tag) {
    std::size_t bit = 0;
    const auto tens = static_cast<unsigned>(tag.size() == 2 ? tag[0] - '0' : 10);
    const auto units = static_cast<unsigned>(tag.size() == 2 ? tag[1] - '0' : 10);
    if (tens < 10 && units < 10)
      bit = asciiCount + tens * 10 + units;
    else if (tag.size() == 1 && static_cast<unsigned char>(tag[0]) < asciiCount)
      bit = static_cast<std::size_t>(tag[0]);
    else
      return insertOther(tag);
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    std::uint64_t& word = words_[bit / 64];
    if ((word & mask) != 0)
      return false;
    word |= mask;
    return true;
  }

private:
  bool insertOther(std::string_view tag) {
    if (std::find(others_.begin(), others_.end(), tag) != others_.end())
      return false;
    others_.emplace_back(tag);
    return true;
  }

  static constexpr std::size_t asciiCount = 128;
  static constexpr std::size_t bitCount = asciiCount + 100;

  std::array<std::uint64_t, (bitCount + 63) / 64> words_{};
  std::vector<std::string> others_;
};

// A single-character length: lower-cased, then one base-36 digit.
std::optional<int> base36Digit(std::string_view character) {
  const std::string lowered = unicode::toLower(character);
  if (lowered.size() != 1)
    return std::nullopt;
  const char c = lowered.front();
  if (isAsciiDigit(c))
    return c - '0';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 10;
  return std::nullopt;
}

// A two-digit-scheme length field: a signed decimal of at least 1.
std::optional<std::size_t> lengthField(std::string_view field) noexcept {
  const std::optional<int> length = framing::parseLengthField(field);
  if (!length || *length < 1)
    return std::nullopt;
  return static_cast<std::size_t>(*length);
}

// The key under which a template's sub-field is collected.
std::string_view subtagKey(std::string_view tag, std::string_view subtag) noexcept {
  if (tag == "64")
    return catalogue::languageKeyForSubtag(subtag).value_or(subtag);
  if (tag.size() + subtag.size() == 4) {
    std::array<char, 4> composite{};
    std::copy(subtag.begin(), subtag.end(), std::copy(tag.begin(), tag.end(), composite.begin()));
    if (const auto key = catalogue::keyForTag(std::string_view(composite.data(), composite.size())))
      return *key;
  }
  return subtag;
}

template <typename Sink>
Result decodeTLV00(Sink& record, const unicode::CharIndex& chars, std::size_t& position,
                   DecodeStop* stop) {
  const std::size_t end = chars.size();
  if (end == 0)
    return stopAt(stop, TLVDecodingError::invalidLength, {.reason = StopReason::tooShort});
  SeenTags seen;
  while (position < end) {
    const std::string_view written = chars.slice(position, 1);
    const std::string tag = unicode::toLower(written);
    if (!seen.insert(tag))
      return stopAt(
          stop, TLVDecodingError::repeatedTag,
          {.reason = StopReason::repeatedTag, .offset = position, .element = std::string(written)});
    if (end - position < 2)
      return stopAt(stop, TLVDecodingError::invalidTagLength,
                    {.reason = StopReason::lengthCutShort,
                     .offset = position + 1,
                     .element = std::string(written)});
    const std::optional<int> length = base36Digit(chars.slice(position + 1, 1));
    if (!length)
      return stopAt(stop, TLVDecodingError::invalidTagLength,
                    {.reason = StopReason::lengthNotNumber,
                     .offset = position + 1,
                     .element = std::string(chars.slice(position + 1, 1))});
    const auto count = static_cast<std::size_t>(*length);
    if (end - position - 2 < count)
      return stopAt(stop, TLVDecodingError::invalidTagLength,
                    {.reason = StopReason::valueCutShort,
                     .offset = position + 2,
                     .element = std::string(written),
                     .declared = count,
                     .remaining = end - position - 2});
    const std::string_view value = chars.slice(position + 2, count);
    if (!record.assign00(tag, *length, value))
      return stopAt(
          stop, TLVDecodingError::invalidTag,
          {.reason = StopReason::refused, .offset = position, .element = std::string(written)});
    position += count + 2;
  }
  return std::nullopt;
}

// The two-digit scheme. Top level and templates share one position over the payload's characters.
template <typename Sink> class TLV01Decoder {
public:
  TLV01Decoder(Sink& record, const unicode::CharIndex& chars, DecodeStop* stop)
      : record_(record), chars_(chars), stop_(stop) {}

  /// The character position at which the element being read starts.
  std::size_t elementStart() const noexcept { return elementStart_; }

  Result decode() {
    const std::size_t end = chars_.size();
    if (end == 0)
      return fail(TLVDecodingError::invalidLength, {.reason = StopReason::tooShort});
    SeenTags seen;
    Element element;
    while (position_ < end) {
      if (const Result failed = readElement(end, seen, element, {}))
        return failed;
      const std::string_view tag = element.tag;
      const int lengthArgument = static_cast<int>(element.length);
      if (tag == "62") {
        if (!record_.assign01(tag, std::nullopt, lengthArgument, element.value))
          return refused(tag, {});
        if (const Result failed = decodeSubtags(tag, element.length))
          return failed;
      } else if (catalogue::isTemplateTag(tag)) {
        if (const Result failed = decodeSubtags(tag, element.length))
          return failed;
      } else {
        if (!record_.assign01(tag, std::nullopt, lengthArgument, element.value))
          return refused(tag, {});
        position_ += element.length;
      }
    }
    if (element.tag != "63")
      return fail(TLVDecodingError::invalidTag, {.reason = StopReason::noClosingCrc,
                                                 .offset = elementStart_,
                                                 .element = std::string(element.tag)});
    return std::nullopt;
  }

private:
  struct Element {
    std::string_view tag;
    std::string_view value;
    std::size_t length = 0;
  };

  TLVDecodingError fail(TLVDecodingError error, DecodeStop where) const {
    return stopAt(stop_, error, std::move(where));
  }

  // Where an element failed, as views: the texts are copied only when the caller asked for them.
  struct Stop {
    StopReason reason;
    std::size_t offset;
    std::string_view element;
    std::string_view enclosing;
    std::size_t declared = 0;
    std::size_t remaining = 0;
  };

  // Out of line and cold, so that reading an element carries none of the failures' copies.
  [[gnu::noinline, gnu::cold]] TLVDecodingError failAt(TLVDecodingError error,
                                                       const Stop& where) const {
    if (stop_ == nullptr)
      return error;
    return fail(error, {.reason = where.reason,
                        .offset = where.offset,
                        .element = std::string(where.element),
                        .enclosing = std::string(where.enclosing),
                        .declared = where.declared,
                        .remaining = where.remaining});
  }

  // The element starting at `elementStart_` (within `enclosing`) was not accepted.
  TLVDecodingError refused(std::string_view tag, std::string_view enclosing) const {
    return fail(TLVDecodingError::invalidTag, {.reason = StopReason::refused,
                                               .offset = elementStart_,
                                               .element = std::string(tag),
                                               .enclosing = std::string(enclosing)});
  }

  // Reads the tag, length and value of one element that must end by `end`, with the same rules at
  // top level and inside a template (`enclosing`); leaves the position at the start of the value.
  Result readElement(std::size_t end, SeenTags& seen, Element& element,
                     std::string_view enclosing) {
    elementStart_ = position_;
    if (end - position_ < 2)
      return failAt(TLVDecodingError::invalidTagLength,
                    {.reason = StopReason::tagCutShort,
                     .offset = position_,
                     .element = chars_.slice(position_, end - position_),
                     .enclosing = enclosing,
                     .remaining = end - position_});
    element.tag = chars_.slice(position_, 2);
    if (!seen.insert(element.tag))
      return failAt(TLVDecodingError::repeatedTag, {.reason = StopReason::repeatedTag,
                                                    .offset = position_,
                                                    .element = element.tag,
                                                    .enclosing = enclosing});
    position_ += 2;
    if (end - position_ < 2)
      return failAt(TLVDecodingError::invalidTagLength, {.reason = StopReason::lengthCutShort,
                                                         .offset = position_,
                                                         .element = element.tag,
                                                         .enclosing = enclosing});
    const std::string_view field = chars_.slice(position_, 2);
    const std::optional<std::size_t> length = lengthField(field);
    if (!length)
      return failAt(TLVDecodingError::invalidTagLength,
                    {.reason = framing::parseLengthField(field) ? StopReason::lengthBelowOne
                                                                : StopReason::lengthNotNumber,
                     .offset = position_,
                     .element = field,
                     .enclosing = enclosing});
    position_ += 2;
    if (end - position_ < *length)
      return failAt(TLVDecodingError::invalidTagLength, {.reason = StopReason::valueCutShort,
                                                         .offset = position_,
                                                         .element = element.tag,
                                                         .enclosing = enclosing,
                                                         .declared = *length,
                                                         .remaining = end - position_});
    element.length = *length;
    element.value = chars_.slice(position_, *length);
    return std::nullopt;
  }

  // Reads the template `tag` of `length` characters from the position on, hands tag 62's sub-fields
  // over one by one, then the collected map.
  Result decodeSubtags(std::string_view tag, std::size_t length) {
    const std::size_t end = position_ + length;
    const std::size_t templateStart = elementStart_;
    SeenTags seen;
    // The most sub-fields that fit: each takes at least 5 characters.
    typename Sink::Template collected = record_.openTemplate(length / 5);
    Element sub;
    while (position_ < end) {
      if (const Result failed = readElement(end, seen, sub, tag))
        return failed;
      record_.addSubField(collected, subtagKey(tag, sub.tag), sub.value, sub.length);
      if (tag == "62" && !record_.assign01(tag, sub.tag, static_cast<int>(sub.length), sub.value))
        return refused(sub.tag, tag);
      position_ += sub.length;
    }
    elementStart_ = templateStart;
    if (!record_.closeTemplate(tag, static_cast<int>(length), collected))
      return refused(tag, {});
    return std::nullopt;
  }

  Sink& record_;
  const unicode::CharIndex& chars_;
  DecodeStop* stop_;
  std::size_t position_ = 0;
  std::size_t elementStart_ = 0;
};

template <typename Sink>
DecodeResult decodeWith(Sink& sink, std::string_view payload, DecodeStop* stop) {
  // Ill-formed text has no characters to count; the character index also holds 32-bit offsets.
  if (payload.size() > std::numeric_limits<std::uint32_t>::max())
    return {stopAt(stop, TLVDecodingError::invalidLength, {.reason = StopReason::tooLong})};
  const std::optional<unicode::CharIndex> index = unicode::CharIndex::ofWellFormed(payload);
  if (!index)
    return {stopAt(stop, TLVDecodingError::invalidLength, {.reason = StopReason::notUtf8})};
  if (index->size() < 2)
    return {stopAt(stop, TLVDecodingError::invalidLength,
                   {.reason = StopReason::tooShort, .remaining = index->size()})};
  const unicode::CharIndex& chars = *index;
  DecodeResult result;
  if (chars.slice(0, 2) == "00") {
    TLV01Decoder<Sink> decoder(sink, chars, stop);
    result.error = decoder.decode();
    result.offset = decoder.elementStart();
  } else {
    result.error = decodeTLV00(sink, chars, result.offset, stop);
  }
  if (result.error == TLVDecodingError::invalidTagLength)
    result.error = TLVDecodingError::invalidLength;
  if (!result.error)
    result.offset = 0;
  return result;
}

} // namespace

DecodeResult decode(ZArodezPayMerchantTLV& record, std::string_view payload) {
  RecordSink sink(record);
  return decodeWith(sink, payload, nullptr);
}

DecodeResult decode(ZArodezPayMerchantTLV& record, std::string_view payload, DecodeStop* stop) {
  RecordSink sink(record);
  return decodeWith(sink, payload, stop);
}

DecodeResult decodeGeneral(decoding::RecordView& view, std::string_view payload) {
  ViewSink sink(view);
  return decodeWith(sink, payload, nullptr);
}

DecodeResult decode(decoding::RecordView& view, std::string_view payload) {
  if (decodeOrdinary(view, payload))
    return {};
  view.clear();
  return decodeGeneral(view, payload);
}

} // namespace pavenda::decoding

namespace pavenda {

std::optional<TLVDecodingError> ZArodezPayMerchantTLV::decodeTLV(std::string_view payload) {
  return decoding::decode(*this, payload).error;
}

} // namespace pavenda
