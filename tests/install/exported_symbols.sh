#!/usr/bin/env bash
# Checks the shared library's interface: its SONAME, and that its dynamic symbols are exactly the
# functions the C header declares, so no ICU, JSON, C++ standard library or internal symbol leaks.
# Usage: exported_symbols.sh LIBRARY HEADER SONAME
set -euo pipefail

library=$1
header=$2
soname=$3

actual=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
[ "$actual" = "$soname" ] || { echo "SONAME is '$actual', expected '$soname'" >&2; exit 1; }

# Defined dynamic symbols less their version suffix; the version node is an absolute symbol.
exported=$(nm -D --defined-only "$library" |
  awk '!($2 == "A" && $3 ~ /^PAVENDA_[0-9]+$/) { sub(/@.*/, "", $3); print $3 }' | sort -u)
declared=$(tr '\n' ' ' <"$header" |
  grep -oE 'PAVENDA_C_API [^(;]*[ *]pavenda_[a-z0-9_]+\(' |
  sed -E 's/.*[ *](pavenda_[a-z0-9_]+)\($/\1/' | sort -u)

[ -n "$declared" ] || { echo "no declarations found in $header" >&2; exit 1; }
foreign=$(comm -23 <(echo "$exported") <(echo "$declared"))
missing=$(comm -13 <(echo "$exported") <(echo "$declared"))
if [ -n "$foreign" ]; then
  echo "exported but not declared in $(basename "$header"):" >&2
  echo "$foreign" | c++filt | sed 's/^/  /' >&2
fi
if [ -n "$missing" ]; then
  echo "declared but not exported:" >&2
  echo "$missing" | sed 's/^/  /' >&2
fi
[ -z "$foreign" ] && [ -z "$missing" ] || exit 1
echo "$(echo "$exported" | wc -l) symbols exported, all declared; SONAME $actual"
