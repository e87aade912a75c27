// Decoding for validation, the path every payload takes first: it walks the payload's bytes with
// two-digit tags and lengths read directly, counts characters only where a value is not printable
// ASCII, and places each element from a table. Anything out of the ordinary (the single-character
// scheme, a sign or a mark in a length, a refused or repeated tag, a cut-short value) makes it give
// up, and the general decoder reads the payload instead, so that it alone decides every failure.

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "decoding/Decode.h"
#include "decoding/Placement.h"
#include "encoding/TagCatalogue.h"
#include "support/Bits.h"
#include "support/Unicode.h"

namespace pavenda::decoding {
namespace {

using TextProperty = ZARODEZMerchantTLV::TextProperty;
using MapProperty = ZARODEZMerchantTLV::MapProperty;
using Action = Placement::Action;

// What a two-digit tag is at top level.
enum class Kind : std::uint8_t { plain, additionalData, otherTemplate };

constexpr std::array<Kind, 100> kinds = [] {
  std::array<Kind, 100> table{};
  for (std::size_t n = 0; n < table.size(); ++n) {
    const std::array<char, 2> tag{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    const std::string_view text(tag.data(), tag.size());
    table[n] = text == "62"                     ? Kind::additionalData
               : catalogue::isTemplateTag(text) ? Kind::otherTemplate
                                                : Kind::plain;
  }
  return table;
}();

constexpr std::string_view twoDigits(std::size_t n) noexcept {
  constexpr std::string_view all = "000102030405060708091011121314151617181920212223242526272829"
                                   "303132333435363738394041424344454647484950515253545556575859"
                                   "606162636465666768697071727374757677787980818283848586878889"
                                   "90919293949596979899";
  return all.substr(2 * n, 2);
}

// Tag 62's sub-fields: where each is stored and the key it is collected under. The general decoder
// stores a sub-field whose sub-tag has no key under the sub-tag itself.
struct SubPlacement {
  Placement placement;
  std::optional<std::string_view> key;
};

// Where tag 62 goes, taken from the general placement rules once, on first use (so that no other
// static's initialisation can run before it).
struct AdditionalDataPlacements {
  std::array<SubPlacement, 100> subs;
  Placement text; // the template's whole text
  Placement map;  // the template
};

const AdditionalDataPlacements& additionalData() {
  static const AdditionalDataPlacements placements = [] {
    AdditionalDataPlacements made{};
    for (std::size_t n = 0; n < made.subs.size(); ++n) {
      const std::string_view subtag = twoDigits(n);
      const std::array<char, 4> composite{'6', '2', subtag[0], subtag[1]};
      made.subs[n].placement = placeTLV01Other("62", subtag, "x", false);
      made.subs[n].key = catalogue::keyForTag(std::string_view(composite.data(), composite.size()));
    }
    made.text = placeTLV01Other("62", std::nullopt, "x", false);
    made.map = placeTLV01Other("62", std::nullopt, {}, true);
    return made;
  }();
  return placements;
}

constexpr std::array<std::optional<std::string_view>, 100> languageKeys = [] {
  std::array<std::optional<std::string_view>, 100> table{};
  for (std::size_t n = 0; n < table.size(); ++n)
    table[n] = catalogue::languageKeyForSubtag(twoDigits(n));
  return table;
}();

// Only 62 and 64 give their sub-fields keys of their own (62 through its four-digit catalogue tags,
// which no other template has); every other template keeps the sub-tag.
static_assert([] {
  for (const catalogue::Entry& entry : catalogue::entries)
    if (entry.tag.size() != 2 && !entry.tag.starts_with("62"))
      return false;
  return true;
}());

// The tags read at one level, one bit each.
class SeenDigits {
public:
  // Adds tag `n` (0 to 99); false when it was there already.
  bool insert(std::size_t n) noexcept {
    const std::uint64_t bit = std::uint64_t{1} << (n % 64);
    std::uint64_t& word = words_[n / 64];
    const bool fresh = (word & bit) == 0;
    word |= bit;
    return fresh;
  }

private:
  std::array<std::uint64_t, 2> words_{};
};

// The first byte from `from` on that is not printable ASCII, or the end; eight bytes a step.
std::size_t nextUnprintable(std::string_view text, std::size_t from) noexcept {
  constexpr std::uint64_t ones = 0x0101010101010101ULL;
  constexpr std::uint64_t topBits = 0x8080808080808080ULL;
  std::size_t i = from;
  for (; i + 8 <= text.size(); i += 8) {
    // Byte k of memory in lane k on any target, so that the lowest lane set is the first byte.
    const auto word = bits::loadLittleEndian<std::uint64_t>(text.data() + i);
    // A byte below 0x20, above 0x7E or with its top bit sets the top bit of its lane; a borrow or
    // carry reaches only later lanes, so the first lane set is the first such byte.
    const std::uint64_t outside = ((word - ones * 0x20) | (word + ones * 0x01) | word) & topBits;
    if (outside != 0)
      return i + static_cast<std::size_t>(std::countr_zero(outside)) / 8;
  }
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c > 0x7E)
      return i;
  }
  return i;
}

// Validation alone compares the framing with nothing.
struct NoFraming {
  static bool open(std::size_t, std::size_t, bool) noexcept { return true; }
  static bool sub(std::size_t, std::size_t, std::size_t) noexcept { return true; }
  static bool close(std::size_t) noexcept { return true; }
  static bool done() noexcept { return true; }
};

// Generation's read-back check done while decoding: each element read must lie where the encoder
// wrote one (byte offsets), a template's sub-fields too when they were written as such, and every
// object written must be read.
class WrittenFraming {
public:
  explicit WrittenFraming(std::span<const encoding::WrittenObject> written) : written_(written) {}

