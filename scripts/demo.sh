#!/usr/bin/env bash
# The main job on the bundled example: generate the payload, validate it, show its QR code.
set -euo pipefail
cd "$(dirname "$0")/.."
pavenda=build/bin/pavenda
example=examples/merchant.json

echo "Field dictionary: $example"
if ! payload=$("$pavenda" generate "$example"); then
  echo "Findings:"
  "$pavenda" generate "$example" || true
  exit 1
fi
echo "Payload: $payload"
echo -n "Validation: "
"$pavenda" validate "$payload"
