#!/usr/bin/env bash
# The two Unicode backends give the same verdicts: `validate --explain --json` of an ICU build and of
# a builtin build, byte for byte and with the same exit status, over generated Unicode payloads, the
# mixed-payload file and every fuzz corpus file.
# Usage: compare-backends.sh ICU_CLI BUILTIN_CLI [PAYLOAD_COUNT]
set -euo pipefail
icu=${1:?usage: $0 ICU_CLI BUILTIN_CLI [PAYLOAD_COUNT]}
builtin=${2:?usage: $0 ICU_CLI BUILTIN_CLI [PAYLOAD_COUNT]}
count=${3:-100000}
root=$(cd "$(dirname "$0")/../.." && pwd)
for cli in "$icu" "$builtin"; do
  [[ -x "$cli" ]] || { echo "not an executable: $cli" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$root/tests/support/make-unicode-payloads.py" "$count" 20261207 >"$work/generated.txt"
inputs=("$work/generated.txt" "$root/tests/data/mixed-payloads.txt")
shopt -s nullglob
inputs+=("$root"/fuzz/corpus/*/*)

failed=0
lines=0
for input in "${inputs[@]}"; do
  set +e
  "$icu" validate --explain --json <"$input" >"$work/icu.out" 2>"$work/icu.err"
  icu_status=$?
  "$builtin" validate --explain --json <"$input" >"$work/builtin.out" 2>"$work/builtin.err"
  builtin_status=$?
  set -e
  if [[ $icu_status -ne $builtin_status ]] || ! cmp -s "$work/icu.out" "$work/builtin.out" ||
     ! cmp -s "$work/icu.err" "$work/builtin.err"; then
    echo "backends differ on $input (exit $icu_status and $builtin_status):" >&2
    diff "$work/icu.out" "$work/builtin.out" | head -n 20 >&2 || true
    failed=1
  fi
  lines=$((lines + $(wc -l <"$work/icu.out")))
done
[[ $failed -eq 0 ]] || exit 1
echo "backends agree: ${#inputs[@]} inputs ($count generated payloads), $lines verdict lines"
