#!/usr/bin/env bash
# No ICU header outside the ICU backend of the Unicode layer (src/support/unicode_icu/) and the tests
# that compare the library with ICU (tests/support/unicode_icu/, built only with that backend).
# Usage: no_icu_outside_backend.sh SOURCE_DIR
set -euo pipefail
cd "${1:?usage: $0 SOURCE_DIR}"
found=$(grep -rlE '^[[:space:]]*#[[:space:]]*(include|import)[[:space:]]*[<"]unicode/' \
          --include='*.c' --include='*.cc' --include='*.cpp' --include='*.h' --include='*.hpp' \
          --include='*.inc' --include='*.mm' --include='*.m' \
          src include tools tests bindings bench fuzz examples Sources Tests 2>/dev/null |
        grep -vE '^(src/support/unicode_icu/|tests/support/unicode_icu/)' || true)
if [[ -n "$found" ]]; then
  echo "ICU headers outside the ICU backend:" >&2
  echo "$found" >&2
  exit 1
fi
