#include <pavenda/FieldDictionary.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "support/OrderedEntries.h"

namespace pavenda {
namespace {

// Only two levels carry meaning; anything deeper is a value of another kind, so nesting depth in
// the input never turns into recursion here.
FieldValue fromJSONValue(const nlohmann::ordered_json& json, bool nestedAllowed) {
  if (json.is_string())
    return FieldValue(json.get_ref<const std::string&>());
  if (json.is_object() && nestedAllowed) {
    FieldDictionary map;
    for (const auto& [key, value] : json.items())
      map.set(key, fromJSONValue(value, false));
    return FieldValue(std::move(map));
  }
  return FieldValue::other();
}

} // namespace

FieldDictionary::FieldDictionary(std::initializer_list<value_type> entries) {
  for (const value_type& entry : entries)
    set(entry.first, entry.second);
}

const FieldValue* FieldDictionary::find(std::string_view key) const noexcept {
  const auto found = detail::findEntry(entries_, key);
  return found == entries_.end() ? nullptr : &found->second;
}

void FieldDictionary::set(std::string key, FieldValue value) {
  detail::insertOrAssign(entries_, std::move(key), std::move(value));
}

bool FieldDictionary::erase(std::string_view key) {
  const auto found = detail::findEntry(entries_, key);
  if (found == entries_.end())
    return false;
  entries_.erase(found);
  return true;
}

bool operator==(const FieldDictionary& a, const FieldDictionary& b) {
  return a.entries_ == b.entries_;
}

std::optional<FieldDictionary> FieldDictionary::fromJSON(std::string_view json,
                                                         std::string* error) {
  nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(json, nullptr, false);
  if (parsed.is_discarded()) {
    if (error != nullptr) {
      // Parse again with exceptions on, only to learn where and why it failed.
      try {
        const auto reparsed = nlohmann::ordered_json::parse(json);
        (void)reparsed;
        *error = "invalid JSON";
      } catch (const nlohmann::json::exception& e) {
        // A syntax error, or a number beyond the range of a double (out_of_range).
        std::string what = e.what();
        const auto bracket = what.find("] ");
        *error =
            "invalid JSON: " + (bracket == std::string::npos ? what : what.substr(bracket + 2));
      }
    }
    return std::nullopt;
  }
  if (!parsed.is_object()) {
    if (error != nullptr)
      *error = std::string("expected a JSON object, got ") + parsed.type_name();
    return std::nullopt;
  }
  FieldDictionary dictionary;
  for (const auto& [key, value] : parsed.items())
    dictionary.set(key, fromJSONValue(value, true));
  return dictionary;
}

} // namespace pavenda
