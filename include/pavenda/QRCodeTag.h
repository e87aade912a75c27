#ifndef PAVENDA_QRCODETAG_H
#define PAVENDA_QRCODETAG_H

#include <string_view>

namespace pavenda {

/// The tag of every field key, one read-only accessor per key: `QRCodeTag::merchantName()` is "59",
/// `QRCodeTag::billID()` is "6201", `QRCodeTag::crc()` is "63".
///
/// Use them to key a `FieldDictionary` by tag number instead of field name; the encoder accepts
/// both. Two-character tags are top-level fields; four-character tags are "62" followed by the
/// sub-tag of a sub-field of the additional data template.
///
/// There is one accessor per field key, each a constant: the keys are those of the field
/// dictionary and of the record's properties, in tag order from `payloadFormatIndicator()` ("00")
/// to `tag99()` ("99"), with the additional-data sub-fields `billID()` ("6201") to `addDataNpci2()`
/// ("6214") after `additionalDataFieldTemplate()` ("62"). The full list:
/// @include QRCodeTags.def
///
/// The sub-fields of the language template have accessors of the same kind, the template's tag
/// followed by the sub-tag: `languagePreference()` is "6400" (written as sub-tag "00" of tag 64):
/// @include LanguageTemplateTags.def
class QRCodeTag {
public:
#define PAVENDA_TAG(key, tag)                                                                      \
  static constexpr std::string_view key() noexcept {                                               \
    return tag;                                                                                    \
  }
#include <pavenda/QRCodeTags.def>
#define PAVENDA_LANGUAGE_TAG(key, tag)                                                             \
  static constexpr std::string_view key() noexcept {                                               \
    return tag;                                                                                    \
  }
#include <pavenda/LanguageTemplateTags.def>
};

} // namespace pavenda

#endif
