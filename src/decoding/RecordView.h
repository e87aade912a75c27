#ifndef PAVENDA_DECODING_RECORDVIEW_H
#define PAVENDA_DECODING_RECORDVIEW_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include <pavenda/PayMerchantTLV.h>

namespace pavenda::decoding {

/// What a text's number of characters is when it is not known yet.
inline constexpr std::size_t unknownCharacters = static_cast<std::size_t>(-1);

/// The number of user-perceived characters of `text` (the slow path of the accessors below).
std::size_t countCharacters(std::string_view text);

/// An optional text as the checks read it: absent, or a view of text owned elsewhere, with its
/// number of characters when the decoder already knows it (a value's declared length). Reads like
/// `std::optional<std::string_view>`.
class Text {
public:
  constexpr Text() noexcept = default;
  constexpr Text(std::nullopt_t) noexcept {}
  constexpr Text(std::string_view text, std::size_t characters = unknownCharacters) noexcept
      : text_(text), characters_(characters), present_(true) {}
  /// Any text that converts to a view: `std::string`, a literal.
  template <typename T>
  requires(std::is_convertible_v<const T&, std::string_view> &&
           !std::is_same_v<T, std::string_view>) constexpr Text(const T& text) noexcept
      : Text(std::string_view(text)) {}

  constexpr bool has_value() const noexcept { return present_; }
  constexpr explicit operator bool() const noexcept { return present_; }
  /// The text; only when present.
  constexpr const std::string_view& operator*() const noexcept { return text_; }
  constexpr const std::string_view* operator->() const noexcept { return &text_; }

  /// The number of user-perceived characters; only when present.
  std::size_t characters() const {
    return characters_ != unknownCharacters ? characters_ : countCharacters(text_);
  }

  /// Equal when both are absent, or both present with the same text.
  friend constexpr bool operator==(const Text& a, const Text& b) noexcept {
    return a.present_ == b.present_ && (!a.present_ || a.text_ == b.text_);
  }

private:
  std::string_view text_;
  std::size_t characters_ = unknownCharacters;
  bool present_ = false;
};

/// One sub-field of a template: its key and value, both views, and the value's number of
/// characters when known.
struct SubField {
  std::string_view key;
  std::string_view value;
  std::size_t knownCharacters = unknownCharacters;

  /// The number of user-perceived characters of the value.
  std::size_t characters() const {
    return knownCharacters != unknownCharacters ? knownCharacters : countCharacters(value);
  }
};

/// The sub-fields of one template in payload order; a view of a `RecordView`'s storage, valid
/// while that record is neither changed nor destroyed.
class TemplateView {
public:
  TemplateView(const SubField* first, std::size_t count) noexcept : first_(first), count_(count) {}

  /// The value stored under `key`, or null.
  const std::string_view* find(std::string_view key) const noexcept {
    const SubField* found = field(key);
    return found == nullptr ? nullptr : &found->value;
  }

  /// The sub-field stored under `key`, or null.
  const SubField* field(std::string_view key) const noexcept {
    const SubField* found =
        std::find_if(begin(), end(), [key](const SubField& field) { return field.key == key; });
    return found == end() ? nullptr : found;
  }

  const SubField* begin() const noexcept { return first_; }
  const SubField* end() const noexcept { return first_ + count_; }
  std::size_t size() const noexcept { return count_; }

private:
  const SubField* first_;
  std::size_t count_;
};

/// The merchant record as validation reads it: every text and template sub-field is a view into
/// text owned elsewhere (the payload, or a decoded `ZArodezPayMerchantTLV`), so that filling it
/// copies no text. All sub-fields share one buffer, held inline up to `inlineSubFields` (more than
/// any ordinary payload carries) and on the heap beyond.
class RecordView {
public:
  using TextProperty = ZARODEZMerchantTLV::TextProperty;
  using MapProperty = ZARODEZMerchantTLV::MapProperty;

  static constexpr std::size_t inlineSubFields = 32;

  RecordView() = default;

  /// Views of every text and map of `record`, which must outlive this view unchanged.
  explicit RecordView(const ZARODEZMerchantTLV& record);

  RecordView(const RecordView&) = delete;
  RecordView& operator=(const RecordView&) = delete;

  Text text(TextProperty property) const noexcept {
    const auto index = static_cast<std::size_t>(property);
    if (!textPresent_.has(index))
      return std::nullopt;
    const Slot& slot = texts_[index];
    return Text(std::string_view(slot.data, slot.size), slot.characters);
  }

