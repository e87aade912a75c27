/* The C interface, exercised from C: statuses, borrowed texts, ownership and bad arguments. */

#include <pavenda/pavenda_c.h>

#include <stdio.h>
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

int main(void) {
  test_generation_and_validation();
  test_bad_input_is_answered();
  CHECK(strcmp(pavenda_version(), PAVENDA_EXPECTED_VERSION) == 0);
  CHECK(strcmp(pavenda_status_name(PAVENDA_INVALID_JSON), "invalid JSON") == 0 &&
        strcmp(pavenda_status_name(77), "unknown status") == 0);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
