#!/usr/bin/env bash
# Instructions per line of `pavenda validate --jobs 1`, plain and with --json, counted by callgrind:
# each run reads N and then 3N lines of one case, and the difference over 2N cancels start-up.
#
#   bench/cli-instructions.sh [BUILD_DIR [N]]      (defaults: build 10000)
set -euo pipefail

build=${1:-build}
n=${2:-10000}
cli=$build/bin/pavenda
maker=$build/bin/pavenda-bench-payloads

if ! command -v valgrind >/dev/null; then
  echo "cli-instructions.sh: valgrind is not installed (apt-get install valgrind)" >&2
  exit 2
fi
for tool in "$cli" "$maker"; do
  [[ -x $tool ]] || { echo "cli-instructions.sh: $tool is missing; build it first" >&2; exit 2; }
done
if ! [[ $n =~ ^[1-9][0-9]*$ ]]; then
  echo "cli-instructions.sh: N must be a whole number above 0, not '$n'" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

# The payload maker writes the minimal, typical and cjk cases in turn.
"$maker" $((9 * n)) >"$work/all"
for c in 1:typical 2:cjk; do
  awk -v r="${c%%:*}" 'NR % 3 == (r + 1) % 3' "$work/all" >"$work/${c#*:}"
done

# Total instructions of `pavenda validate --jobs 1 FLAGS` over the first COUNT lines of CASE.
instructions() {
  local case=$1 count=$2
  shift 2
  head -n "$count" "$work/$case" >"$work/in"
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$cli" validate --jobs 1 "$@" \
    <"$work/in" >/dev/null 2>"$work/log" || [[ $? -eq 1 ]] || {
    cat "$work/log" >&2
    exit 1
  }
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/log"
}

printf '%-8s %-8s %12s\n' case flags "per line"
for case in typical cjk; do
  for flags in "" --json; do
    # shellcheck disable=SC2086
    one=$(instructions "$case" "$n" $flags)
    # shellcheck disable=SC2086
    three=$(instructions "$case" $((3 * n)) $flags)
    printf '%-8s %-8s %12d\n' "$case" "${flags:-plain}" $(((three - one) / (2 * n)))
  done
done
