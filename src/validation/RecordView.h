#ifndef PAVENDA_VALIDATION_RECORDVIEW_H
#define PAVENDA_VALIDATION_RECORDVIEW_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <pavenda/PayMerchantTLV.h>

namespace pavenda::validation {

/// An optional text as the checks read it: absent, or a view of text owned elsewhere.
using Text = std::optional<std::string_view>;

/// One sub-field of a template: its key and value, both views.
struct SubField {
  std::string_view key;
  std::string_view value;
};

/// The sub-fields of one template in payload order; a view of a `RecordView`'s storage, valid
/// while that record is neither changed nor destroyed.
class TemplateView {
public:
  TemplateView(const SubField* first, std::size_t count) noexcept : first_(first), count_(count) {}

  /// The value stored under `key`, or null.
  const std::string_view* find(std::string_view key) const noexcept {
    const SubField* found =
        std::find_if(begin(), end(), [key](const SubField& field) { return field.key == key; });
    return found == end() ? nullptr : &found->value;
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
    return texts_[static_cast<std::size_t>(property)];
  }

  std::optional<TemplateView> map(MapProperty property) const noexcept {
    const Range& range = maps_[static_cast<std::size_t>(property)];
    if (!range.present)
      return std::nullopt;
    return TemplateView(subFields() + range.first, range.count);
  }

  void setText(TextProperty property, std::string_view value) noexcept {
    texts_[static_cast<std::size_t>(property)] = value;
  }

  /// Starts collecting a template's sub-fields; answers the mark to pass to `setMap`.
  std::size_t openTemplate() const noexcept { return count_; }

  /// Adds a sub-field to the template opened at `mark`: in place when its key is there already.
  void addSubField(std::size_t mark, std::string_view key, std::string_view value);

  /// Makes the sub-fields added since `mark` the template `property`.
  void setMap(MapProperty property, std::size_t mark) noexcept {
    maps_[static_cast<std::size_t>(property)] = {static_cast<std::uint32_t>(mark),
                                                 static_cast<std::uint32_t>(count_ - mark), true};
  }

private:
  struct Range {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    bool present = false;
  };

  const SubField* subFields() const noexcept {
    return count_ <= inlineSubFields ? inline_.data() : spilled_.data();
  }
  SubField* subFields() noexcept {
    return count_ <= inlineSubFields ? inline_.data() : spilled_.data();
  }

  std::array<Text, ZARODEZMerchantTLV::textPropertyCount> texts_{};
  std::array<Range, ZARODEZMerchantTLV::mapPropertyCount> maps_{};
  std::size_t count_ = 0;
  std::array<SubField, inlineSubFields> inline_;
  std::vector<SubField> spilled_; // all sub-fields once there are more than fit inline
};

} // namespace pavenda::validation

#endif
