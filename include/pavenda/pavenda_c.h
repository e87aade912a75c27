#ifndef PAVENDA_PAVENDA_C_H
#define PAVENDA_PAVENDA_C_H

/**
 * @file
 * The C interface of pavenda, for hosts that cannot use the C++ headers (mobile apps through their
 * native bridges, other languages through their foreign-function interfaces).
 *
 * The ABI is kept stable: results are opaque handles made and freed by the library; texts go in as
 * a pointer plus a length in bytes (UTF-8, no terminator needed) and come out as NUL-terminated
 * pointers borrowed from a handle. No function throws, aborts or keeps state between calls, and
 * every function may be called from several threads at once (on different handles, or reading one).
 */

#include <stddef.h>

#if defined(_WIN32)
#define PAVENDA_C_API
#else
#define PAVENDA_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** The outcome of a call. */
typedef enum pavenda_status {
  /** The dictionary gave a valid payload, or the payload is valid. */
  PAVENDA_OK = 0,
  /** Validation raised codes; read them with pavenda_response_error_code(). */
  PAVENDA_FINDINGS = 1,
  /** The input is not a JSON object; pavenda_response_input_error() tells why. */
  PAVENDA_INVALID_JSON = 2,
  /** A null pointer where one is not allowed; nothing was made. */
  PAVENDA_INVALID_ARGUMENT = 3,
  /** Memory ran out; nothing was made. */
  PAVENDA_OUT_OF_MEMORY = 4,
  /** An unexpected failure inside the library; nothing was made. */
  PAVENDA_INTERNAL_ERROR = 5
} pavenda_status;

/** The result of a generation or validation: a payload, codes with messages, or an input error. */
typedef struct pavenda_response pavenda_response;

/**
 * Generates a payload from a JSON object of fields (field keys or tag numbers to texts, nested
 * objects for templates): encodes it, decodes and validates what was written, and keeps the payload
 * only when no rule is broken.
 *
 * `json` points to `length` bytes of UTF-8 and may be null when `length` is 0. On PAVENDA_OK,
 * PAVENDA_FINDINGS and PAVENDA_INVALID_JSON, `*out` receives a new response owned by the caller, to
 * be freed with pavenda_response_free(). On any other status `*out` is set to null (when `out` is
 * not null) and nothing needs freeing. Returns the status, which pavenda_response_status() also
 * gives.
 */
PAVENDA_C_API pavenda_status pavenda_generate_json(const char* json, size_t length,
                                                   pavenda_response** out);

/**
 * Validates a payload text in either tag scheme and gives its codes, each with its message.
 *
 * `payload` points to `length` bytes and may be null when `length` is 0 (the empty text, which gets
 * the single code "0"). On PAVENDA_OK (the response then also holds the payload) and
 * PAVENDA_FINDINGS, `*out` receives a new response owned by the caller, to be freed with
 * pavenda_response_free(); on any other status `*out` is set to null (when `out` is not null).
 */
PAVENDA_C_API pavenda_status pavenda_validate(const char* payload, size_t length,
                                              pavenda_response** out);

/** Frees a response and every text borrowed from it. Null is accepted and ignored. */
PAVENDA_C_API void pavenda_response_free(pavenda_response* response);

/** The status the response was made with: PAVENDA_OK, PAVENDA_FINDINGS or PAVENDA_INVALID_JSON. */
PAVENDA_C_API pavenda_status pavenda_response_status(const pavenda_response* response);

/**
 * The payload text of a successful response, NUL-terminated, or null when there is none (findings,
 * invalid JSON, or a null `response`). When `length` is not null it receives the length in bytes
 * (0 when there is no payload). The text belongs to the response and lives until it is freed.
 */
PAVENDA_C_API const char* pavenda_response_payload(const pavenda_response* response,
                                                   size_t* length);

/** The number of codes: at least 1 on PAVENDA_FINDINGS, 0 otherwise (and for a null response). */
PAVENDA_C_API size_t pavenda_response_error_count(const pavenda_response* response);

/**
 * The code at `index` (0 to count - 1, in the order validation raised them), such as "48",
 * NUL-terminated; null when `index` is out of range. Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_error_code(const pavenda_response* response,
                                                      size_t index);

/**
 * The message of the code at `index`, NUL-terminated; the empty text for a code without a message;
 * null when `index` is out of range. Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_error_message(const pavenda_response* response,
                                                         size_t index);

/**
 * The JSON rendering of the findings: a pretty-printed object with "qrCodeError" (the codes as
 * numbers) and "qrCodeData" (an empty object). Null when the response has no findings. Belongs to
 * the response.
 */
PAVENDA_C_API const char* pavenda_response_json(const pavenda_response* response);

/**
 * Why the input of pavenda_generate_json() was refused, one line with the position of a parse
 * error, for a PAVENDA_INVALID_JSON response; null otherwise. Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_input_error(const pavenda_response* response);

/** A short English name of `status`, such as "findings"; static, never null, never freed. */
PAVENDA_C_API const char* pavenda_status_name(pavenda_status status);

/** The library's semantic version, such as "0.1.0"; static, never null, never freed. */
PAVENDA_C_API const char* pavenda_version(void);

#ifdef __cplusplus
}
#endif

#endif
