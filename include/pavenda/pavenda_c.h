#ifndef PAVENDA_PAVENDA_C_H
#define PAVENDA_PAVENDA_C_H

/**
 * @file
 * The C interface of pavenda, for hosts that cannot use the C++ headers (mobile apps through their
 * native bridges, other languages through their foreign-function interfaces).
 *
 * The ABI is kept stable: results are opaque handles made and freed by the library; texts go in as
 * a pointer plus a length in bytes (UTF-8, no terminator needed) and come out as NUL-terminated
 * pointers borrowed from a handle. A text given out may hold NUL bytes (a payload, a value, a
 * detail or reason quoting one), so every function that gives out a text also gives its length in
 * bytes: through a `size_t* length` argument, or through its twin ending in `_n` (see the end of
 * this file). Bindings should take every text with its length. No function throws, aborts or keeps
 * state between calls, and every function may be called from several threads at once (on different
 * handles, or reading one).
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
  PAVENDA_INTERNAL_ERROR = 5,
  /**
   * The fields hold something the encoder cannot write (a key that is not a field, a value of the
   * wrong kind, a key given twice); pavenda_response_input_error() names the key path and why.
   */
  PAVENDA_INVALID_FIELDS = 6,
  /** The payload does not decode; pavenda_response_decoding_error() gives the reason. */
  PAVENDA_UNDECODABLE = 7
} pavenda_status;

/**
 * The result of one call: a payload, codes with their messages and JSON, an input error, decoded
 * fields or the reason decoding failed, an explanation (findings, decoding failure, CRC) and
 * advisories, as each call below says which of these it fills.
 */
typedef struct pavenda_response pavenda_response;

/**
 * Generates a payload from a JSON object of fields (field keys or tag numbers to texts, nested
 * objects for templates): encodes it, decodes and validates what was written, and keeps the payload
 * only when no rule is broken.
 *
 * `json` points to `length` bytes of UTF-8 and may be null when `length` is 0. On PAVENDA_OK,
 * PAVENDA_FINDINGS, PAVENDA_INVALID_JSON and PAVENDA_INVALID_FIELDS (a well-formed object holding
 * a value the encoder would drop or misread), `*out` receives a new response owned by the caller,
 * to be freed with pavenda_response_free(). On any other status `*out` is set to null (when `out`
 * is not null) and nothing needs freeing. Returns the status, which pavenda_response_status() also
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

/**
 * Decodes a payload text in either tag scheme, without validating it.
 *
 * `payload` points to `length` bytes and may be null when `length` is 0. On PAVENDA_OK the response
 * holds the decoded fields (pavenda_response_decoded_json()); on PAVENDA_UNDECODABLE it holds the
 * reason (pavenda_response_decoding_error()). On either, `*out` receives a new response owned by
 * the caller, to be freed with pavenda_response_free(); on any other status `*out` is set to null
 * (when `out` is not null).
 */
PAVENDA_C_API pavenda_status pavenda_decode(const char* payload, size_t length,
                                            pavenda_response** out);

/**
 * The decoded fields of a PAVENDA_OK response of pavenda_decode(), as one line of JSON:
 * {"scheme":"TLV01"|"TLV00","fields":{...}}, what `pavenda decode` prints without the "crc" object
 * the tool adds (the CRC given, computed and whether they match). Null for any other response.
 * Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_decoded_json(const pavenda_response* response);

/**
 * The reason a payload did not decode, such as "invalidLength", for a PAVENDA_UNDECODABLE
 * response; null otherwise. Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_decoding_error(const pavenda_response* response);

/**
 * A field dictionary built one value at a time, for hosts that hold typed values: no JSON to
 * write, nothing to escape. Made by pavenda_fields_new(), freed by pavenda_fields_free(); one
 * dictionary must not be changed from two threads at once.
 */
typedef struct pavenda_fields pavenda_fields;

/** A new, empty dictionary owned by the caller; null when memory ran out. */
PAVENDA_C_API pavenda_fields* pavenda_fields_new(void);

/** Frees a dictionary. Null is accepted and ignored. */
PAVENDA_C_API void pavenda_fields_free(pavenda_fields* fields);

