#!/usr/bin/env bash
# Every ICU function the library calls is one Android's NDK offers from API level 31: the undefined
# ICU symbols of the shared library, ICU's version suffix ("_72") removed, must all be in the list.
# Usage: icu_symbols_in_ndk_list.sh LIBRARY LIST
set -euo pipefail
library=${1:?usage: $0 LIBRARY LIST}
list=${2:?usage: $0 LIBRARY LIST}
[[ -r "$library" ]] || { echo "cannot read $library" >&2; exit 2; }
[[ -r "$list" ]] || { echo "cannot read $list" >&2; exit 2; }
used=$(nm -D --undefined-only "$library" | awk '{print $NF}' | sed 's/@.*//' |
       grep -E '^(u|ubrk|uloc|unorm2|utext|ucurr|uregex|ucol|ucase|uset|uscript|ubidi|uenum|uldn|ulocdata|ucnv|utrans|ures|udata)_' |
       sed -E 's/_[0-9]+$//' | sort -u)
[[ -n "$used" ]] || { echo "no ICU symbol found in $library: is it the ICU build?" >&2; exit 1; }
allowed=$(grep -vE '^[[:space:]]*(#|$)' "$list" | sort -u)
missing=$(comm -23 <(echo "$used") <(echo "$allowed"))
if [[ -n "$missing" ]]; then
  echo "ICU functions outside the NDK's API-31 list:" >&2
  echo "$missing" >&2
  exit 1
fi
echo "$(echo "$used" | wc -l) ICU functions, all in the list"
