/*
 * Generates a payload through the C interface and prints it, or each finding with its message.
 * Without an argument it uses the dictionary written below; with one, the JSON file it names.
 * Exit status: 0 payload printed, 1 findings, 2 unreadable file or invalid JSON.
 */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <pavenda/pavenda_c.h>

static const char built_in[] = "{"
                               "\"payloadFormatIndicator\": \"01\","
                               "\"pointOfInitiation\": \"12\","
                               "\"zArodezMerchantID\": \"4000000000000002\","
                               "\"merchantCategoryCode\": \"5411\","
                               "\"currencyCode\": \"356\","
                               "\"transactionAmount\": \"1249.50\","
                               "\"countryCode\": \"IN\","
                               "\"merchantName\": \"Green Basket Grocers\","
                               "\"cityName\": \"Pune\","
                               "\"additionalDataFieldTemplate\": {\"billID\": \"GB-000731\"}"
                               "}";

/* Reads a whole file into a new buffer, freed by the caller; null on failure. */
static char* read_file(const char* path, size_t* length) {
  FILE* file = fopen(path, "rb");
  char* text = NULL;
  long size;
  if (file == NULL)
    return NULL;
  if (fseek(file, 0, SEEK_END) == 0 && (size = ftell(file)) >= 0 && fseek(file, 0, SEEK_SET) == 0) {
    text = malloc((size_t)size + 1);
    if (text != NULL && fread(text, 1, (size_t)size, file) != (size_t)size) {
      free(text);
      text = NULL;
    }
    *length = (size_t)size;
  }
  fclose(file);
  return text;
}

int main(int argc, char** argv) {
  char* file_text = NULL;
  const char* json = built_in;
  size_t length = strlen(built_in);
  pavenda_response* response = NULL;
  pavenda_status status;
  int exit_status;
  size_t i;

  if (argc > 1) {
    file_text = read_file(argv[1], &length);
    if (file_text == NULL) {
      fprintf(stderr, "%s: cannot read the file\n", argv[1]);
      return 2;
    }
    json = file_text;
  }

  status = pavenda_generate_json(json, length, &response);
  free(file_text);
  switch (status) {
  case PAVENDA_OK:
    printf("%s\n", pavenda_response_payload(response, NULL));
    exit_status = 0;
    break;
  case PAVENDA_FINDINGS:
    for (i = 0; i < pavenda_response_error_count(response); ++i)
      printf("%s: %s\n", pavenda_response_error_code(response, i),
             pavenda_response_error_message(response, i));
    exit_status = 1;
    break;
  case PAVENDA_INVALID_JSON:
    fprintf(stderr, "invalid JSON: %s\n", pavenda_response_input_error(response));
    exit_status = 2;
    break;
  default:
    fprintf(stderr, "pavenda: %s\n", pavenda_status_name(status));
    exit_status = 2;
    break;
  }
  pavenda_response_free(response);
  return exit_status;
}
