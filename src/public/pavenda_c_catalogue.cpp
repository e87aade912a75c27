// The C interface's static texts: the field and error catalogues, status names and the version.

#include <pavenda/pavenda_c.h>

#include <string>

#include <pavenda/Version.h>

#include "encoding/TagCatalogue.h"
#include "support/ErrorCatalogue.h"

// Hosts borrow catalogue texts as C strings, so each must end where its view does.
static_assert([] {
  for (const pavenda::catalogue::Entry& entry : pavenda::catalogue::entries)
    if (entry.key.data()[entry.key.size()] != '\0' || entry.tag.data()[entry.tag.size()] != '\0')
      return false;
  return true;
}());

extern "C" {

size_t pavenda_field_count(void) {
  return pavenda::catalogue::entries.size();
}

const char* pavenda_field_key(size_t index) {
  return index < pavenda::catalogue::entries.size() ? pavenda::catalogue::entries[index].key.data()
                                                    : nullptr;
}

const char* pavenda_field_tag(size_t index) {
  return index < pavenda::catalogue::entries.size() ? pavenda::catalogue::entries[index].tag.data()
                                                    : nullptr;
}

size_t pavenda_error_catalogue_count(void) {
  return pavenda::errorCatalogue().size();
}

const char* pavenda_error_catalogue_code(size_t index) {
  const auto catalogue = pavenda::errorCatalogue();
  return index < catalogue.size() ? catalogue[index].code.data() : nullptr;
}

const char* pavenda_error_catalogue_message(size_t index) {
  const auto catalogue = pavenda::errorCatalogue();
  return index < catalogue.size() ? catalogue[index].message.data() : nullptr;
}

// Taken as an int: a value outside the enumeration is a caller's mistake, not undefined behaviour.
const char* pavenda_status_name(int status) {
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

const char* pavenda_version(void) {
  // The view's text is not promised to end in NUL; a copy made once is.
  try {
    static const std::string text(pavenda::version());
    return text.c_str();
  } catch (...) {
    return "";
  }
}

} // extern "C"
