// Builds a merchant's field dictionary in code, generates the payload, and prints it, or each
// finding with its message. Exit status: 0 payload printed, 1 findings.

#include <iostream>

#include <pavenda/pavenda.h>

int main() {
  using pavenda::FieldDictionary;

  // Keys are field keys (or their tag numbers: "59" for merchantName); a template field takes a
  // nested dictionary of its sub-fields.
  const FieldDictionary fields{{"payloadFormatIndicator", "01"},
                               {"pointOfInitiation", "12"},
                               {"zArodezMerchantID", "4000000000000002"},
                               {"merchantCategoryCode", "5411"},
                               {"currencyCode", "356"},
                               {"transactionAmount", "1249.50"},
                               {"countryCode", "IN"},
                               {"merchantName", "Green Basket Grocers"},
                               {"cityName", "Pune"},
                               {"additionalDataFieldTemplate",
                                FieldDictionary{{"billID", "GB-000731"}, {"terminalID", "POS2"}}}};

  const pavenda::PavendaResponse response = pavenda::QRCodeGenerator::generateQRCodeString(fields);
  if (const auto& payload = response.tlvString()) {
    std::cout << *payload << '\n';
    return 0;
  }
  for (const pavenda::QRError& error : *response.qrErrors())
    std::cout << error.errorCode() << ": " << error.errorDescription() << '\n';
  return 1;
}
