// The C interface's static texts: the field and error catalogues, status names and the version.

#include <pavenda/pavenda_c.h>

#include <array>
#include <string>

#include <pavenda/Version.h>

#include "encoding/TagCatalogue.h"
#include "support/ErrorCatalogue.h"
#include "support/Exceptions.h"

namespace {

using pavenda::catalogue::Entry;

constexpr auto languageEntries = std::to_array<Entry>({
#define PAVENDA_LANGUAGE_TAG(key, tag) {#key, tag},
#include <pavenda/LanguageTemplateTags.def>
});

// Every field key a host may write: the tag catalogue with the language template's sub-fields
// right after the template, as the additional data's follow tag 62.
constexpr auto publicEntries = [] {
  std::array<Entry, pavenda::catalogue::entries.size() + languageEntries.size()> all{};
  std::size_t n = 0;
  for (const Entry& entry : pavenda::catalogue::entries) {
    all[n++] = entry;
    if (entry.tag == "64")
      for (const Entry& sub : languageEntries)
        all[n++] = sub;
  }
  return all;
}();

// Hosts borrow catalogue texts as C strings, so each must end where its view does; every entry is
// filled.
static_assert([] {
  for (const Entry& entry : publicEntries)
    if (entry.key.empty() || entry.key.data()[entry.key.size()] != '\0' ||
        entry.tag.data()[entry.tag.size()] != '\0')
      return false;
  return true;
}());

} // namespace

namespace {

// Static texts end in NUL where their views end (checked above for the tag catalogue; the error
// catalogue's and the names below are literals).
const char* give(std::string_view text, size_t* length) noexcept {
  if (length != nullptr)
    *length = text.size();
  return text.data();
}

const char* none(size_t* length) noexcept {
  if (length != nullptr)
    *length = 0;
  return nullptr;
}

std::string_view statusName(int status) noexcept {
  switch (status) {
  case PAVENDA_OK:
    return "ok";
  case PAVENDA_FINDINGS:
    return "findings";
  case PAVENDA_INVALID_JSON:
    return "invalid JSON";
  case PAVENDA_INVALID_ARGUMENT:
    return "invalid argument";
  case PAVENDA_OUT_OF_MEMORY:
    return "out of memory";
  case PAVENDA_INTERNAL_ERROR:
    return "internal error";
  case PAVENDA_INVALID_FIELDS:
    return "invalid fields";
  case PAVENDA_UNDECODABLE:
    return "undecodable";
  }
  return "unknown status";
}

} // namespace

extern "C" {

size_t pavenda_field_count(void) {
  return publicEntries.size();
}

const char* pavenda_field_key_n(size_t index, size_t* length) {
  return index < publicEntries.size() ? give(publicEntries[index].key, length) : none(length);
}

const char* pavenda_field_key(size_t index) {
  return pavenda_field_key_n(index, nullptr);
}

const char* pavenda_field_tag_n(size_t index, size_t* length) {
  return index < publicEntries.size() ? give(publicEntries[index].tag, length) : none(length);
}

const char* pavenda_field_tag(size_t index) {
  return pavenda_field_tag_n(index, nullptr);
}

size_t pavenda_error_catalogue_count(void) {
  return pavenda::errorCatalogue().size();
}

const char* pavenda_error_catalogue_code_n(size_t index, size_t* length) {
  const auto catalogue = pavenda::errorCatalogue();
  return index < catalogue.size() ? give(catalogue[index].code, length) : none(length);
}

const char* pavenda_error_catalogue_code(size_t index) {
  return pavenda_error_catalogue_code_n(index, nullptr);
}

const char* pavenda_error_catalogue_message_n(size_t index, size_t* length) {
  const auto catalogue = pavenda::errorCatalogue();
  return index < catalogue.size() ? give(catalogue[index].message, length) : none(length);
}

const char* pavenda_error_catalogue_message(size_t index) {
  return pavenda_error_catalogue_message_n(index, nullptr);
}

// Taken as an int: a value outside the enumeration is a caller's mistake, not undefined behaviour.
const char* pavenda_status_name_n(int status, size_t* length) {
  return give(statusName(status), length);
}

const char* pavenda_status_name(int status) {
  return pavenda_status_name_n(status, nullptr);
}

const char* pavenda_version_n(size_t* length) {
  // The view's text is not promised to end in NUL; a copy made once is.
#if PAVENDA_HAS_EXCEPTIONS
  try {
#endif
    static const std::string text(pavenda::version());
    return give(text, length);
#if PAVENDA_HAS_EXCEPTIONS
  } catch (...) {
    return give("", length);
  }
#endif
}

const char* pavenda_version(void) {
  return pavenda_version_n(nullptr);
}

} // extern "C"
