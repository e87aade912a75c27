#include <pavenda/FieldDictionary.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include <nlohmann/json.hpp>

#include "encoding/TagCatalogue.h"
#include "support/OrderedEntries.h"
#include "support/Unicode.h"

namespace pavenda {
namespace {

// Up to this many entries a linear search over the vector is faster than hashing.
constexpr std::size_t linearLimit = 16;

// A key as it may appear in a one-line message: control bytes escaped, long keys cut short.
std::string printable(std::string_view key) {
  constexpr std::size_t longest = 64;
  std::string out;
  std::size_t end = std::min(key.size(), longest);
  // Cut on a character boundary, never inside a UTF-8 sequence.
  while (end < key.size() && end > 0 && (static_cast<unsigned char>(key[end]) & 0xC0) == 0x80)
    --end;
  for (const char c : key.substr(0, end)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      static constexpr char hex[] = "0123456789ABCDEF";
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 0xF];
    } else {
      out += c;
    }
  }
  if (end < key.size())
    out += "...";
  return out;
}

std::string pathOf(std::string_view parent, std::string_view key) {
  return parent.empty() ? printable(key) : printable(parent) + "." + printable(key);
}

// Edit distance with adjacent transpositions (so "merchantNmae" is one step from "merchantName"),
// over the first bytes only: a suggestion needs no more, and a huge key stays cheap.
std::size_t editDistance(std::string_view a, std::string_view b) {
  a = a.substr(0, 64);
  b = b.substr(0, 64);
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

template <typename Candidates> std::string_view nearest(std::string_view key, Candidates keys) {
  std::string_view best;
  std::size_t bestDistance = SIZE_MAX;
  for (const std::string_view candidate : keys) {
    const std::size_t distance = editDistance(key, candidate);
    if (distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

constexpr bool isTemplate(std::string_view tag) {
  return tag == "62" || catalogue::isTemplateTag(tag);
}

// The 14 sub-fields of the additional data template sit right after it in the catalogue.
constexpr std::size_t firstSubfield = 63;
constexpr std::size_t subfieldCount = 14;

std::vector<std::string_view> topLevelKeys() {
  std::vector<std::string_view> keys;
  for (const catalogue::Entry& entry : catalogue::entries)
    if (entry.tag.size() == 2)
      keys.push_back(entry.key);
  return keys;
}

std::vector<std::string_view> subfieldKeys() {
  std::vector<std::string_view> keys;
  for (std::size_t i = 0; i < subfieldCount; ++i)
    keys.push_back(catalogue::entries[firstSubfield + i].key);
  return keys;
}

std::string unknownKey(const std::string& path, std::string_view key,
                       const std::vector<std::string_view>& candidates) {
  return path + ": not a field key; did you mean \"" + std::string(nearest(key, candidates)) +
         "\"?";
}

// Remembers which catalogue entries a map gave by name and by tag number, to catch a field given
// both ways (the encoder would keep only one of them).
class TwinCheck {
public:
  std::optional<std::string> see(std::size_t index, bool byTag, std::string_view parent,
                                 std::string_view key) {
    auto& seen = byTag ? byTag_ : byName_;
    const auto& other = byTag ? byName_ : byTag_;
    seen[index] = true;
    if (!other[index])
      return std::nullopt;
    const catalogue::Entry& entry = catalogue::entries[index];
    return pathOf(parent, key) + ": " + std::string(entry.key) +
           " given both by name and by tag "
           "number " +
           std::string(entry.tag) + "; keep one";
  }

private:
  std::array<bool, catalogue::entries.size()> byName_{}, byTag_{};
};

std::optional<std::string> firstUnwritableSubfield(const std::string& parent,
                                                   std::string_view templateTag,
                                                   const FieldDictionary& map) {
  TwinCheck twins;
  for (const auto& [key, value] : map) {
    const std::string path = pathOf(parent, key);
    const auto byTag = catalogue::indexOfTag(key);
    const auto index = byTag ? byTag : catalogue::indexOfKey(key);
    if (index) {
      if (auto twin = twins.see(*index, byTag.has_value(), parent, key))
        return twin;
    } else if (templateTag == "64") {
      // Any other key would be written with an empty sub-tag.
      if (!catalogue::languageSubtagForKey(key))
        return unknownKey(path, key,
                          std::vector<std::string_view>{"languagePreference",
                                                        "merchantNameAlternateLanguage",
                                                        "merchantCityAlternateLanguage"});
    } else if (unicode::characterCount(key) != 2) {
      // A two-character key is written as its own sub-tag; a longer one would make a sub-tag the
      // decoder cannot read.
      if (templateTag == "62")
        return unknownKey(path, key, subfieldKeys());
      return path + ": not a sub-field key; write a two-character sub-tag such as \"01\"";
    }
    if (value.text() == nullptr)
      return path + ": " + (value.map() ? "a map" : "a value that is not text") +
             " where text belongs; write it as text";
  }
  return std::nullopt;
}

// Builds a FieldDictionary from JSON events, refusing what the encoder would not write as given.
// Parsing goes on after a field refusal so that a later syntax error still wins.
class Reader : public nlohmann::json_sax<nlohmann::json> {
public:
  FieldDictionary top;
  std::optional<std::string> syntaxError;
  std::optional<std::string> fieldError;

  bool null() override {
    return value("null", "null where text belongs; write the text, or leave the key out");
  }
  bool boolean(bool b) override {
    return value("boolean", std::string("a Boolean where text belongs; write it as a string: \"") +
                                (b ? "true" : "false") + "\"");
  }
  bool number_integer(number_integer_t n) override { return number(std::to_string(n)); }
  bool number_unsigned(number_unsigned_t n) override { return number(std::to_string(n)); }
  bool number_float(number_float_t, const string_t& raw) override { return number(raw); }
  bool binary(binary_t&) override { return value("binary", "binary data where text belongs"); }

  bool string(string_t& text) override {
    if (depth_ == 0)
      return notAnObject("string");
    if (skipping() || fieldError)
      return true;
    if (depth_ == 1)
      top.set(std::move(key1_), FieldValue(std::move(text)));
    else
      nested_.set(std::move(key2_), FieldValue(std::move(text)));
    return true;
  }

  bool start_object(std::size_t) override {
    ++depth_;
    if (depth_ == 3 && !skipping()) {
      refuse(pathOf(key1_, key2_) + ": an object where text belongs; write it as text");
      skipFrom_ = depth_;
    }
    return true;
  }

  bool end_object() override {
    if (depth_ == skipFrom_)
      skipFrom_ = INT_MAX;
    else if (depth_ == 2 && !fieldError)
      top.set(std::move(key1_), FieldValue(std::move(nested_)));
    nested_ = FieldDictionary();
    --depth_;
    return true;
  }

  bool start_array(std::size_t) override {
    if (depth_ == 0)
      return notAnObject("array");
    if (!skipping()) {
      refuse(path() + ": an array where text belongs; write one text");
      skipFrom_ = depth_ + 1;
    }
    ++depth_;
    return true;
  }

  bool end_array() override {
    if (depth_ == skipFrom_)
      skipFrom_ = INT_MAX;
    --depth_;
    return true;
  }

  bool key(string_t& key) override {
    if (skipping() || fieldError)
      return true;
    FieldDictionary& map = depth_ == 1 ? top : nested_;
    std::string& slot = depth_ == 1 ? key1_ : key2_;
    slot = std::move(key);
    if (map.contains(slot))
      refuse(path() + ": given twice in one object; keep one");
    return true;
  }

  bool parse_error(std::size_t, const std::string&,
                   const nlohmann::detail::exception& error) override {
    // The message starts with "[json.exception.parse_error.101] "; the reason follows.
    const std::string_view what = error.what();
    const auto bracket = what.find("] ");
    syntaxError = "invalid JSON: " +
                  std::string(bracket == std::string_view::npos ? what : what.substr(bracket + 2));
    return false;
  }

private:
  bool skipping() const { return depth_ >= skipFrom_; }

  std::string path() const { return depth_ <= 1 ? pathOf("", key1_) : pathOf(key1_, key2_); }

  void refuse(std::string reason) {
    if (!fieldError)
      fieldError = std::move(reason);
  }

  bool notAnObject(const char* kind) {
    syntaxError = std::string("expected a JSON object, got ") + kind;
    return false;
  }

  bool value(const char* kind, const std::string& what) {
    if (depth_ == 0)
      return notAnObject(kind);
    if (!skipping())
      refuse(path() + ": " + what);
    return true;
  }

  bool number(const std::string& raw) {
    return value("number", "a number where text belongs; write it as a string: \"" + raw + "\"");
  }

  int depth_ = 0;
  int skipFrom_ = INT_MAX;
  std::string key1_, key2_;
  FieldDictionary nested_;
};

} // namespace

FieldDictionary::FieldDictionary(std::initializer_list<value_type> entries) {
  for (const value_type& entry : entries)
    set(entry.first, entry.second);
}

const FieldValue* FieldDictionary::find(std::string_view key) const noexcept {
  if (index_.empty()) {
    const auto found = detail::findEntry(entries_, key);
    return found == entries_.end() ? nullptr : &found->second;
  }
  const auto found = index_.find(key);
  return found == index_.end() ? nullptr : &entries_[found->second].second;
}

void FieldDictionary::set(std::string key, FieldValue value) {
  if (index_.empty() && entries_.size() < linearLimit) {
    detail::insertOrAssign(entries_, std::move(key), std::move(value));
    return;
  }
  if (index_.empty()) {
    try {
      index_.reserve(entries_.size() * 2);
      for (std::size_t i = 0; i < entries_.size(); ++i)
        index_.emplace(entries_[i].first, i);
    } catch (...) {
      index_.clear();
      throw;
    }
  }
  const auto [found, inserted] = index_.try_emplace(key, entries_.size());
  if (!inserted) {
    entries_[found->second].second = std::move(value);
    return;
  }
  try {
    entries_.emplace_back(std::move(key), std::move(value));
  } catch (...) {
    index_.erase(found);
    throw;
  }
}

bool FieldDictionary::erase(std::string_view key) {
  const auto found = detail::findEntry(entries_, key);
  if (found == entries_.end())
    return false;
  const auto position = static_cast<std::size_t>(found - entries_.begin());
  if (!index_.empty()) {
    index_.erase(index_.find(key));
    for (auto& [indexed, at] : index_)
      if (at > position)
        --at;
  }
  entries_.erase(found);
  return true;
}

bool operator==(const FieldDictionary& a, const FieldDictionary& b) {
  return a.entries_ == b.entries_;
}

std::optional<std::string> FieldDictionary::firstUnwritableField() const {
  TwinCheck twins;
  for (const auto& [key, value] : entries_) {
    const std::string path = printable(key);
    const auto byTag = catalogue::indexOfTag(key);
    const auto index = byTag ? byTag : catalogue::indexOfKey(key);
    bool isTemplateField = false;
    if (index) {
      if (auto twin = twins.see(*index, byTag.has_value(), "", key))
        return twin;
      const catalogue::Entry& entry = catalogue::entries[*index];
      if (entry.tag.size() != 2)
        return path + ": a sub-field of the additional data template; write it inside "
                      "\"additionalDataFieldTemplate\"";
      isTemplateField = isTemplate(entry.tag);
    } else if (unicode::characterCount(key) != 2) {
      static const std::vector<std::string_view> candidates = topLevelKeys();
      return unknownKey(path, key, candidates);
    }
    if (const FieldDictionary* map = value.map()) {
      if (!isTemplateField)
        return path + ": a map under a field that is not a template; write its value as text";
      if (auto refusal = firstUnwritableSubfield(path, catalogue::entries[*index].tag, *map))
        return refusal;
    } else if (value.text() == nullptr) {
      return path + ": a value that is neither text nor a map; write it as text";
    }
  }
  return std::nullopt;
}

std::optional<FieldDictionary> FieldDictionary::fromJSON(std::string_view json, std::string* error,
                                                         JSONRefusal* refusal) {
  const auto refuse = [&](std::string reason, JSONRefusal kind) {
    if (error != nullptr)
      *error = std::move(reason);
    if (refusal != nullptr)
      *refusal = kind;
    return std::nullopt;
  };
  // The parser takes a NUL byte for the end of the text, so `{...}\0{...}` would pass unseen; a
  // raw NUL is never valid JSON.
  const void* nul = json.empty() ? nullptr : std::memchr(json.data(), '\0', json.size());
  if (nul != nullptr)
    return refuse("invalid JSON: a NUL byte at byte " +
                      std::to_string(static_cast<const char*>(nul) - json.data() + 1),
                  JSONRefusal::syntax);
  Reader reader;
  nlohmann::json::sax_parse(json.begin(), json.end(), &reader);
  if (reader.syntaxError)
    return refuse(std::move(*reader.syntaxError), JSONRefusal::syntax);
  if (reader.fieldError)
    return refuse(std::move(*reader.fieldError), JSONRefusal::unwritableField);
  if (auto unwritable = reader.top.firstUnwritableField())
    return refuse(std::move(*unwritable), JSONRefusal::unwritableField);
  return std::move(reader.top);
}

} // namespace pavenda
