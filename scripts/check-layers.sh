#!/usr/bin/env bash
# Keeps the library's layers pointing one way: a file under src/<layer>/ includes only headers of
# its own layer or of a layer below it (public headers in include/pavenda/ are the shared data model
# and allowed everywhere). Also keeps the shared validator off the library's own path and the
# tools on the public headers and the support layer.
#
#   scripts/check-layers.sh [SOURCE_DIR]      (default: the repository holding this script)
set -euo pipefail

root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# Innermost first.
layers=(support encoding decoding validation explanation public)

rank() {
  local i
  for i in "${!layers[@]}"; do
    if [[ ${layers[$i]} == "$1" ]]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

status=0
for dir in src/*/; do
  layer=$(basename "$dir")
  if [[ $(rank "$layer") -lt 0 ]]; then
    echo "check-layers: src/$layer/ is not a known layer (${layers[*]})" >&2
    status=1
  fi
done

while IFS=: read -r file line include; do
  layer=${file#src/}
  layer=${layer%%/*}
  target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"$include")
  [[ -z $target ]] && continue
  own=$(rank "$layer")
  other=$(rank "$target")
  if [[ $other -lt 0 || $other -gt $own ]]; then
    echo "check-layers: $file:$line: $layer includes $target, a layer above it: $include" >&2
    status=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src --include='*.h' --include='*.cpp')

# The shared validator is kept for callers who use it; the library's own path never includes it.
while IFS=: read -r file line include; do
  if [[ $file != src/validation/SharedValidator.cpp ]]; then
    echo "check-layers: $file:$line: the library's own path includes the shared validator" >&2
    status=1
  fi
done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"validation/SharedValidator\.h"' src)

# The tools are built on the public interface and the support layer (the Unicode layer) alone.
while IFS=: read -r file line include; do
  echo "check-layers: $file:$line: a tool includes a library header above support: $include" >&2
  status=1
done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"('"$(IFS='|'; echo "${layers[*]:1}")"')/' tools || true)

if [[ $status -eq 0 ]]; then
  echo "check-layers: every include points down (${layers[*]})"
fi
exit "$status"