/**
 * Sets the text `value` of the field `key` (a field key such as "merchantName", or a tag number
 * such as "59"), replacing what the key held. Both texts are UTF-8 given by pointer and length
 * (null allowed when the length is 0) and are copied. Keys are checked when generating, not here.
 * Returns PAVENDA_OK, PAVENDA_INVALID_ARGUMENT (null `fields`, or a null text with a length) or
 * PAVENDA_OUT_OF_MEMORY.
 */
PAVENDA_C_API pavenda_status pavenda_fields_set(pavenda_fields* fields, const char* key,
                                                size_t key_length, const char* value,
                                                size_t value_length);

/**
 * Sets the sub-field `sub_key` (such as "billID" or "01") of the template field `key` (such as
 * "additionalDataFieldTemplate" or "62") to `value`, making the template when the key holds none
 * (a text the key held is replaced by the template). Texts and results as pavenda_fields_set().
 */
PAVENDA_C_API pavenda_status pavenda_fields_set_template(pavenda_fields* fields, const char* key,
                                                         size_t key_length, const char* sub_key,
                                                         size_t sub_key_length, const char* value,
                                                         size_t value_length);

/**
 * Generates a payload from a dictionary, as pavenda_generate_json() does from JSON: on PAVENDA_OK,
 * PAVENDA_FINDINGS and PAVENDA_INVALID_FIELDS `*out` receives a new response owned by the caller;
 * on any other status `*out` is set to null (when `out` is not null). The dictionary is only read.
 */
PAVENDA_C_API pavenda_status pavenda_generate_fields(const pavenda_fields* fields,
                                                     pavenda_response** out);

/** The number of field keys in the tag catalogue (top-level fields and template sub-fields). */
PAVENDA_C_API size_t pavenda_field_count(void);

/**
 * The field key at `index` (0 to pavenda_field_count() - 1, in tag order), such as
 * "merchantName" or "billID"; null when `index` is out of range. Static, never freed.
 */
PAVENDA_C_API const char* pavenda_field_key(size_t index);

/**
 * The tag of the field at `index`: two digits for a top-level field ("59"), four for a template
 * sub-field (template tag and sub-tag, "6201"); null when `index` is out of range. Static.
 */
PAVENDA_C_API const char* pavenda_field_tag(size_t index);

/** The number of entries in the error catalogue. */
PAVENDA_C_API size_t pavenda_error_catalogue_count(void);

/**
 * The code at `index` (0 to pavenda_error_catalogue_count() - 1, in numeric order), such as "48";
 * null when `index` is out of range. Static, never freed.
 */
PAVENDA_C_API const char* pavenda_error_catalogue_code(size_t index);

/**
 * The message of the catalogue entry at `index`, the empty text for a code without a message;
 * null when `index` is out of range. Static, never freed.
 */
PAVENDA_C_API const char* pavenda_error_catalogue_message(size_t index);

/** Frees a response and every text borrowed from it. Null is accepted and ignored. */
PAVENDA_C_API void pavenda_response_free(pavenda_response* response);

/**
 * The status the response was made with: PAVENDA_OK, PAVENDA_FINDINGS, PAVENDA_INVALID_JSON,
 * PAVENDA_INVALID_FIELDS or PAVENDA_UNDECODABLE.
 */
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
 * Why the input of a generation was refused, one line: the position of a JSON parse error for a
 * PAVENDA_INVALID_JSON response, the key path and what was expected for PAVENDA_INVALID_FIELDS;
 * null otherwise. Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_input_error(const pavenda_response* response);

/**
 * A short English name of `status`, such as "findings"; "unknown status" for a value that is not a
 * pavenda_status. Static, never null, never freed.
 */
PAVENDA_C_API const char* pavenda_status_name(int status);

/** The library's semantic version, such as "0.1.0"; static, never null, never freed. */
PAVENDA_C_API const char* pavenda_version(void);

/** The error correction a payload will be printed with; it sets the capacity advisory's limits. */
typedef enum pavenda_error_correction {
  PAVENDA_ECC_L = 0,
  PAVENDA_ECC_M = 1,
  PAVENDA_ECC_Q = 2,
  PAVENDA_ECC_H = 3
} pavenda_error_correction;

