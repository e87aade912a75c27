#include "decoding/ReadBack.h"

#include <optional>

#include "decoding/TLVFraming.h"
#include "encoding/TagCatalogue.h"
#include "support/Unicode.h"

namespace pavenda::decoding {
namespace {

// Character positions of a text whose every character is one byte: ASCII without CR LF.
class BytePositions {
public:
  explicit BytePositions(std::string_view text) : text_(text) {}
  std::size_t size() const noexcept { return text_.size(); }
  std::size_t offset(std::size_t position) const noexcept { return position; }
  // Both lie within the text, as the callers check: no bounds check here.
  std::string_view slice(std::size_t position, std::size_t count) const noexcept {
    return {text_.data() + position, count};
  }

private:
  std::string_view text_;
};

// Reads one data object at `position` within [.., end) as the decoder does and compares where its
// tag and value lie with `expected`. Moves `position` to the start of the value.
template <typename Positions>
bool readObject(const Positions& chars, std::size_t& position, std::size_t end,
                const encoding::WrittenObject& expected, std::size_t& valueEnd) {
  if (end - position < 4 || chars.offset(position) != expected.tagBegin)
    return false;
  const auto length = framing::parseLengthField(chars.slice(position + 2, 2));
  position += 4;
  if (!length || *length < 1 || static_cast<std::size_t>(*length) > end - position)
    return false;
  valueEnd = position + static_cast<std::size_t>(*length);
  return chars.offset(position) == expected.valueBegin &&
         chars.offset(valueEnd) == expected.valueEnd;
}

template <typename Positions>
bool readsBack(const Positions& chars, std::span<const encoding::WrittenObject> written) {
  std::size_t position = 0;
  std::size_t next = 0;
  while (position < chars.size()) {
    if (next >= written.size() || written[next].depth != 0)
      return false;
    const encoding::WrittenObject& object = written[next++];
    std::size_t valueEnd = 0;
    if (!readObject(chars, position, chars.size(), object, valueEnd))
      return false;
    const std::string_view tag = chars.slice(position - 4, 2);
    if (object.hasWrittenChildren && (tag == "62" || catalogue::isTemplateTag(tag))) {
      while (position < valueEnd) {
        if (next >= written.size() || written[next].depth != 1)
          return false;
        std::size_t subEnd = 0;
        if (!readObject(chars, position, valueEnd, written[next++], subEnd))
          return false;
        position = subEnd;
      }
    }
    while (next < written.size() && written[next].depth != 0)
      ++next; // sub-fields of a tag the decoder reads as plain text
    position = valueEnd;
  }
  return next == written.size();
}

} // namespace

bool readsBackAsWritten(std::string_view payload,
                        std::span<const encoding::WrittenObject> written) {
  if (!payload.starts_with("00"))
    return false;
  // The usual payload: positions are byte offsets, and no index is needed.
  if (unicode::isAscii(payload) && payload.find("\r\n") == std::string_view::npos)
    return readsBack(BytePositions(payload), written);
  // Checks the form while indexing.
  const std::optional<unicode::CharIndex> index = unicode::CharIndex::ofWellFormed(payload);
  return index && readsBack(*index, written);
}

} // namespace pavenda::decoding
