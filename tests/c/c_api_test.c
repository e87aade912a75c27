/* The C interface, exercised from C: statuses, borrowed texts, ownership and bad arguments. */

#include <pavenda/pavenda_c.h>

#include <stdio.h>
#include <string.h>

static int passed;
static int failed;

#define CHECK(condition)                                                                           \
  do {                                                                                             \
    if (condition) {                                                                               \
      ++passed;                                                                                    \
    } else {                                                                                       \
      ++failed;                                                                                    \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                \
    }                                                                                              \
  } while (0)

static const char valid_json[] = "{\"payloadFormatIndicator\": \"01\","
                                 " \"zArodezMerchantID\": \"4000000000000002\","
                                 " \"merchantCategoryCode\": \"5812\", \"currencyCode\": \"356\","
                                 " \"countryCode\": \"IN\", \"merchantName\": \"Corner Shop\","
                                 " \"cityName\": \"Mumbai\"}";

static int has_code(const pavenda_response *response, const char *code) {
  size_t i;
  for (i = 0; i < pavenda_response_error_count(response); ++i)
    if (strcmp(pavenda_response_error_code(response, i), code) == 0)
      return 1;
  return 0;
}

static void test_valid_dictionary_gives_payload_that_validates(void) {
  pavenda_response *generated = NULL;
  pavenda_response *validated = NULL;
  size_t length = 99;
  const char *payload;

  CHECK(pavenda_generate_json(valid_json, strlen(valid_json), &generated) == PAVENDA_OK);
  CHECK(generated != NULL);
  CHECK(pavenda_response_status(generated) == PAVENDA_OK);
  payload = pavenda_response_payload(generated, &length);
  CHECK(payload != NULL);
  if (payload == NULL) {
    pavenda_response_free(generated);
    return;
  }
  CHECK(length == strlen(payload));
  CHECK(strncmp(payload, "000201", 6) == 0);
  CHECK(strstr(payload, "5911Corner Shop") != NULL);
  CHECK(pavenda_response_error_count(generated) == 0);
  CHECK(pavenda_response_error_code(generated, 0) == NULL);
  CHECK(pavenda_response_json(generated) == NULL);
  CHECK(pavenda_response_input_error(generated) == NULL);

  CHECK(pavenda_validate(payload, length, &validated) == PAVENDA_OK);
  CHECK(pavenda_response_error_count(validated) == 0);
  CHECK(strcmp(pavenda_response_payload(validated, NULL), payload) == 0);
  pavenda_response_free(validated);

  /* One changed character breaks the CRC; the text given is only read up to its length. */
  {
    char copy[512];
    pavenda_response *broken = NULL;
    CHECK(length < sizeof copy);
    memcpy(copy, payload, length);
    copy[length - 1] = copy[length - 1] == '0' ? '1' : '0';
    CHECK(pavenda_validate(copy, length, &broken) == PAVENDA_FINDINGS);
    CHECK(has_code(broken, "48"));
    CHECK(pavenda_response_payload(broken, &length) == NULL);
    CHECK(length == 0);
    pavenda_response_free(broken);
  }
  pavenda_response_free(generated);
}

static void test_findings_carry_codes_messages_and_json(void) {
  static const char json[] = "{\"payloadFormatIndicator\": \"01\","
                             " \"zArodezMerchantID\": \"4000000000000002\","
                             " \"merchantCategoryCode\": \"5812\", \"currencyCode\": \"356\","
                             " \"cityName\": \"Mumbai\"}";
  pavenda_response *response = NULL;
  size_t i;
  size_t count;

  CHECK(pavenda_generate_json(json, strlen(json), &response) == PAVENDA_FINDINGS);
  CHECK(pavenda_response_status(response) == PAVENDA_FINDINGS);
  CHECK(pavenda_response_payload(response, NULL) == NULL);
  count = pavenda_response_error_count(response);
  CHECK(count >= 2);
  CHECK(has_code(response, "7"));  /* no merchant name */
  CHECK(has_code(response, "13")); /* no country code */
  for (i = 0; i < count; ++i) {
    const char *code = pavenda_response_error_code(response, i);
    const char *message = pavenda_response_error_message(response, i);
    CHECK(code != NULL && message != NULL);
    if (code && message && strcmp(code, "7") == 0)
      CHECK(strcmp(message, "Merchant name must be present") == 0);
    if (code && message && strcmp(code, "13") == 0)
      CHECK(strcmp(message, "Country Code must always be present") == 0);
  }
  CHECK(pavenda_response_error_code(response, count) == NULL);
  CHECK(pavenda_response_error_message(response, count) == NULL);
  CHECK(pavenda_response_json(response) != NULL);
  CHECK(strstr(pavenda_response_json(response), "\"qrCodeError\"") != NULL);
  CHECK(strstr(pavenda_response_json(response), "\"qrCodeData\"") != NULL);
  pavenda_response_free(response);
}

