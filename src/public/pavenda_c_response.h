#ifndef PAVENDA_PUBLIC_PAVENDA_C_RESPONSE_H
#define PAVENDA_PUBLIC_PAVENDA_C_RESPONSE_H

// The C interface's response and the guards every entry point shares; each operation's part of the
// response is filled only by that operation.

#include <pavenda/pavenda_c.h>

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pavenda/Findings.h>
#include <pavenda/QRCodeError.h>

#include "support/Exceptions.h"

namespace pavenda::c {

/// The codes of a payload that broke rules, each with its message, and their JSON rendering.
struct Findings {
  std::vector<std::string> codes;
  std::vector<std::string> messages;
  std::string json;
};

/// What decoding answered: the decoded fields as JSON, or why the payload did not decode.
struct Decoding {
  std::optional<std::string> json;
  std::optional<std::string> error;
};

} // namespace pavenda::c

// Everything a caller may borrow is made when the response is, so the accessors only read and a
// response can be shared between threads.
struct pavenda_response {
  pavenda_status status = PAVENDA_OK;
  /// A generated payload, or a validated one that broke no rule.
  std::optional<std::string> payload;
  /// Generation or validation that broke rules.
  std::optional<pavenda::c::Findings> findings;
  /// Why generation refused its input.
  std::optional<std::string> inputError;
  /// pavenda_decode's answer.
  std::optional<pavenda::c::Decoding> decoding;
  /// pavenda_validate_explained's answer; its advisories are moved to `advisories`.
  std::optional<pavenda::Explanation> explanation;
  /// The advisories of an explained validation or generation.
  std::vector<pavenda::Advisory> advisories;
};

namespace pavenda::c {

inline std::string_view viewOf(const char* text, size_t length) noexcept {
  return length == 0 ? std::string_view() : std::string_view(text, length);
}

/// Whether a text given by pointer and length may be read.
inline bool readable(const char* text, size_t length) noexcept {
  return text != nullptr || length == 0;
}

/// Gives a borrowed text and, when `length` is not null, its length in bytes (0 for none).
inline const char* give(const std::string* text, size_t* length) noexcept {
  if (length != nullptr)
    *length = text ? text->size() : 0;
  return text ? text->c_str() : nullptr;
}

inline const char* give(const std::optional<std::string>* text, size_t* length) noexcept {
  return give(text && *text ? &**text : nullptr, length);
}

/// Whether `level` is a pavenda_error_correction; otherwise `*out` (when given) is set to null.
inline bool knownLevel(int level, pavenda_response** out) noexcept {
  if (level >= PAVENDA_ECC_L && level <= PAVENDA_ECC_H)
    return true;
  if (out != nullptr)
    *out = nullptr;
  return false;
}

void setFindings(pavenda_response& response, const QRCodeError& error,
                 const std::vector<QRError>& errors);

/// Runs `work` and answers its status, with every exception stopped here: nothing may unwind into
/// C frames.
template <typename Work> pavenda_status stopped(Work work) noexcept {
#if PAVENDA_HAS_EXCEPTIONS
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return PAVENDA_OUT_OF_MEMORY;
  } catch (...) {
    return PAVENDA_INTERNAL_ERROR;
  }
#else
  return work();
#endif
}

/// Hands the caller the response `make` filled, or nothing when it threw or found a fault of the
/// library's own (PAVENDA_INTERNAL_ERROR).
template <typename Make> pavenda_status guarded(pavenda_response** out, Make make) noexcept {
  return stopped([&] {
    auto response = std::make_unique<pavenda_response>();
    make(*response);
    if (response->status == PAVENDA_INTERNAL_ERROR)
      return PAVENDA_INTERNAL_ERROR;
    *out = response.release();
    return (*out)->status;
  });
}

/// As guarded(), for the entry points that read one text given by pointer and length.
template <typename Make>
pavenda_status guardedText(const char* input, size_t length, pavenda_response** out,
                           Make make) noexcept {
  if (out == nullptr)
    return PAVENDA_INVALID_ARGUMENT;
  *out = nullptr;
  if (input == nullptr && length != 0)
    return PAVENDA_INVALID_ARGUMENT;
  return guarded(out, [&](pavenda_response& response) { make(response, viewOf(input, length)); });
}

} // namespace pavenda::c

#endif
