#!/usr/bin/env bash
# Instructions per operation, counted by callgrind: each operation runs N and then 3N times, and
# the difference over 2N cancels start-up and one-time costs. Also prints heap allocations per call.
#
#   bench/instructions.sh [BUILD_DIR] [N]      (defaults: build 2000)
set -euo pipefail

build=${1:-build}
n=${2:-2000}
ops="$build/bin/pavenda-bench-ops"

if ! command -v valgrind >/dev/null; then
  echo "instructions.sh: valgrind is not installed (apt-get install valgrind)" >&2
  exit 2
fi
if [[ ! -x $ops ]]; then
  echo "instructions.sh: $ops not found; build it: cmake --build --preset default --target pavenda-bench-ops" >&2
  exit 2
fi
if ! [[ $n =~ ^[1-9][0-9]*$ ]]; then
  echo "instructions.sh: N must be a whole number above 0, not '$n'" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

# Total instructions of one run of `ops OPERATION CASE COUNT`.
instructions() {
  local log="$work/log"
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$ops" "$@" >"$work/out" 2>"$log" || {
    echo "instructions.sh: $ops $* failed:" >&2
    cat "$work/out" "$log" >&2
    exit 1
  }
  local total
  total=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$log")
  if [[ -z $total ]]; then
    echo "instructions.sh: no instruction count in callgrind's output for $*" >&2
    exit 1
  fi
  echo "$total"
}

# Each row: operation, case, the figure the issue gives for before, and the goal.
rows=(
  "validate cjk 25300 9000"
  "validate typical 14700 5000"
  "encode typical 8900 3000"
  "generate typical 26500 9000"
)

printf '%-10s %-8s %12s %12s %12s %14s\n' operation case instructions "issue today" goal "allocs/call"
for row in "${rows[@]}"; do
  read -r operation case today goal <<<"$row"
  one=$(instructions "$operation" "$case" "$n")
  three=$(instructions "$operation" "$case" $((3 * n)))
  allocations=$("$ops" "$operation" "$case" "$n" | sed -n 's/allocations per call: //p')
  printf '%-10s %-8s %12d %12d %12d %14s\n' "$operation" "$case" $(((three - one) / (2 * n))) \
    "$today" "$goal" "$allocations"
done