  std::optional<TemplateView> map(MapProperty property) const noexcept {
    const auto index = static_cast<std::size_t>(property);
    if (!mapPresent_.has(index))
      return std::nullopt;
    const Range& range = maps_[index];
    return TemplateView(subFields() + range.first, range.count);
  }

  /// Sets a text; `characters` is its number of characters when known.
  void setText(TextProperty property, std::string_view value,
               std::size_t characters = unknownCharacters) noexcept {
    const auto index = static_cast<std::size_t>(property);
    texts_[index] = {value.data(), value.size(), characters};
    textPresent_.set(index);
  }

  /// Starts collecting a template's sub-fields; answers the mark to pass to `setMap`.
  std::size_t openTemplate() const noexcept { return count_; }

  /// Adds a sub-field to the template opened at `mark`: in place when its key is there already.
  /// `characters` is the value's number of characters when known.
  void addSubField(std::size_t mark, std::string_view key, std::string_view value,
                   std::size_t characters = unknownCharacters);

  /// Adds a sub-field whose key the open template does not hold yet.
  void appendSubField(std::string_view key, std::string_view value,
                      std::size_t characters = unknownCharacters) {
    if (count_ < inlineSubFields) {
      inlineFields()[count_++] = {key, value, characters};
      return;
    }
    spill({key, value, characters});
  }

  /// Makes the sub-fields added since `mark` the template `property`.
  void setMap(MapProperty property, std::size_t mark) noexcept {
    const auto index = static_cast<std::size_t>(property);
    maps_[index] = {static_cast<std::uint32_t>(mark), static_cast<std::uint32_t>(count_ - mark)};
    mapPresent_.set(index);
  }

  /// Whether both hold the same texts and the same templates, sub-fields in the same order, each
  /// with the same number of characters.
  friend bool operator==(const RecordView& a, const RecordView& b) noexcept;

  /// Forgets every text, template and sub-field, as a view made anew.
  void clear() noexcept {
    textPresent_ = {};
    mapPresent_ = {};
    count_ = 0;
    spilled_.clear();
  }

private:
  struct Range {
    std::uint32_t first;
    std::uint32_t count;
  };

  // Which slots hold a value: a view is made for every validation, so only these bits are cleared,
  // never the slots themselves.
  template <std::size_t Count> struct PresenceBits {
    std::array<std::uint64_t, (Count + 63) / 64> words{};
    bool has(std::size_t i) const noexcept { return (words[i / 64] >> (i % 64) & 1U) != 0; }
    void set(std::size_t i) noexcept { words[i / 64] |= std::uint64_t{1} << (i % 64); }
  };

  // Adds a sub-field beyond the inline buffer.
  void spill(const SubField& field);

  // The inline buffer's sub-fields live in bytes (an array of bytes holds them without a
  // constructor run), so that making a view writes none of its slots.
  const SubField* inlineFields() const noexcept {
    return std::launder(reinterpret_cast<const SubField*>(inline_));
  }
  SubField* inlineFields() noexcept { return std::launder(reinterpret_cast<SubField*>(inline_)); }

  const SubField* subFields() const noexcept {
    return count_ <= inlineSubFields ? inlineFields() : spilled_.data();
  }
  SubField* subFields() noexcept {
    return count_ <= inlineSubFields ? inlineFields() : spilled_.data();
  }

  // A text slot: trivial, so that it is left unwritten until set.
  struct Slot {
    const char* data;
    std::size_t size;
    std::size_t characters;
  };

  PresenceBits<ZARODEZMerchantTLV::textPropertyCount> textPresent_;
  PresenceBits<ZARODEZMerchantTLV::mapPropertyCount> mapPresent_;
  std::array<Slot, ZARODEZMerchantTLV::textPropertyCount> texts_;
  std::array<Range, ZARODEZMerchantTLV::mapPropertyCount> maps_;
  std::size_t count_ = 0;
  static_assert(std::is_trivially_copyable_v<SubField> &&
                std::is_trivially_destructible_v<SubField>);
  alignas(SubField) std::byte inline_[inlineSubFields * sizeof(SubField)];
  std::vector<SubField> spilled_; // all sub-fields once there are more than fit inline
};

} // namespace pavenda::decoding

#endif
