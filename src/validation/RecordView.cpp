#include "validation/RecordView.h"

namespace pavenda::validation {

RecordView::RecordView(const ZARODEZMerchantTLV& record) {
  for (std::size_t i = 0; i < texts_.size(); ++i)
    if (const auto& value = record.text(static_cast<TextProperty>(i)))
      texts_[i] = *value;
  std::size_t count = 0;
  for (std::size_t i = 0; i < maps_.size(); ++i)
    if (const auto& map = record.map(static_cast<MapProperty>(i)))
      count += map->size();
  subFields_.reserve(count);
  for (std::size_t i = 0; i < maps_.size(); ++i) {
    const auto& map = record.map(static_cast<MapProperty>(i));
    if (!map)
      continue;
    const std::size_t mark = openTemplate();
    for (const auto& [key, value] : *map)
      subFields_.push_back({key, value});
    setMap(static_cast<MapProperty>(i), mark);
  }
}

} // namespace pavenda::validation
