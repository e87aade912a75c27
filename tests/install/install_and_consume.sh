#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, builds examples/ against it through the CMake
# package and through pkg-config, and runs the programs and the installed tool.
# Usage: install_and_consume.sh BUILD_DIR SOURCE_DIR C_COMPILER CXX_COMPILER [SANITIZE]
set -euo pipefail

build=$1
source=$2
cc=$3
cxx=$4
sanitize=${5:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

# A sanitized library needs the same runtime in every program that links it.
flags=()
if [ -n "$sanitize" ]; then
  flags=(-fsanitize="$sanitize" -fno-omit-frame-pointer)
fi

cmake --install "$build" --prefix "$prefix" >/dev/null

for header in pavenda.h pavenda_c.h QRCodeTags.def; do
  [ -f "$prefix/include/pavenda/$header" ] || { echo "not installed: $header" >&2; exit 1; }
done
version=$("$prefix/bin/pavenda" --version)
echo "installed tool: $version"

# Each program must print a payload (and exit 0) for its built-in dictionary.
run_examples() {
  local dir=$1
  local program payload
  for program in generate_payload_cpp generate_payload_c; do
    payload=$("$dir/$program")
    [[ $payload == 000201* ]] || { echo "$program printed: $payload" >&2; exit 1; }
  done
  for json in "$source"/examples/*.json; do
    if ! "$dir/generate_payload_c" "$json" >"$work/out.txt"; then
      echo "$(basename "$json") gave findings:" >&2
      cat "$work/out.txt" >&2
      exit 1
    fi
  done
}

echo "consumer through find_package(pavenda)"
cmake -S "$source/examples" -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_C_FLAGS="${flags[*]}" -DCMAKE_CXX_FLAGS="${flags[*]}" \
  -DCMAKE_EXE_LINKER_FLAGS="${flags[*]}" >/dev/null
cmake --build "$work/cmake" >/dev/null
run_examples "$work/cmake"

echo "consumer through pkg-config"
pcdir=$(dirname "$(find "$prefix" -name pavenda.pc | head -n 1)")
export PKG_CONFIG_PATH=$pcdir
[ "$(pkg-config --modversion pavenda)" = "${version##* }" ] || {
  echo "pavenda.pc version differs from the tool's: $(pkg-config --modversion pavenda)" >&2
  exit 1
}
mkdir -p "$work/pc"
# shellcheck disable=SC2046
"$cxx" -std=c++20 "${flags[@]}" "$source/examples/cpp/generate_payload.cpp" \
  -o "$work/pc/generate_payload_cpp" $(pkg-config --cflags --libs --static pavenda)
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Werror "${flags[@]}" -c "$source/examples/c/generate_payload.c" \
  -o "$work/pc/generate_payload_c.o" $(pkg-config --cflags pavenda)
# shellcheck disable=SC2046
"$cc" "${flags[@]}" "$work/pc/generate_payload_c.o" -o "$work/pc/generate_payload_c" \
  $(pkg-config --libs --static pavenda)
run_examples "$work/pc"

echo "all consumers built and ran"
