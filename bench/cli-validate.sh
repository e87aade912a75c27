#!/usr/bin/env bash
# Times `pavenda validate` over a file of generated payloads (one per line) and reports payloads per
# second and peak resident memory; then the same file with --jobs 1 and --jobs N (N: the cores),
# RUNS times each (default 3), with the median wall times, the speed-up and a check that the output
# is the same bytes.
#
#   bench/cli-validate.sh [BUILD_DIR [COUNT]]     defaults: build 1000000; RUNS=3
set -euo pipefail

build=${1:-build}
count=${2:-1000000}
cli=$build/bin/pavenda
maker=$build/bin/pavenda-bench-payloads
for tool in "$cli" "$maker"; do
  [ -x "$tool" ] || { echo "cli-validate: $tool is missing; build first (make build)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$maker" "$count" >"$work/payloads.txt"
lines=$(wc -l <"$work/payloads.txt")
bytes=$(wc -c <"$work/payloads.txt")

# Peak memory from GNU time when it is there; otherwise from the kernel's accounting of the child.
start=$(date +%s.%N)
if [ -x /usr/bin/time ]; then
  status=0
  /usr/bin/time -f '%M' -o "$work/rss" "$cli" validate <"$work/payloads.txt" >"$work/out.txt" || status=$?
  peak_kib=$(tail -n 1 "$work/rss")
else
  status=0
  peak_kib=$(python3 -c '
import resource, subprocess, sys
with open(sys.argv[2]) as i, open(sys.argv[3], "w") as o:
    code = subprocess.call([sys.argv[1], "validate"], stdin=i, stdout=o)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
sys.exit(code)' "$cli" "$work/payloads.txt" "$work/out.txt") || status=$?
fi
end=$(date +%s.%N)

if [ "$status" -ne 0 ] || [ "$(grep -c '^valid	' "$work/out.txt")" -ne "$lines" ]; then
  echo "cli-validate: not every payload validated (exit status $status)" >&2
  grep -v '^valid	' "$work/out.txt" | head -n 3 >&2
  exit 1
fi

awk -v n="$lines" -v b="$bytes" -v s="$start" -v e="$end" -v kib="$peak_kib" 'BEGIN {
  t = e - s
  printf "payloads      %d (%.1f MiB)\n", n, b / 1048576
  printf "wall time     %.3f s\n", t
  printf "throughput    %.0f payloads/s\n", n / t
  printf "peak RSS      %.1f MiB\n", kib / 1024
}'

# --jobs scaling: medians of RUNS runs each, the two settings taking turns so that a slow spell of
# the machine falls on both; each output file is removed before its timed run, so that freeing the
# previous run's pages is not timed. The output must not depend on the number of jobs.
runs=${RUNS:-3}
cores=$(nproc)
wall() { # JOBS: runs once and prints the wall time in seconds
  rm -f "$work/jobs$1.txt"
  local s e
  s=$(date +%s.%N)
  "$cli" validate --jobs "$1" <"$work/payloads.txt" >"$work/jobs$1.txt"
  e=$(date +%s.%N)
  awk -v s="$s" -v e="$e" 'BEGIN { print e - s }'
}
: >"$work/times1"
: >"$work/times$cores"
for _ in $(seq "$runs"); do
  wall 1 >>"$work/times1"
  wall "$cores" >>"$work/times$cores"
done
median() { sort -n "$1" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
one=$(median "$work/times1")
all=$(median "$work/times$cores")
cmp -s "$work/jobs1.txt" "$work/jobs$cores.txt" ||
  { echo "cli-validate: --jobs 1 and --jobs $cores differ" >&2; exit 1; }
awk -v n="$lines" -v a="$one" -v b="$all" -v c="$cores" -v r="$runs" \
  -v load="$(cut -d ' ' -f 1 /proc/loadavg)" 'BEGIN {
  printf "--jobs 1      %.3f s (%.0f payloads/s), median of %d\n", a, n / a, r
  printf "--jobs %-6d %.3f s (%.0f payloads/s), median of %d\n", c, b, n / b, r
  printf "speed-up      %.2fx, same output; load average %s\n", a / b, load
}'
