"""Generate a checked payload from a field dictionary, or print every finding."""

import sys

import pavenda

fields = {
    "payloadFormatIndicator": "01",
    "pointOfInitiation": "12",
    "zArodezMerchantID": "4000000000000002",
    "merchantCategoryCode": "5812",
    "currencyCode": "356",
    "transactionAmount": "450.00",  # text, with the decimals meant: never a float
    "countryCode": "IN",
    "merchantName": "Saffron Kitchen",
    "cityName": "Bengaluru",
    "additionalDataFieldTemplate": {"billID": "INV-17", "terminalID": "T-07"},
}

try:
    print(pavenda.generate(fields))
except pavenda.InvalidFields as refused:
    for finding in refused.findings:
        print(f"{finding.code}: {finding.detail}", file=sys.stderr)
    sys.exit(1)
