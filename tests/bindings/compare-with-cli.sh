#!/usr/bin/env bash
# Fails unless LAUNCHER, reading FILE on standard input, prints for every payload exactly the first
# tab-separated field of `PAVENDA validate`'s line for the same input ("valid" or the codes). A
# payload is a non-blank line, each ended by LF, CR LF or a lone CR, the last perhaps by none.
#   compare-with-cli.sh LAUNCHER PAVENDA FILE
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 LAUNCHER PAVENDA FILE" >&2
  exit 2
fi
launcher=$1 pavenda=$2 file=$3
for exe in "$launcher" "$pavenda"; do
  [ -x "$exe" ] || { echo "$0: not an executable: $exe" >&2; exit 2; }
done
[ -r "$file" ] || { echo "$0: cannot read $file" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Both exit 1 when a payload has findings; only 2 or more is a failure of the run.
rc=0
"$pavenda" validate <"$file" >"$work/cli.out" || rc=$?
if [ "$rc" -gt 1 ]; then
  echo "$0: $pavenda validate failed with status $rc" >&2
  exit 1
fi
cut -f1 "$work/cli.out" >"$work/expected"

rc=0
"$launcher" <"$file" >"$work/actual" || rc=$?
if [ "$rc" -gt 1 ]; then
  echo "$0: $launcher failed with status $rc" >&2
  exit 1
fi

# Every CR ends a line as LF does (CR LF then leaves a blank line), and blank lines hold no payload.
lines=$(tr '\r' '\n' <"$file" | { LC_ALL=C grep -ac . || true; })
expected_lines=$(wc -l <"$work/expected")
if [ "$expected_lines" -ne "$lines" ]; then
  echo "$0: $pavenda validate printed $expected_lines lines for $lines payloads" >&2
  exit 1
fi
if ! diff -u --label "pavenda validate" --label "$launcher" "$work/expected" "$work/actual" \
  >"$work/diff"; then
  echo "$0: $launcher differs from pavenda validate on $file:" >&2
  head -n 40 "$work/diff" >&2
  exit 1
fi
echo "$launcher agrees with pavenda validate on $lines payloads"
