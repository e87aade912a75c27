#include "decoding/RecordView.h"

#include "support/Unicode.h"

namespace pavenda::decoding {

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

} // namespace pavenda::decoding

namespace pavenda::decoding {

void RecordView::addSubField(std::size_t mark, std::string_view key, std::string_view value,
                             std::size_t characters) {
  SubField* fields = subFields();
  SubField* const end = fields + count_;
  SubField* const found =
      std::find_if(fields + mark, end, [key](const SubField& field) { return field.key == key; });
  if (found != end) {
    found->value = value;
    found->knownCharacters = characters;
    return;
  }
  appendSubField(key, value, characters);
}

void RecordView::spill(const SubField& field) {
  if (count_ == inlineSubFields)
    spilled_.assign(inlineFields(), inlineFields() + inlineSubFields);
  spilled_.push_back(field);
  ++count_;
}

std::size_t countCharacters(std::string_view text) {
  return unicode::characterCount(text);
}

bool operator==(const RecordView& a, const RecordView& b) noexcept {
  for (std::size_t i = 0; i < ZARODEZMerchantTLV::textPropertyCount; ++i) {
    const auto property = static_cast<RecordView::TextProperty>(i);
    const Text textA = a.text(property);
    const Text textB = b.text(property);
    if (textA != textB || (textA && textA.characters() != textB.characters()))
      return false;
  }
  for (std::size_t i = 0; i < ZARODEZMerchantTLV::mapPropertyCount; ++i) {
    const auto property = static_cast<RecordView::MapProperty>(i);
    const std::optional<TemplateView> mapA = a.map(property);
    const std::optional<TemplateView> mapB = b.map(property);
    if (mapA.has_value() != mapB.has_value())
      return false;
    if (mapA && !std::equal(mapA->begin(), mapA->end(), mapB->begin(), mapB->end(),
                            [](const SubField& x, const SubField& y) {
                              return x.key == y.key && x.value == y.value &&
                                     x.characters() == y.characters();
                            }))
      return false;
  }
  return true;
}

} // namespace pavenda::decoding
