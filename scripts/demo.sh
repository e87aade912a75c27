#!/usr/bin/env bash
# The main job on the bundled example: generate the payload, show its QR code, validate it again.
set -euo pipefail
cd "$(dirname "$0")/.."
pavenda=build/bin/pavenda
example=examples/merchant.json

echo "Field dictionary: $example"
echo "Payload and its QR code (findings instead, when the dictionary breaks a rule):"
"$pavenda" generate "$example" --qr utf8
payload=$("$pavenda" generate "$example")
echo -n "Validating the payload again: "
"$pavenda" validate "$payload"
