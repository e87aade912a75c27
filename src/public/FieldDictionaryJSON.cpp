#include <pavenda/FieldDictionary.h>

#include <climits>
#include <cstring>

#include <nlohmann/json.hpp>

#include "public/FieldWritePolicy.h"

namespace pavenda {
namespace {

using detail::pathOf;

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
