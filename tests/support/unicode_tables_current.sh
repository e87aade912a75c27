#!/usr/bin/env bash
# The committed tables of the builtin Unicode backend are what the generator makes from the
# Unicode Character Database: regenerated into a temporary folder, they must be the same bytes.
# Usage: unicode_tables_current.sh SOURCE_DIR UCD_DIR
set -euo pipefail
source_dir=${1:?usage: $0 SOURCE_DIR UCD_DIR}
ucd=${2:?usage: $0 SOURCE_DIR UCD_DIR}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
python3 "$source_dir/scripts/make-unicode-tables.py" "$ucd" "$out/UnicodeTables.generated.inc"
if ! cmp "$out/UnicodeTables.generated.inc" \
         "$source_dir/src/support/unicode_builtin/UnicodeTables.generated.inc"; then
  echo "src/support/unicode_builtin/UnicodeTables.generated.inc is stale: run scripts/make-unicode-tables.py" >&2
  exit 1
fi