static void test_invalid_json_is_its_own_status(void) {
  static const char *const inputs[] = {"{\"merchantName\": ", "[\"a\", \"b\"]", "", "42"};
  size_t i;
  for (i = 0; i < sizeof inputs / sizeof inputs[0]; ++i) {
    pavenda_response *response = NULL;
    CHECK(pavenda_generate_json(inputs[i], strlen(inputs[i]), &response) == PAVENDA_INVALID_JSON);
    CHECK(response != NULL);
    CHECK(pavenda_response_status(response) == PAVENDA_INVALID_JSON);
    CHECK(pavenda_response_input_error(response) != NULL &&
          strlen(pavenda_response_input_error(response)) > 0);
    CHECK(pavenda_response_payload(response, NULL) == NULL);
    CHECK(pavenda_response_error_count(response) == 0);
    CHECK(pavenda_response_json(response) == NULL);
    pavenda_response_free(response);
  }
}

static void test_length_bounds_the_input(void) {
  /* Trailing bytes past the length would make the JSON invalid if they were read. */
  char buffer[sizeof valid_json + 8];
  pavenda_response *response = NULL;
  memcpy(buffer, valid_json, strlen(valid_json));
  memcpy(buffer + strlen(valid_json), "garbage", 8);
  CHECK(pavenda_generate_json(buffer, strlen(valid_json), &response) == PAVENDA_OK);
  pavenda_response_free(response);
}

static void test_undecodable_payloads_give_code_zero(void) {
  static const char *const inputs[] = {"hello", "63046007", "\xff\xfe"};
  size_t i;
  pavenda_response *response = NULL;
  for (i = 0; i < sizeof inputs / sizeof inputs[0]; ++i) {
    CHECK(pavenda_validate(inputs[i], strlen(inputs[i]), &response) == PAVENDA_FINDINGS);
    CHECK(pavenda_response_error_count(response) == 1);
    CHECK(strcmp(pavenda_response_error_code(response, 0), "0") == 0);
    pavenda_response_free(response);
  }
  CHECK(pavenda_validate(NULL, 0, &response) == PAVENDA_FINDINGS);
  CHECK(has_code(response, "0"));
  pavenda_response_free(response);
}

static void test_bad_arguments_make_nothing(void) {
  pavenda_response *response = (pavenda_response *)&passed; /* must be reset to null */
  CHECK(pavenda_generate_json(NULL, 5, &response) == PAVENDA_INVALID_ARGUMENT);
  CHECK(response == NULL);
  response = (pavenda_response *)&passed;
  CHECK(pavenda_validate(NULL, 3, &response) == PAVENDA_INVALID_ARGUMENT);
  CHECK(response == NULL);
  CHECK(pavenda_generate_json(valid_json, strlen(valid_json), NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_validate("x", 1, NULL) == PAVENDA_INVALID_ARGUMENT);

  CHECK(pavenda_response_status(NULL) == PAVENDA_INVALID_ARGUMENT);
  CHECK(pavenda_response_payload(NULL, NULL) == NULL);
  CHECK(pavenda_response_error_count(NULL) == 0);
  CHECK(pavenda_response_error_code(NULL, 0) == NULL);
  CHECK(pavenda_response_json(NULL) == NULL);
  CHECK(pavenda_response_input_error(NULL) == NULL);
  pavenda_response_free(NULL);
}

static void test_version_and_status_names(void) {
  CHECK(strcmp(pavenda_version(), PAVENDA_EXPECTED_VERSION) == 0);
  CHECK(strcmp(pavenda_status_name(PAVENDA_FINDINGS), "findings") == 0);
  CHECK(strcmp(pavenda_status_name(PAVENDA_INVALID_JSON), "invalid JSON") == 0);
  CHECK(strcmp(pavenda_status_name((pavenda_status)77), "unknown status") == 0);
}

int main(void) {
  test_valid_dictionary_gives_payload_that_validates();
  test_findings_carry_codes_messages_and_json();
  test_invalid_json_is_its_own_status();
  test_length_bounds_the_input();
  test_undecodable_payloads_give_code_zero();
  test_bad_arguments_make_nothing();
  test_version_and_status_names();
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
