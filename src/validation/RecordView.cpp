#include "validation/RecordView.h"

namespace pavenda::validation {

RecordView::RecordView(const ZARODEZMerchantTLV& record) {
  for (std::size_t i = 0; i < texts_.size(); ++i)
    if (const auto& value = record.text(static_cast<TextProperty>(i)))
      setText(static_cast<TextProperty>(i), *value);
  for (std::size_t i = 0; i < maps_.size(); ++i) {
    const auto& map = record.map(static_cast<MapProperty>(i));
    if (!map)
      continue;
    const std::size_t mark = openTemplate();
    for (const auto& [key, value] : *map)
      addSubField(mark, key, value);
    setMap(static_cast<MapProperty>(i), mark);
  }
}

} // namespace pavenda::validation

namespace pavenda::validation {

void RecordView::addSubField(std::size_t mark, std::string_view key, std::string_view value) {
  SubField* fields = subFields();
  SubField* const end = fields + count_;
  SubField* const found =
      std::find_if(fields + mark, end, [key](const SubField& field) { return field.key == key; });
  if (found != end) {
    found->value = value;
    return;
  }
  appendSubField(key, value);
}

void RecordView::spill(std::string_view key, std::string_view value) {
  if (count_ == inlineSubFields)
    spilled_.assign(inlineFields(), inlineFields() + inlineSubFields);
  spilled_.push_back({key, value});
  ++count_;
}

} // namespace pavenda::validation