  // A top-level element whose tag starts at `tagBegin` and value at `valueBegin`, read as a
  // template or not.
  bool open(std::size_t tagBegin, std::size_t valueBegin, bool readAsTemplate) {
    if (next_ >= written_.size() || written_[next_].depth != 0 ||
        written_[next_].tagBegin != tagBegin || written_[next_].valueBegin != valueBegin)
      return false;
    current_ = &written_[next_++];
    children_ = current_->hasWrittenChildren && readAsTemplate;
    return true;
  }

  bool sub(std::size_t tagBegin, std::size_t valueBegin, std::size_t valueEnd) {
    if (!children_)
      return true;
    if (next_ >= written_.size())
      return false;
    const encoding::WrittenObject& object = written_[next_++];
    return object.depth == 1 && object.tagBegin == tagBegin && object.valueBegin == valueBegin &&
           object.valueEnd == valueEnd;
  }

  bool close(std::size_t valueEnd) {
    if (current_->valueEnd != valueEnd)
      return false;
    // Sub-fields written under a tag that is read as plain text, or left over.
    while (next_ < written_.size() && written_[next_].depth != 0)
      ++next_;
    return true;
  }

  bool done() const noexcept { return next_ == written_.size(); }

private:
  std::span<const encoding::WrittenObject> written_;
  std::size_t next_ = 0;
  const encoding::WrittenObject* current_ = nullptr;
  bool children_ = false;
};

template <typename Framing> class FastDecoder {
public:
  FastDecoder(decoding::RecordView& view, std::string_view payload, Framing& framing)
      : view_(view), payload_(payload), bytes_(payload.data()),
        unprintable_(nextUnprintable(payload, 0)), framing_(framing) {}

  // Every byte lies in a header, read as ASCII digits, or in a value, read as printable ASCII or
  // walked as well-formed characters: the payload is well-formed when this succeeds.
  bool run() {
    SeenDigits seen;
    std::size_t lastTag = 100;
    while (at_ < payload_.size()) {
      std::size_t tag = 0;
      std::size_t length = 0;
      if (!readHeader(seen, tag, length))
        return false;
      const std::size_t valueStart = at_;
      if (!framing_.open(valueStart - 4, valueStart, kinds[tag] != Kind::plain))
        return false;
      switch (kinds[tag]) {
      case Kind::plain: {
        const std::optional<std::size_t> end = valueEnd(length);
        if (!end)
          return false;
        at_ = *end;
        if (!place(twoDigitPlacements[0][tag], valueStart, length))
          return false;
        break;
      }
      case Kind::additionalData:
        if (!readTemplate(tag, length) || !place(additionalData().text, valueStart, length) ||
            !setMap(additionalData().map))
          return false;
        break;
      case Kind::otherTemplate:
        if (!readTemplate(tag, length) || !setMap(twoDigitPlacements[1][tag]))
          return false;
        break;
      }
      if (!framing_.close(at_))
        return false;
      lastTag = tag;
    }
    return lastTag == 63 && framing_.done();
  }

private:
  // Reads two digits of tag and two of length from the position on, and moves past them.
  bool readHeader(SeenDigits& seen, std::size_t& tag, std::size_t& length) {
    if (payload_.size() - at_ < 4)
      return false;
    // The four digits at once: a lane that is no digit gets its top bit set by the subtraction or
    // by the addition (a borrow or carry only follows a lane already set).
    const auto word = bits::loadLittleEndian<std::uint32_t>(bytes_ + at_);
    const std::uint32_t digits = word - 0x30303030U;
    if (((digits | (digits + 0x76767676U)) & 0x80808080U) != 0)
      return false;
    const std::uint32_t t0 = digits & 0xFF, t1 = digits >> 8 & 0xFF, l0 = digits >> 16 & 0xFF,
                        l1 = digits >> 24;
    tag = t0 * 10 + t1;
    length = l0 * 10 + l1;
    if (length == 0 || !seen.insert(tag))
      return false;
    at_ += 4;
    // The length's last digit is a character of its own only if no mark joins it.
    return at_ < unprintable_ || unicode::startsCharacterAfterPrintable(payload_, at_);
  }

  // Where the value of `length` characters from the position ends, or nothing.
  std::optional<std::size_t> valueEnd(std::size_t length) {
    // Printable ASCII: each byte a character. A mark joining the last one would sit where the
    // next tag's first digit must be, and the fast path gives up there.
    if (length <= unprintable_ - at_)
      return at_ + length;
    const std::optional<std::size_t> end = unicode::advanceCharacters(payload_, at_, length);
    if (end)
      unprintable_ = nextUnprintable(payload_, *end);
    return end;
  }

  // Reads a template's sub-fields, `length` characters in all, up to the position after it.
  bool readTemplate(std::size_t tag, std::size_t length) {
    mark_ = view_.openTemplate();
    SeenDigits seen;
    std::size_t remaining = length;
    while (remaining > 0) {
      std::size_t sub = 0;
      std::size_t subLength = 0;
      if (remaining < 4 || !readHeader(seen, sub, subLength) || subLength > remaining - 4)
        return false;
      const std::size_t valueStart = at_;
      const std::optional<std::size_t> end = valueEnd(subLength);
      if (!end)
        return false;
      at_ = *end;
      if (!framing_.sub(valueStart - 4, valueStart, *end))
        return false;
      const std::string_view value = payload_.substr(valueStart, *end - valueStart);
      remaining -= 4 + subLength;
      // Sub-tags are distinct at one level, and so are the keys they give: no key to look for.
      const std::string_view subtag = payload_.substr(valueStart - 4, 2);
      if (tag == 62) {
        const SubPlacement& placement = additionalData().subs[sub];
        view_.appendSubField(placement.key.value_or(subtag), value, subLength);
        if (!placeText(placement.placement, value, subLength))
          return false;
      } else if (tag == 64) {
        view_.appendSubField(languageKeys[sub].value_or(subtag), value, subLength);
      } else {
        view_.appendSubField(subtag, value, subLength);
      }
    }
    return true;
  }

  // Stores the value from `valueStart` to the position, `characters` long, as `placement` says.
  bool place(const Placement& placement, std::size_t valueStart, std::size_t characters) {
    return placeText(placement, payload_.substr(valueStart, at_ - valueStart), characters);
  }

  bool placeText(const Placement& placement, std::string_view value, std::size_t characters) {
    return apply(
        placement,
        [&](TextProperty property) {
          view_.setText(property, value, characters);
          if (placement.copiesToPan)
            view_.setText(TextProperty::zArodezMerchantPAN, value, characters);
        },
        [](MapProperty) {});
  }

  // Makes the template just read the map `placement` names; false when it refuses it.
  bool setMap(const Placement& placement) {
    if (placement.action != Action::map)
      return false;
    view_.setMap(static_cast<MapProperty>(placement.property), mark_);
    return true;
  }

  decoding::RecordView& view_;
  std::string_view payload_;
  const char* bytes_;
  std::size_t unprintable_; // the first byte from the position on that is not printable ASCII
  std::size_t at_ = 0;
  std::size_t mark_ = 0; // where the template being read starts among the view's sub-fields
  Framing& framing_;
};

} // namespace

bool decodeOrdinary(decoding::RecordView& view, std::string_view payload) {
  if (!payload.starts_with("00"))
    return false;
  NoFraming framing;
  return FastDecoder(view, payload, framing).run();
}

bool decodeOrdinaryAsWritten(decoding::RecordView& view, std::string_view payload,
                             std::span<const encoding::WrittenObject> written) {
  if (!payload.starts_with("00"))
    return false;
  WrittenFraming framing(written);
  return FastDecoder(view, payload, framing).run();
}

} // namespace pavenda::decoding
