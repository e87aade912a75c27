#ifndef PAVENDA_FIELDDICTIONARY_H
#define PAVENDA_FIELDDICTIONARY_H

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
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
  /// last value.
  FieldDictionary(std::initializer_list<value_type> entries);

  /// Reads a JSON object: strings become texts, objects nested maps, every other value a value of
  /// another kind; keys keep the order of the text. Answers nothing for text that is not JSON or
  /// JSON that is not an object, and then writes a one-line reason (with the position of a parse
  /// error) to `error` when it is not null. Never throws.
  static std::optional<FieldDictionary> fromJSON(std::string_view json,
                                                 std::string* error = nullptr);

  /// The value under `key`, or null. The pointer is valid until the next write.
  const FieldValue* find(std::string_view key) const noexcept;

  /// Whether `key` has an entry.
  bool contains(std::string_view key) const noexcept { return find(key) != nullptr; }

  /// Stores `value` under `key`: in place when the key is present, at the end otherwise.
  void set(std::string key, FieldValue value);

  /// Removes the entry under `key`; answers whether there was one.
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