/**
 * Validates a payload as pavenda_validate() does (same status, codes and messages) and explains the
 * outcome: one finding per code, the reason and place of a decoding failure, the CRC given and
 * computed, and advisories (readers that frame the payload differently, QR capacity at `level`,
 * decimals beyond the currency's minor unit, invisible characters).
 *
 * `payload` points to `length` bytes and may be null when `length` is 0; `level` is one of
 * pavenda_error_correction (anything else is PAVENDA_INVALID_ARGUMENT). On PAVENDA_OK and
 * PAVENDA_FINDINGS `*out` receives a new response owned by the caller, to be freed with
 * pavenda_response_free(); on any other status `*out` is set to null (when `out` is not null).
 */
PAVENDA_C_API pavenda_status pavenda_validate_explained(const char* payload, size_t length,
                                                        int level, pavenda_response** out);

/** The number of findings of a pavenda_validate_explained() response, one per code; 0 otherwise. */
PAVENDA_C_API size_t pavenda_response_finding_count(const pavenda_response* response);

/** Finding `index`'s code, catalogue message ("" for a code without one) or detail; null when
 * `index` is out of range. Belong to the response. */
PAVENDA_C_API const char* pavenda_response_finding_code(const pavenda_response* response,
                                                        size_t index);
PAVENDA_C_API const char* pavenda_response_finding_message(const pavenda_response* response,
                                                           size_t index);
PAVENDA_C_API const char* pavenda_response_finding_detail(const pavenda_response* response,
                                                          size_t index);

/** The number of fields finding `index` concerns (0 for code "0" and an index out of range). */
PAVENDA_C_API size_t pavenda_response_finding_field_count(const pavenda_response* response,
                                                          size_t index);

/**
 * Field `field` of finding `index`: its tag ("59"), its sub-tag in a template ("01"; null when it
 * is not a sub-field) and its field key ("merchantName"). Null when either index is out of range.
 * Belong to the response.
 */
PAVENDA_C_API const char* pavenda_response_finding_tag(const pavenda_response* response,
                                                       size_t index, size_t field);
PAVENDA_C_API const char* pavenda_response_finding_subtag(const pavenda_response* response,
                                                          size_t index, size_t field);
PAVENDA_C_API const char* pavenda_response_finding_field(const pavenda_response* response,
                                                         size_t index, size_t field);

/** 1 when the field was present in the payload (possibly empty), 0 when absent or out of range. */
PAVENDA_C_API int pavenda_response_finding_has_value(const pavenda_response* response, size_t index,
                                                     size_t field);

/**
 * The decoded value of the field, NUL-terminated, or null when it is absent (see
 * pavenda_response_finding_has_value()) or out of range. When `length` is not null it receives the
 * length in bytes (0 when null is returned); a value may hold NUL bytes. Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_finding_value(const pavenda_response* response,
                                                         size_t index, size_t field,
                                                         size_t* length);

/**
 * Why an explained payload did not decode, one line ("length field 'I ' is not two digits"); null
 * when it decoded or the response is not explained. Belongs to the response.
 */
PAVENDA_C_API const char* pavenda_response_decode_error_reason(const pavenda_response* response);

/**
 * 1 and the user-perceived characters before the point where decoding stopped in `*offset` (when
 * not null) for an explained payload that did not decode; 0 otherwise, with `*offset` untouched.
 */
PAVENDA_C_API int pavenda_response_decode_error_offset(const pavenda_response* response,
                                                       size_t* offset);

/**
 * The CRC of an explained two-digit payload: the value of tag 63 as given, and the four upper-case
 * hexadecimal digits computed over everything before it. Null when there is none. Belong to the
 * response.
 */
PAVENDA_C_API const char* pavenda_response_crc_given(const pavenda_response* response);
PAVENDA_C_API const char* pavenda_response_crc_computed(const pavenda_response* response);

/**
 * The number of advisories of a response of pavenda_validate_explained(),
 * pavenda_generate_json_explained() or pavenda_generate_fields_explained() (0 for any other).
 */
PAVENDA_C_API size_t pavenda_response_advisory_count(const pavenda_response* response);

