#ifndef PAVENDA_FIELDDICTIONARY_H
#define PAVENDA_FIELDDICTIONARY_H

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace pavenda {

class FieldValue;

/// The input of encoding and generation: a map from text key to value, in insertion order.
///
/// A key is a field key of the tag catalogue (`merchantName`, see `QRCodeTag`) or a catalogue tag
/// number ("59", "6201"). A value is a text, a nested map (a template's sub-fields) or a value of
/// another kind (a number, a Boolean, a list or null, as JSON has them), which the encoder skips.
/// Iteration follows insertion order, so the same dictionary always gives the same payload.
///
///     FieldDictionary dict{{"merchantName", "Corner Shop"},
///                          {"additionalDataFieldTemplate", FieldDictionary{{"billID", "1234"}}}};
class FieldDictionary {
public:
  using value_type = std::pair<std::string, FieldValue>;
  using const_iterator = std::vector<value_type>::const_iterator;

  /// An empty dictionary.
  FieldDictionary() = default;

  /// A dictionary of the given entries in their order; a repeated key keeps its first place and its
  /// last value. Throws `std::bad_alloc` when memory runs out, nothing else.
  FieldDictionary(std::initializer_list<value_type> entries);

  /// Why `fromJSON` answered nothing.
  enum class JSONRefusal {
    /// The text is not one JSON object: a syntax error, bytes (NUL included) after the closing
    /// brace, or a value other than an object at the top.
    syntax,
    /// The object is well-formed but holds a value the encoder would drop or misread (see
    /// `firstUnwritableField`, and a key given twice in one object).
    unwritableField,
  };

  /// Reads a JSON object of fields, keeping the order of the text: strings become texts, objects
  /// under template fields nested maps. Answers nothing, and writes a one-line reason to `error`
  /// and its kind to `refusal` (each when not null), when
  /// - the text is not a JSON object ("invalid JSON: ..." with the position of the error, or
  ///   "expected a JSON object, got ..."), or has bytes after the closing brace;
  /// - a value would not be written as given, as "keyPath: what was wrong; what to write instead":
  ///   a number, Boolean, null or array where text belongs (never converted, since 450.00 and 450
  ///   differ), a key given twice in one object, or anything `firstUnwritableField` reports.
  /// A syntax error is reported before any field refusal. Time and memory are linear in the size
  /// of the text. Throws `std::bad_alloc` when memory runs out, nothing else.
  static std::optional<FieldDictionary>
  fromJSON(std::string_view json, std::string* error = nullptr, JSONRefusal* refusal = nullptr);

  /// The first value the encoder would drop or misread, as "keyPath: what was wrong; what to write
  /// instead" (`transactionAmount: ...`, `additionalDataFieldTemplate.bilID: ...`), or nothing
  /// when every value will be written and read back as given. Reported, in entry order:
  /// - a value that is neither text nor, for a template field (tags 26 to 51, 62, 64, 80 to 99),
  ///   a map of texts; a map under a field that is not a template;
  /// - at the top, a key that is neither a catalogue field key of the top level nor a two-digit
  ///   tag ("ab", "k0" and "é中" name no tag), or a sub-field of a template ("billID", "6201",
  ///   "languagePreference"), which is only written inside it;
  /// - inside a template, a key that is no sub-tag of it: the additional data template (62) takes
  ///   its sub-field keys, their tags "6201" to "6214" and sub-tags "01" to "99"; the language
  ///   template (64) its three sub-field keys and sub-tags "00" to "99"; the other templates any
  ///   two characters. A key of another level ("cityName" inside 62) is named as such;
  /// - a field given both by name and by tag number, or a sub-field given twice ("billID" and
  ///   "01" in 62);
  /// - an empty text or an empty template (the decoder reads no empty value);
  /// - a value of 100 characters or more, or a template whose written sub-fields come to that
  ///   many, since its two length digits cannot count them.
  /// A given `crc` (or "63") is never written, whatever it holds: the CRC is always computed. An
  /// unknown key comes with the nearest allowed key as a suggestion when one is close (an edit per
  /// four characters, or its beginning), otherwise with what to write. Throws `std::bad_alloc`
  /// when memory runs out, nothing else.
  [[nodiscard]] std::optional<std::string> firstUnwritableField() const;

  /// The value under `key`, or null. The pointer is valid until the next write. Constant time on
  /// average.
  const FieldValue* find(std::string_view key) const noexcept;

  /// Whether `key` has an entry.
  bool contains(std::string_view key) const noexcept { return find(key) != nullptr; }

  /// Stores `value` under `key`: in place when the key is present, at the end otherwise. Constant
  /// time on average. Throws `std::bad_alloc` when memory runs out (the dictionary is then
  /// unchanged), nothing else.
  void set(std::string key, FieldValue value);

  /// Removes the entry under `key`; answers whether there was one. Linear in the size.
  bool erase(std::string_view key);

  /// The number of entries.
  std::size_t size() const noexcept;

  /// Whether the dictionary has no entry.
  bool empty() const noexcept;

  /// Iteration in insertion order.
  const_iterator begin() const noexcept;
  const_iterator end() const noexcept;

  friend bool operator==(const FieldDictionary&, const FieldDictionary&);

private:
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const noexcept {
      return std::hash<std::string_view>{}(key);
    }
  };

  // Position of each key in `entries_`, kept only once the dictionary outgrows a linear search,
  // so that small dictionaries (the usual case) stay one vector.
  std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> index_;
  std::vector<value_type> entries_;
};

/// One value of a `FieldDictionary`: a text, a nested map, or a value of another kind.
class FieldValue {
public:
  /// What a value holds.
  enum class Kind { text, map, other };

  /// A text value.
  FieldValue(std::string text) : value_(std::move(text)) {}
  FieldValue(const char* text) : value_(std::string(text)) {}
  FieldValue(std::string_view text) : value_(std::string(text)) {}

  /// A nested map (a template's sub-fields).
  FieldValue(FieldDictionary map) : value_(std::move(map)) {}

  /// A value of another kind (number, Boolean, list, null): kept, but never written by the encoder.
  static FieldValue other() { return FieldValue(Other{}); }

  /// What this value holds.
  Kind kind() const noexcept { return static_cast<Kind>(value_.index()); }

  /// The text, or null when this is not a text.
  const std::string* text() const noexcept { return std::get_if<std::string>(&value_); }

  /// The nested map, or null when this is not a map.
  const FieldDictionary* map() const noexcept { return std::get_if<FieldDictionary>(&value_); }

  friend bool operator==(const FieldValue&, const FieldValue&) = default;

private:
  struct Other {
    friend bool operator==(Other, Other) = default;
  };
  explicit FieldValue(Other other) : value_(other) {}

  std::variant<std::string, FieldDictionary, Other> value_;
};

// Defined once `FieldValue` is complete: the entries' vector needs its element type here.
inline std::size_t FieldDictionary::size() const noexcept {
  return entries_.size();
}
inline bool FieldDictionary::empty() const noexcept {
  return entries_.empty();
}
inline FieldDictionary::const_iterator FieldDictionary::begin() const noexcept {
  return entries_.begin();
}
inline FieldDictionary::const_iterator FieldDictionary::end() const noexcept {
  return entries_.end();
}

} // namespace pavenda

#endif
