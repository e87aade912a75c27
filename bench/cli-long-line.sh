#!/usr/bin/env bash
# Peak resident memory and wall time of the CLI on one long line: MIB MiB of "é", of Han characters,
# of combining marks, and of ASCII with one "é" at the end; each through `validate --jobs 1`,
# `validate`, `validate --json` and `decode` (and `validate --explain` when EXPLAIN=1). "beyond" is
# the peak less the input's size: what the tool holds besides the line.
#
#   bench/cli-long-line.sh [BUILD_DIR [MIB]]     defaults: build 300
set -euo pipefail

build=${1:-build}
mib=${2:-300}
cli=$build/bin/pavenda
[ -x "$cli" ] || { echo "cli-long-line: $cli is missing; build first (make build)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "cli-long-line: needs GNU time (package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bytes=$((mib * 1048576))

# UNIT repeated to BYTES bytes (UNIT's length divides it), then a line end.
repeat() { yes "$1" | tr -d '\n' | head -c "$2" || [ $? -eq 141 ]; } # SIGPIPE ends yes and tr
{ repeat 'é' "$bytes"; echo; } >"$work/e.txt"
{ repeat '中' $((bytes / 3 * 3)); echo; } >"$work/han.txt"
{ repeat $'\u0301' "$bytes"; echo; } >"$work/marks.txt"
{ repeat a $((bytes - 2)); printf 'é\n'; } >"$work/ascii.txt"

commands=("validate --jobs 1" "validate" "validate --json" "decode")
[ "${EXPLAIN:-0}" = 1 ] && commands+=("validate --explain")

printf '%-7s %-20s %10s %10s %8s\n' input command 'peak MiB' 'beyond' 'wall s'
for input in e han marks ascii; do
  size=$(stat -c %s "$work/$input.txt")
  for command in "${commands[@]}"; do
    # Exit 1 (findings) is expected of such a line; 2 is not.
    status=0
    # shellcheck disable=SC2086 # the command is words
    /usr/bin/time -f '%M %e' -o "$work/time" "$cli" $command <"$work/$input.txt" >/dev/null ||
      status=$?
    [ "$status" -le 1 ] || { echo "cli-long-line: $command on $input: exit $status" >&2; exit 1; }
    read -r kib wall < <(tail -n 1 "$work/time") # after "Command exited with non-zero status"
    awk -v i="$input" -v c="$command" -v k="$kib" -v s="$size" -v w="$wall" 'BEGIN {
      printf "%-7s %-20s %10.1f %10.1f %8.2f\n", i, c, k / 1024, k / 1024 - s / 1048576, w
    }'
  done
done
