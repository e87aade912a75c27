#!/usr/bin/env bash
# Fails unless LAUNCHER, reading each FILE on standard input, prints exactly the lines `PAVENDA
# validate` prints for the same input (the verdict, a tab, the escaped payload) and exits with the
# same status (0 all valid, 1 findings). A payload is a non-blank line, each ended by LF, CR LF or a
# lone CR, the last perhaps by none.
#   compare-with-cli.sh LAUNCHER PAVENDA FILE...
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 LAUNCHER PAVENDA FILE..." >&2
  exit 2
fi
launcher=$1 pavenda=$2
shift 2
for exe in "$launcher" "$pavenda"; do
  [ -x "$exe" ] || { echo "$0: not an executable: $exe" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for file in "$@"; do
  [ -r "$file" ] || { echo "$0: cannot read $file" >&2; exit 2; }
  expected_rc=0
  "$pavenda" validate <"$file" >"$work/expected" || expected_rc=$?
  if [ "$expected_rc" -gt 1 ]; then
    echo "$0: $pavenda validate failed with status $expected_rc on $file" >&2
    exit 1
  fi
  actual_rc=0
  "$launcher" <"$file" >"$work/actual" || actual_rc=$?

  # Every CR ends a line as LF does (CR LF then leaves a blank line), and blank lines hold no
  # payload.
  lines=$(tr '\r' '\n' <"$file" | { LC_ALL=C grep -ac . || true; })
  expected_lines=$(wc -l <"$work/expected")
  if [ "$expected_lines" -ne "$lines" ]; then
    echo "$0: $pavenda validate printed $expected_lines lines for $lines payloads in $file" >&2
    exit 1
  fi
  if ! diff -u --label "pavenda validate" --label "$launcher" "$work/expected" "$work/actual" \
    >"$work/diff"; then
    echo "$0: $launcher differs from pavenda validate on $file:" >&2
    head -n 40 "$work/diff" >&2
    exit 1
  fi
  if [ "$actual_rc" -ne "$expected_rc" ]; then
    echo "$0: $launcher exited $actual_rc where pavenda validate exited $expected_rc on $file" >&2
    exit 1
  fi
  echo "$launcher agrees with pavenda validate on $lines payloads of $file (status $actual_rc)"
done
