/* The C interface, exercised from C: statuses, borrowed texts, ownership and bad arguments. */

#include <pavenda/pavenda_c.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int passed, failed;

#define CHECK(c)                                                                                   \
  ((c) ? (void)++passed : (void)(++failed, fprintf(stderr, "%d: %s\n", __LINE__, #c)))

/* Bytes past the length would make the JSON invalid if they were read. */
static const char valid_json[] =
    "{\"payloadFormatIndicator\":\"01\",\"zArodezMerchantID\":\"4000000000000002\",\"countryCode\":"
    "\"IN\",\"merchantCategoryCode\":\"5812\",\"currencyCode\":\"356\",\"merchantName\":\"Corner "
    "Shop\",\"cityName\":\"Mumbai\"}garbage";
static const size_t valid_length = sizeof valid_json - sizeof "garbage";

/* Whether `response` holds `code` with `message` (any message when that is null). */
static int holds(const pavenda_response* response, const char* code, const char* message) {
  for (size_t i = 0; i < pavenda_response_error_count(response); ++i)
    if (strcmp(pavenda_response_error_code(response, i), code) == 0)
      return !message || strcmp(pavenda_response_error_message(response, i), message) == 0;
  return 0;
}

/* A payload that validates until one character changes; codes, messages and JSON for findings. */
static void test_generation_and_validation(void) {
  static const char json[] = "{\"payloadFormatIndicator\": \"01\", \"merchantCategoryCode\": "
                             "\"5812\", \"currencyCode\": \"356\", \"cityName\": \"Mumbai\"}";
  pavenda_response *generated = NULL, *validated = NULL, *broken = NULL, *findings = NULL;
  size_t length = 99;
  char copy[512];

  CHECK(pavenda_generate_json(valid_json, valid_length, &generated) == PAVENDA_OK);
  CHECK(pavenda_response_status(generated) == PAVENDA_OK && !pavenda_response_json(generated));
  CHECK(pavenda_response_error_count(generated) == 0 && !pavenda_response_error_code(generated, 0));
  const char* payload = pavenda_response_payload(generated, &length);
  CHECK(payload && length == strlen(payload) && length > 0 && length < sizeof copy);
  if (payload && length > 0 && length < sizeof copy) {
    CHECK(strncmp(payload, "000201", 6) == 0 && strstr(payload, "5911Corner Shop") != NULL);
    CHECK(pavenda_validate(payload, length, &validated) == PAVENDA_OK);
    CHECK(strcmp(pavenda_response_payload(validated, NULL), payload) == 0);
    memcpy(copy, payload, length);
    copy[length - 1] = copy[length - 1] == '0' ? '1' : '0';
    CHECK(pavenda_validate(copy, length, &broken) == PAVENDA_FINDINGS && holds(broken, "48", NULL));
    CHECK(pavenda_response_payload(broken, &length) == NULL && length == 0);
  }

  CHECK(pavenda_generate_json(json, strlen(json), &findings) == PAVENDA_FINDINGS);
  CHECK(pavenda_response_status(findings) == PAVENDA_FINDINGS);
  CHECK(!pavenda_response_payload(findings, NULL) && pavenda_response_json(findings) &&
        strstr(pavenda_response_json(findings), "\"qrCodeError\""));
  CHECK(holds(findings, "7", "Merchant name must be present") &&
        holds(findings, "13", "Country Code must always be present"));
  CHECK(!pavenda_response_error_message(findings, pavenda_response_error_count(findings)));
  pavenda_response_free(findings);
  pavenda_response_free(broken);
  pavenda_response_free(validated);
  pavenda_response_free(generated);
}

/* Not a JSON object: a status of its own; a payload that does not decode (or is not UTF-8): "0". */
static void test_bad_input_is_answered(void) {
  static const char* const json[] = {"{\"merchantName\": ", "[\"a\", \"b\"]", "", "42"};
  static const char* const payloads[] = {"hello", "63046007", "\xff\xfe", ""};
  pavenda_response *made = (pavenda_response*)&failed, *checked = made; /* to be reset */
  for (size_t i = 0; i < 4; ++i) {
    pavenda_response *invalid = NULL, *undecodable = NULL;
    CHECK(pavenda_generate_json(json[i], strlen(json[i]), &invalid) == PAVENDA_INVALID_JSON);
    CHECK(pavenda_response_status(invalid) == PAVENDA_INVALID_JSON);
    CHECK(pavenda_response_input_error(invalid) && *pavenda_response_input_error(invalid));
    CHECK(!pavenda_response_payload(invalid, NULL) && !pavenda_response_json(invalid) &&
          pavenda_response_error_count(invalid) == 0);
    CHECK(pavenda_validate(*payloads[i] ? payloads[i] : NULL, strlen(payloads[i]), &undecodable) ==
          PAVENDA_FINDINGS);
    CHECK(pavenda_response_error_count(undecodable) == 1 && holds(undecodable, "0", NULL));
    pavenda_response_free(undecodable);
    pavenda_response_free(invalid);
  }
  CHECK(pavenda_generate_json(NULL, 5, &made) == PAVENDA_INVALID_ARGUMENT && !made);
  CHECK(pavenda_validate(NULL, 3, &checked) == PAVENDA_INVALID_ARGUMENT && !checked);
  CHECK(pavenda_generate_json(valid_json, valid_length, NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_validate("x", 1, NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_response_status(NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(!pavenda_response_payload(NULL, NULL) && pavenda_response_error_count(NULL) == 0);
  CHECK(!pavenda_response_error_code(NULL, 0) && !pavenda_response_json(NULL) &&
        !pavenda_response_input_error(NULL));
  pavenda_response_free(NULL);
}

/* Decoding gives exactly the command-line tool's JSON, or the reason it failed. */
static void test_decoding(void) {
  static const struct {
    const char* payload;
    pavenda_status status;
    const char* text; /* the JSON, or the decoding error */
  } cases[] = {
      {"00020155020226060002id6304ABCD", PAVENDA_OK,
       "{\"scheme\":\"TLV01\",\"fields\":{\"isTipAvailable\":true,\"payloadFormatIndicator\":"
       "\"01\","
       "\"tag26\":{\"00\":\"id\"},\"tipAndFeeIndicator\":\"02\",\"crc\":\"ABCD\"}}"},
      {"15HELLO", PAVENDA_OK,
       "{\"scheme\":\"TLV00\",\"fields\":{\"isTipAvailable\":false,\"merchantName\":\"HELLO\"}}"},
      {"000201", PAVENDA_UNDECODABLE, "invalidTag"},
      {"00020101", PAVENDA_UNDECODABLE, "invalidLength"},
      {"000201000201", PAVENDA_UNDECODABLE, "repeatedTag"},
  };
  pavenda_response* made = (pavenda_response*)&failed; /* to be reset */
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    pavenda_response* response = NULL;
    const int ok = cases[i].status == PAVENDA_OK;
    CHECK(pavenda_decode(cases[i].payload, strlen(cases[i].payload), &response) == cases[i].status);
    CHECK(pavenda_response_status(response) == cases[i].status);
    const char* text =
        ok ? pavenda_response_decoded_json(response) : pavenda_response_decoding_error(response);
    CHECK(text && strcmp(text, cases[i].text) == 0);
    CHECK(!(ok ? pavenda_response_decoding_error(response)
               : pavenda_response_decoded_json(response)));
    CHECK(!pavenda_response_payload(response, NULL) && pavenda_response_error_count(response) == 0);
    pavenda_response_free(response);
  }
  CHECK(pavenda_decode(NULL, 2, &made) == PAVENDA_INVALID_ARGUMENT && !made);
  CHECK(pavenda_decode("15HELLO", 7, NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(!pavenda_response_decoded_json(NULL) && !pavenda_response_decoding_error(NULL));
}

/* Sets one text field (`sub` null) or one template sub-field, keys and values as C strings. */
static pavenda_status set(pavenda_fields* fields, const char* key, const char* sub,
                          const char* value) {
  return sub ? pavenda_fields_set_template(fields, key, strlen(key), sub, strlen(sub), value,
                                           strlen(value))
             : pavenda_fields_set(fields, key, strlen(key), value, strlen(value));
}

/* The builder gives what the same fields give as JSON; keys may be tag numbers; the last value of
 * a key wins; a template replaces a text. */
static void test_field_builder(void) {
  static const char* const entries[][3] = {
      {"payloadFormatIndicator", NULL, "01"},
      {"zArodezMerchantID", NULL, "4000000000000002"},
      {"cityName", NULL, "Somewhere Else"},
      {"countryCode", NULL, "IN"},
      {"52", NULL, "5411"},
      {"currencyCode", NULL, "356"},
      {"59", NULL, "Green Basket Grocers"},
      {"cityName", NULL, "Pune"},
      {"62", NULL, "replaced by the template"},
      {"62", "01", "GB-000731"},
      {"62", "terminalID", "T1"},
  };
  static const char json[] =
      "{\"payloadFormatIndicator\":\"01\",\"zArodezMerchantID\":\"4000000000000002\","
      "\"cityName\":\"Pune\",\"countryCode\":\"IN\",\"merchantCategoryCode\":\"5411\","
      "\"currencyCode\":\"356\",\"merchantName\":\"Green Basket Grocers\","
      "\"additionalDataFieldTemplate\":{\"billID\":\"GB-000731\",\"terminalID\":\"T1\"}}";
  pavenda_fields* fields = pavenda_fields_new();
  pavenda_fields* incomplete = pavenda_fields_new();
  pavenda_response *built = NULL, *parsed = NULL, *findings = NULL;
  pavenda_response* made = (pavenda_response*)&failed; /* to be reset */
  CHECK(fields && incomplete);
  if (!fields || !incomplete)
    return;
  for (size_t i = 0; i < sizeof entries / sizeof entries[0]; ++i)
    CHECK(set(fields, entries[i][0], entries[i][1], entries[i][2]) == PAVENDA_OK);
  CHECK(pavenda_generate_fields(fields, &built) == PAVENDA_OK);
  CHECK(pavenda_generate_json(json, strlen(json), &parsed) == PAVENDA_OK);
  const char* payload = pavenda_response_payload(built, NULL);
  CHECK(payload && pavenda_response_payload(parsed, NULL) &&
        strcmp(payload, pavenda_response_payload(parsed, NULL)) == 0);
  CHECK(payload && strstr(payload, "5920Green Basket Grocers") &&
        strstr(payload, "62190109GB-0007310702T1") && !strstr(payload, "Somewhere Else"));

  CHECK(set(incomplete, "payloadFormatIndicator", NULL, "01") == PAVENDA_OK);
  CHECK(pavenda_generate_fields(incomplete, &findings) == PAVENDA_FINDINGS);
  CHECK(holds(findings, "7", "Merchant name must be present"));

  CHECK(pavenda_fields_set(NULL, "59", 2, "x", 1) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_fields_set(fields, NULL, 2, "x", 1) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_fields_set(fields, "59", 2, NULL, 1) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_fields_set_template(fields, "62", 2, NULL, 2, "x", 1) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_fields_set(fields, "", 0, NULL, 0) == PAVENDA_OK);
  CHECK(pavenda_generate_fields(NULL, &made) == PAVENDA_INVALID_ARGUMENT && !made);
  CHECK(pavenda_generate_fields(fields, NULL) == PAVENDA_INVALID_ARGUMENT);
  pavenda_response_free(findings);
  pavenda_response_free(parsed);
  pavenda_response_free(built);
  pavenda_fields_free(incomplete);
  pavenda_fields_free(fields);
  pavenda_fields_free(NULL);
}

/* Fields the encoder would drop or misread are refused by name, whether built or given as JSON. */
static void test_unwritable_fields(void) {
  static const struct {
    const char *key, *sub, *json, *path;
  } cases[] = {
      {"merchantNme", NULL, "{\"merchantNme\":\"x\"}", "merchantNme"},
      {"billID", NULL, "{\"billID\":\"x\"}", "billID"},
      {"additionalDataFieldTemplate", "bilID",
       "{\"additionalDataFieldTemplate\":{\"bilID\":\"x\"}}", "additionalDataFieldTemplate.bilID"},
      {"merchantName", "01", "{\"merchantName\":{\"01\":\"x\"}}", "merchantName"},
      {"ab", NULL, "{\"ab\":\"x\"}", "ab"},
      {"additionalDataFieldTemplate", "cityName",
       "{\"additionalDataFieldTemplate\":{\"cityName\":\"x\"}}",
       "additionalDataFieldTemplate.cityName"},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    pavenda_fields* fields = pavenda_fields_new();
    pavenda_response *built = NULL, *parsed = NULL;
    const size_t length = strlen(cases[i].path);
    CHECK(fields && set(fields, cases[i].key, cases[i].sub, "x") == PAVENDA_OK);
    CHECK(pavenda_generate_fields(fields, &built) == PAVENDA_INVALID_FIELDS);
    CHECK(pavenda_generate_json(cases[i].json, strlen(cases[i].json), &parsed) ==
          PAVENDA_INVALID_FIELDS);
    for (const pavenda_response* response = built; response;
         response = response == built ? parsed : NULL) {
      const char* reason = pavenda_response_input_error(response);
      CHECK(pavenda_response_status(response) == PAVENDA_INVALID_FIELDS);
      CHECK(reason && strncmp(reason, cases[i].path, length) == 0 && reason[length] == ':');
      CHECK(!pavenda_response_payload(response, NULL) &&
            pavenda_response_error_count(response) == 0);
    }
    pavenda_response_free(parsed);
    pavenda_response_free(built);
    pavenda_fields_free(fields);
  }
}

/* The index of `text` among the `count` texts `at` gives, or `count`. */
static size_t find(size_t count, const char* (*at)(size_t), const char* text) {
  size_t i = 0;
  while (i < count && strcmp(at(i), text) != 0)
    ++i;
  return i;
}

/* Both catalogues: their sizes, entries known by heart, numeric order, the ends of the range. */
static void test_catalogues(void) {
  static const char* const fields[][2] = {{"payloadFormatIndicator", "00"},
                                          {"merchantName", "59"},
                                          {"additionalDataFieldTemplate", "62"},
                                          {"billID", "6201"},
                                          {"crc", "63"},
                                          {"tag26", "26"},
                                          {"languagePreference", "6400"},
                                          {"merchantCityAlternateLanguage", "6402"}};
  static const char* const errors[][2] = {
      {"0", "Tags except 00, 63 NOT in sequence/Malformed/Unrecognized tags"},
      {"7", "Merchant name must be present"},
      {"48", "Check if the CRC of all the tags till 62 matches the value in  tag 63"},
      {"55", "Invalid Length Tag"}};
  static const char* const absent[] = {"19", "33", "37", "40"};
  const size_t field_count = pavenda_field_count(), error_count = pavenda_error_catalogue_count();

  CHECK(field_count == 117 && error_count == 52);
  for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
    const size_t at = find(field_count, pavenda_field_key, fields[i][0]);
    CHECK(at < field_count && strcmp(pavenda_field_tag(at), fields[i][1]) == 0);
  }
  for (size_t i = 0; i < sizeof errors / sizeof errors[0]; ++i) {
    const size_t at = find(error_count, pavenda_error_catalogue_code, errors[i][0]);
    CHECK(at < error_count && strcmp(pavenda_error_catalogue_message(at), errors[i][1]) == 0);
  }
  for (size_t i = 0; i < sizeof absent / sizeof absent[0]; ++i)
    CHECK(find(error_count, pavenda_error_catalogue_code, absent[i]) == error_count);
  for (size_t i = 1; i < error_count; ++i)
    CHECK(atoi(pavenda_error_catalogue_code(i - 1)) < atoi(pavenda_error_catalogue_code(i)));
  CHECK(!pavenda_field_key(field_count) && !pavenda_field_tag(field_count));
  CHECK(!pavenda_error_catalogue_code(error_count) &&
        !pavenda_error_catalogue_message(error_count));
}

/* Explained validation: findings with their fields and values, the CRC, a decoding failure with
 * its place, advisories; responses of other calls explain nothing. */
static void test_explanations(void) {
  static const char fee[] = "000201021640000000000000025204581253033565802IN5904Shop6006Mumbai"
                            "560156304ABCD";
  static const char cut[] = "00020159I Shop";
  static const char hidden[] = "000201021640000000000000025204581253033565802IN"
                               "5905Sh\xE2\x80\xAEop6006Mumbai6304418F";
  pavenda_response *explained = NULL, *undecodable = NULL, *advised = NULL, *plain = NULL;
  size_t length = 99, offset = 99;

  CHECK(pavenda_validate_explained(fee, strlen(fee), PAVENDA_ECC_M, &explained) ==
        PAVENDA_FINDINGS);
  CHECK(pavenda_response_finding_count(explained) == 2 && holds(explained, "29", NULL) &&
        holds(explained, "48", NULL));
  CHECK(strcmp(pavenda_response_finding_code(explained, 0), "29") == 0);
  CHECK(pavenda_response_finding_field_count(explained, 0) == 2);
  CHECK(strcmp(pavenda_response_finding_tag(explained, 0, 0), "55") == 0 &&
        strcmp(pavenda_response_finding_field(explained, 0, 0), "tipAndFeeIndicator") == 0 &&
        !pavenda_response_finding_has_value(explained, 0, 0) &&
        !pavenda_response_finding_value(explained, 0, 0, &length) && length == 0);
  CHECK(strcmp(pavenda_response_finding_tag(explained, 0, 1), "56") == 0 &&
        !pavenda_response_finding_subtag(explained, 0, 1) &&
        pavenda_response_finding_has_value(explained, 0, 1) &&
        strcmp(pavenda_response_finding_value(explained, 0, 1, &length), "5") == 0 && length == 1);
  CHECK(strcmp(pavenda_response_finding_detail(explained, 1),
               "crc (tag 63) is 'ABCD'; the CRC of the payload before it is 'B40D'") == 0);
  CHECK(strcmp(pavenda_response_crc_given(explained), "ABCD") == 0 &&
        strcmp(pavenda_response_crc_computed(explained), "B40D") == 0);
  CHECK(!pavenda_response_decode_error_reason(explained) &&
        !pavenda_response_decode_error_offset(explained, &offset) && offset == 99);
  CHECK(!pavenda_response_finding_code(explained, 2) &&
        !pavenda_response_finding_tag(explained, 0, 2));

  CHECK(pavenda_validate_explained(cut, strlen(cut), PAVENDA_ECC_L, &undecodable) ==
        PAVENDA_FINDINGS);
  CHECK(holds(undecodable, "0", NULL) && pavenda_response_finding_field_count(undecodable, 0) == 0);
  CHECK(strcmp(pavenda_response_decode_error_reason(undecodable),
               "length field 'I ' is not two digits") == 0 &&
        pavenda_response_decode_error_offset(undecodable, &offset) && offset == 8);
  CHECK(!pavenda_response_crc_given(undecodable) && !pavenda_response_crc_computed(undecodable));

  CHECK(pavenda_validate_explained(hidden, strlen(hidden), PAVENDA_ECC_M, &advised) == PAVENDA_OK);
  CHECK(pavenda_response_finding_count(advised) == 0 &&
        pavenda_response_advisory_count(advised) == 2);
  CHECK(strcmp(pavenda_response_advisory_kind(advised, 0), "framing") == 0 &&
        strcmp(pavenda_response_advisory_tag(advised, 0), "59") == 0);
  CHECK(strcmp(pavenda_response_advisory_kind(advised, 1), "invisible-characters") == 0 &&
        strcmp(pavenda_response_advisory_field(advised, 1), "merchantName") == 0 &&
        strstr(pavenda_response_advisory_detail(advised, 1), "U+202E") != NULL);
  CHECK(!pavenda_response_advisory_kind(advised, 2));

  CHECK(pavenda_validate_explained(fee, strlen(fee), 4, &plain) == PAVENDA_INVALID_ARGUMENT &&
        plain == NULL);
  CHECK(pavenda_validate(fee, strlen(fee), &plain) == PAVENDA_FINDINGS);
  CHECK(pavenda_response_finding_count(plain) == 0 && pavenda_response_advisory_count(plain) == 0 &&
        !pavenda_response_crc_given(plain));
  pavenda_response_free(plain);
  pavenda_response_free(advised);
  pavenda_response_free(undecodable);
  pavenda_response_free(explained);
}

/* JPY has no minor unit: a generation with decimals passes validation but is advised against. */
static const char yen_json[] =
    "{\"payloadFormatIndicator\":\"01\",\"zArodezMerchantID\":\"4000000000000002\","
    "\"countryCode\":\"JP\",\"merchantCategoryCode\":\"5812\",\"currencyCode\":\"392\","
    "\"transactionAmount\":\"10.50\",\"merchantName\":\"Sh\\u0000p\",\"cityName\":\"Tokyo\"}";

/* The explained generation calls give the advisories of what they wrote, the plain ones none. */
static void test_generation_advisories(void) {
  pavenda_response *json = NULL, *built = NULL, *plain = NULL, *refused = NULL;
  pavenda_fields* fields = pavenda_fields_new();
  pavenda_fields* broken = pavenda_fields_new();
  CHECK(fields && broken);
  if (!fields || !broken)
    return;
  CHECK(pavenda_generate_json_explained(yen_json, strlen(yen_json), PAVENDA_ECC_M, &json) ==
        PAVENDA_OK);
  CHECK(pavenda_response_advisory_count(json) == 2 &&
        strcmp(pavenda_response_advisory_kind(json, 0), "currency-decimals") == 0 &&
        strcmp(pavenda_response_advisory_field(json, 0), "transactionAmount") == 0 &&
        strcmp(pavenda_response_advisory_kind(json, 1), "invisible-characters") == 0);
  CHECK(pavenda_generate_json(yen_json, strlen(yen_json), &plain) == PAVENDA_OK &&
        pavenda_response_advisory_count(plain) == 0);

  CHECK(set(fields, "payloadFormatIndicator", NULL, "01") == PAVENDA_OK &&
        set(fields, "59", NULL, "Sh\xE2\x80\x8Bop") == PAVENDA_OK);
  /* Refused by validation, yet the reader's view of what was written is given. */
  CHECK(pavenda_generate_fields_explained(fields, PAVENDA_ECC_H, &built) == PAVENDA_FINDINGS);
  CHECK(!pavenda_response_payload(built, NULL) && pavenda_response_error_count(built) > 0);
  CHECK(pavenda_response_advisory_count(built) == 2 &&
        strcmp(pavenda_response_advisory_kind(built, 0), "framing") == 0 &&
        strcmp(pavenda_response_advisory_kind(built, 1), "invisible-characters") == 0);

  CHECK(set(broken, "merchantNme", NULL, "x") == PAVENDA_OK);
  CHECK(pavenda_generate_fields_explained(broken, PAVENDA_ECC_L, &refused) ==
            PAVENDA_INVALID_FIELDS &&
        pavenda_response_advisory_count(refused) == 0);

  pavenda_response* made = (pavenda_response*)&failed; /* to be reset */
  CHECK(pavenda_generate_json_explained(yen_json, strlen(yen_json), 4, &made) ==
            PAVENDA_INVALID_ARGUMENT &&
        !made);
  made = (pavenda_response*)&failed;
  CHECK(pavenda_generate_fields_explained(fields, -1, &made) == PAVENDA_INVALID_ARGUMENT && !made);
  CHECK(pavenda_generate_fields_explained(NULL, PAVENDA_ECC_M, &made) == PAVENDA_INVALID_ARGUMENT);
  pavenda_response_free(refused);
  pavenda_response_free(built);
  pavenda_response_free(plain);
  pavenda_response_free(json);
  pavenda_fields_free(broken);
  pavenda_fields_free(fields);
}

/* Whether `text` of `length` bytes is `expected`, a C string, exactly (null for null). */
static int same(const char* text, const size_t* length, const char* expected) {
  if (!expected)
    return !text && *length == 0;
  return text && *length == strlen(expected) && memcmp(text, expected, *length) == 0;
}

/* Every text comes with its length, equal to what the text without `_n` holds; a NUL inside a
 * payload is kept and counted. */
static void test_texts_with_lengths(void) {
  static const char fee[] = "000201021640000000000000025204581253033565802IN5904Shop6006Mumbai"
                            "560156304ABCD";
  pavenda_response *explained = NULL, *generated = NULL, *refused = NULL, *decoded = NULL,
                   *undecodable = NULL;
  pavenda_fields* fields = pavenda_fields_new();
  size_t length = 99;
  CHECK(pavenda_validate_explained(fee, strlen(fee), PAVENDA_ECC_M, &explained) ==
        PAVENDA_FINDINGS);
  CHECK(pavenda_generate_json_explained(yen_json, strlen(yen_json), PAVENDA_ECC_M, &generated) ==
        PAVENDA_OK);
  CHECK(fields && pavenda_fields_set(fields, "merchant\0Name", 13, "x", 1) == PAVENDA_OK);
  CHECK(pavenda_generate_fields(fields, &refused) == PAVENDA_INVALID_FIELDS);
  CHECK(pavenda_decode("15HELLO", 7, &decoded) == PAVENDA_OK);
  CHECK(pavenda_decode("000201", 6, &undecodable) == PAVENDA_UNDECODABLE);

  /* The payload: 81 bytes, the name's NUL among them. */
  const char* payload = pavenda_response_payload(generated, &length);
  CHECK(payload && length == 81 && strlen(payload) == 62 &&
        memcmp(payload + 62 - 6, "5904Sh\0p60", 10) == 0);

#define SAME(call_n, call) (length = 99, same(call_n, &length, call))
  CHECK(SAME(pavenda_response_error_code_n(explained, 1, &length),
             pavenda_response_error_code(explained, 1)));
  CHECK(SAME(pavenda_response_error_message_n(explained, 0, &length),
             pavenda_response_error_message(explained, 0)));
  CHECK(SAME(pavenda_response_json_n(explained, &length), pavenda_response_json(explained)));
  CHECK(SAME(pavenda_response_input_error_n(refused, &length),
             pavenda_response_input_error(refused)));
  CHECK(SAME(pavenda_response_decoded_json_n(decoded, &length),
             pavenda_response_decoded_json(decoded)));
  CHECK(SAME(pavenda_response_decoding_error_n(undecodable, &length), "invalidTag"));
  CHECK(SAME(pavenda_response_finding_code_n(explained, 0, &length), "29"));
  CHECK(SAME(pavenda_response_finding_message_n(explained, 0, &length),
             pavenda_response_finding_message(explained, 0)));
  CHECK(SAME(pavenda_response_finding_detail_n(explained, 1, &length),
             "crc (tag 63) is 'ABCD'; the CRC of the payload before it is 'B40D'"));
  CHECK(SAME(pavenda_response_finding_tag_n(explained, 0, 1, &length), "56"));
  CHECK(SAME(pavenda_response_finding_subtag_n(explained, 0, 1, &length), NULL));
  CHECK(SAME(pavenda_response_finding_field_n(explained, 0, 0, &length), "tipAndFeeIndicator"));
  CHECK(SAME(pavenda_response_decode_error_reason_n(explained, &length), NULL));
  CHECK(SAME(pavenda_response_crc_given_n(explained, &length), "ABCD"));
  CHECK(SAME(pavenda_response_crc_computed_n(explained, &length), "B40D"));
  CHECK(SAME(pavenda_response_advisory_kind_n(generated, 0, &length), "currency-decimals"));
  CHECK(SAME(pavenda_response_advisory_tag_n(generated, 0, &length), "54"));
  CHECK(SAME(pavenda_response_advisory_field_n(generated, 1, &length), "merchantName"));
  CHECK(SAME(pavenda_response_advisory_detail_n(generated, 1, &length),
             pavenda_response_advisory_detail(generated, 1)));
  CHECK(SAME(pavenda_response_advisory_detail_n(generated, 2, &length), NULL));
  CHECK(SAME(pavenda_field_key_n(0, &length), "payloadFormatIndicator"));
  CHECK(SAME(pavenda_field_tag_n(0, &length), "00"));
  CHECK(SAME(pavenda_field_tag_n(pavenda_field_count(), &length), NULL));
  CHECK(SAME(pavenda_error_catalogue_code_n(0, &length), "0"));
  CHECK(SAME(pavenda_error_catalogue_message_n(0, &length), pavenda_error_catalogue_message(0)));
  CHECK(SAME(pavenda_status_name_n(PAVENDA_UNDECODABLE, &length), "undecodable"));
  CHECK(SAME(pavenda_version_n(&length), PAVENDA_EXPECTED_VERSION));
#undef SAME
  CHECK(pavenda_response_error_code_n(explained, 0, NULL) ==
        pavenda_response_error_code(explained, 0));
  pavenda_response_free(undecodable);
  pavenda_response_free(decoded);
  pavenda_response_free(refused);
  pavenda_response_free(generated);
  pavenda_response_free(explained);
  pavenda_fields_free(fields);
}

int main(void) {
  test_generation_and_validation();
  test_bad_input_is_answered();
  test_decoding();
  test_field_builder();
  test_unwritable_fields();
  test_catalogues();
  test_explanations();
  test_generation_advisories();
  test_texts_with_lengths();
  CHECK(strcmp(pavenda_version(), PAVENDA_EXPECTED_VERSION) == 0);
  CHECK(strcmp(pavenda_status_name(PAVENDA_INVALID_JSON), "invalid JSON") == 0 &&
        strcmp(pavenda_status_name(77), "unknown status") == 0);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