/**
 * Advisory `index`'s kind ("framing", "capacity", "currency-decimals", "invisible-characters"),
 * tag and field ("" for the whole payload) and detail; null when `index` is out of range. Belong to
 * the response.
 */
PAVENDA_C_API const char* pavenda_response_advisory_kind(const pavenda_response* response,
                                                         size_t index);
PAVENDA_C_API const char* pavenda_response_advisory_tag(const pavenda_response* response,
                                                        size_t index);
PAVENDA_C_API const char* pavenda_response_advisory_field(const pavenda_response* response,
                                                          size_t index);
PAVENDA_C_API const char* pavenda_response_advisory_detail(const pavenda_response* response,
                                                           size_t index);

/**
 * Generates as pavenda_generate_json() and pavenda_generate_fields() do (same statuses, payload,
 * codes and input errors) and adds the advisories of the payload the encoder wrote for printing at
 * `level` (also when validation refused it, to say what a reader would meet): read them with
 * pavenda_response_advisory_count() and the accessors after it. `level` is one of
 * pavenda_error_correction; anything else is PAVENDA_INVALID_ARGUMENT with `*out` set to null.
 */
PAVENDA_C_API pavenda_status pavenda_generate_json_explained(const char* json, size_t length,
                                                             int level, pavenda_response** out);
PAVENDA_C_API pavenda_status pavenda_generate_fields_explained(const pavenda_fields* fields,
                                                               int level, pavenda_response** out);

/*
 * Texts with their lengths. Each function below answers what the function of the same name without
 * `_n` answers and, when `length` is not null, stores the text's length in bytes there (0 when it
 * answers null). Take texts this way whenever they may hold NUL bytes or are copied into a string
 * type that carries its length (Swift, Java, most languages).
 */
PAVENDA_C_API const char* pavenda_response_decoded_json_n(const pavenda_response* response,
                                                          size_t* length);
PAVENDA_C_API const char* pavenda_response_decoding_error_n(const pavenda_response* response,
                                                            size_t* length);
PAVENDA_C_API const char* pavenda_response_error_code_n(const pavenda_response* response,
                                                        size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_error_message_n(const pavenda_response* response,
                                                           size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_json_n(const pavenda_response* response, size_t* length);
PAVENDA_C_API const char* pavenda_response_input_error_n(const pavenda_response* response,
                                                         size_t* length);
PAVENDA_C_API const char* pavenda_response_finding_code_n(const pavenda_response* response,
                                                          size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_finding_message_n(const pavenda_response* response,
                                                             size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_finding_detail_n(const pavenda_response* response,
                                                            size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_finding_tag_n(const pavenda_response* response,
                                                         size_t index, size_t field,
                                                         size_t* length);
PAVENDA_C_API const char* pavenda_response_finding_subtag_n(const pavenda_response* response,
                                                            size_t index, size_t field,
                                                            size_t* length);
PAVENDA_C_API const char* pavenda_response_finding_field_n(const pavenda_response* response,
                                                           size_t index, size_t field,
                                                           size_t* length);
PAVENDA_C_API const char* pavenda_response_decode_error_reason_n(const pavenda_response* response,
                                                                 size_t* length);
PAVENDA_C_API const char* pavenda_response_crc_given_n(const pavenda_response* response,
                                                       size_t* length);
PAVENDA_C_API const char* pavenda_response_crc_computed_n(const pavenda_response* response,
                                                          size_t* length);
PAVENDA_C_API const char* pavenda_response_advisory_kind_n(const pavenda_response* response,
                                                           size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_advisory_tag_n(const pavenda_response* response,
                                                          size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_advisory_field_n(const pavenda_response* response,
                                                            size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_response_advisory_detail_n(const pavenda_response* response,
                                                             size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_field_key_n(size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_field_tag_n(size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_error_catalogue_code_n(size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_error_catalogue_message_n(size_t index, size_t* length);
PAVENDA_C_API const char* pavenda_status_name_n(int status, size_t* length);
PAVENDA_C_API const char* pavenda_version_n(size_t* length);

#ifdef __cplusplus
}
#endif

#endif
