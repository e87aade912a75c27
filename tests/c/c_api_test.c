/* The C interface, exercised from C: statuses, borrowed texts, ownership and bad arguments. */

#include <pavenda/pavenda_c.h>

#include <stdio.h>
#include <string.h>

static int passed;
static int failed;

#define CHECK(condition)                                                                           \
  ((condition) ? (void)++passed                                                                    \
               : (void)(++failed, fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                                          #condition)))

/* Bytes past the length would make the JSON invalid if they were read. */
static const char valid_json[] = "{\"payloadFormatIndicator\": \"01\","
                                 " \"zArodezMerchantID\": \"4000000000000002\","
                                 " \"merchantCategoryCode\": \"5812\", \"currencyCode\": \"356\","
                                 " \"countryCode\": \"IN\", \"merchantName\": \"Corner Shop\","
                                 " \"cityName\": \"Mumbai\"}garbage";
static const size_t valid_length = sizeof valid_json - sizeof "garbage";

/* The message of `code` in `response`, or null when the response does not hold the code. */
static const char* message_of(const pavenda_response* response, const char* code) {
  size_t i;
  for (i = 0; i < pavenda_response_error_count(response); ++i)
    if (strcmp(pavenda_response_error_code(response, i), code) == 0)
      return pavenda_response_error_message(response, i);
  return NULL;
}

static void test_valid_dictionary_gives_payload_that_validates(void) {
  pavenda_response *generated = NULL, *validated = NULL, *broken = NULL;
  size_t length = 99;
  char copy[512];
  const char* payload;

  CHECK(pavenda_generate_json(valid_json, valid_length, &generated) == PAVENDA_OK);
  CHECK(pavenda_response_status(generated) == PAVENDA_OK);
  CHECK(pavenda_response_error_count(generated) == 0 && !pavenda_response_error_code(generated, 0));
  CHECK(!pavenda_response_json(generated) && !pavenda_response_input_error(generated));
  payload = pavenda_response_payload(generated, &length);
  if (payload != NULL && length == strlen(payload) && length < sizeof copy) {
    CHECK(strncmp(payload, "000201", 6) == 0 && strstr(payload, "5911Corner Shop") != NULL);
    CHECK(pavenda_validate(payload, length, &validated) == PAVENDA_OK);
    CHECK(pavenda_response_error_count(validated) == 0);
    CHECK(strcmp(pavenda_response_payload(validated, NULL), payload) == 0);
    /* One changed character breaks the CRC. */
    memcpy(copy, payload, length);
    copy[length - 1] = copy[length - 1] == '0' ? '1' : '0';
    CHECK(pavenda_validate(copy, length, &broken) == PAVENDA_FINDINGS);
    CHECK(message_of(broken, "48") != NULL);
    CHECK(pavenda_response_payload(broken, &length) == NULL && length == 0);
  } else {
    CHECK(!"a payload of the length given");
  }
  pavenda_response_free(broken);
  pavenda_response_free(validated);
  pavenda_response_free(generated);
}

static void test_findings_carry_codes_messages_and_json(void) {
  /* No merchant name (7) and no country code (13). */
  static const char json[] = "{\"payloadFormatIndicator\": \"01\", \"merchantCategoryCode\": "
                             "\"5812\", \"currencyCode\": \"356\", \"cityName\": \"Mumbai\"}";
  pavenda_response* response = NULL;
  const char *name, *country, *json_text;
  size_t count;

  CHECK(pavenda_generate_json(json, strlen(json), &response) == PAVENDA_FINDINGS);
  CHECK(pavenda_response_status(response) == PAVENDA_FINDINGS);
  CHECK(pavenda_response_payload(response, NULL) == NULL);
  name = message_of(response, "7");
  country = message_of(response, "13");
  CHECK(name && strcmp(name, "Merchant name must be present") == 0);
  CHECK(country && strcmp(country, "Country Code must always be present") == 0);
  count = pavenda_response_error_count(response);
  CHECK(!pavenda_response_error_code(response, count) &&
        !pavenda_response_error_message(response, count));
  json_text = pavenda_response_json(response);
  CHECK(json_text && strstr(json_text, "\"qrCodeError\"") && strstr(json_text, "\"qrCodeData\""));
  pavenda_response_free(response);
}

/* Input that is not a JSON object has its own status; a payload that does not decode, text that
 * is not UTF-8 among them, gets the single code "0". */
static void test_bad_input_is_answered(void) {
  static const char* const json[] = {"{\"merchantName\": ", "[\"a\", \"b\"]", "", "42"};
  static const char* const payloads[] = {"hello", "63046007", "\xff\xfe", ""};
  size_t i;
  for (i = 0; i < sizeof json / sizeof json[0]; ++i) {
    pavenda_response* response = NULL;
    CHECK(pavenda_generate_json(json[i], strlen(json[i]), &response) == PAVENDA_INVALID_JSON);
    CHECK(pavenda_response_status(response) == PAVENDA_INVALID_JSON);
    CHECK(pavenda_response_input_error(response) && *pavenda_response_input_error(response));
    CHECK(!pavenda_response_payload(response, NULL) && !pavenda_response_json(response) &&
          pavenda_response_error_count(response) == 0);
    pavenda_response_free(response);
  }
  for (i = 0; i < sizeof payloads / sizeof payloads[0]; ++i) {
    pavenda_response* response = NULL;
    const char* text = *payloads[i] ? payloads[i] : NULL;
    CHECK(pavenda_validate(text, strlen(payloads[i]), &response) == PAVENDA_FINDINGS);
    CHECK(pavenda_response_error_count(response) == 1 && message_of(response, "0") != NULL);
    pavenda_response_free(response);
  }
}

static void test_bad_arguments_make_nothing(void) {
  pavenda_response* response = (pavenda_response*)&passed; /* must be reset to null */
  CHECK(pavenda_generate_json(NULL, 5, &response) == PAVENDA_INVALID_ARGUMENT && !response);
  response = (pavenda_response*)&passed;
  CHECK(pavenda_validate(NULL, 3, &response) == PAVENDA_INVALID_ARGUMENT && !response);
  CHECK(pavenda_generate_json(valid_json, valid_length, NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_validate("x", 1, NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_response_status(NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(!pavenda_response_payload(NULL, NULL) && pavenda_response_error_count(NULL) == 0);
  CHECK(!pavenda_response_error_code(NULL, 0) && !pavenda_response_json(NULL) &&
        !pavenda_response_input_error(NULL));
  pavenda_response_free(NULL);

  CHECK(strcmp(pavenda_version(), PAVENDA_EXPECTED_VERSION) == 0);
  CHECK(strcmp(pavenda_status_name(PAVENDA_FINDINGS), "findings") == 0);
  CHECK(strcmp(pavenda_status_name(PAVENDA_INVALID_JSON), "invalid JSON") == 0);
  CHECK(strcmp(pavenda_status_name((pavenda_status)77), "unknown status") == 0);
}

int main(void) {
  test_valid_dictionary_gives_payload_that_validates();
  test_findings_carry_codes_messages_and_json();
  test_bad_input_is_answered();
  test_bad_arguments_make_nothing();
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
