#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, builds examples/ against it through the CMake
# package and through pkg-config (with the plain commands a newcomer types), builds them against the
# build tree itself, and runs the programs and the installed tool.
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
# The shared library's runtime names only: -lpavenda must keep finding the static library.
libdir=$(dirname "$(find "$prefix" -name libpavenda.a | head -n 1)")
[ -e "$libdir/libpavenda.so.0" ] || { echo "not installed: libpavenda.so.0" >&2; exit 1; }
[ ! -e "$libdir/libpavenda.so" ] || { echo "installed: libpavenda.so, -lpavenda finds it" >&2; exit 1; }
version=$("$prefix/bin/pavenda" --version)
echo "installed tool: $version"

# Each program must print a payload (and exit 0) for its built-in dictionary.
run_examples() {
  local dir=$1
  local program payload
  local programs=(generate_payload_cpp generate_payload_c)
  [ ! -e "$dir/generate_payload_c_shared" ] || programs+=(generate_payload_c_shared)
  for program in "${programs[@]}"; do
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

# Configures examples/ with the extra arguments given, builds and runs them.
build_examples() {
  local dir=$1
  shift
  cmake -S "$source/examples" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_C_FLAGS="${flags[*]}" -DCMAKE_CXX_FLAGS="${flags[*]}" \
    -DCMAKE_EXE_LINKER_FLAGS="${flags[*]}" -DCMAKE_SHARED_LINKER_FLAGS="${flags[*]}" >/dev/null
  cmake --build "$dir" >/dev/null
  [ -x "$dir/generate_payload_c_shared" ] || { echo "shared consumer not built in $dir" >&2; exit 1; }
  run_examples "$dir"
}

echo "consumer through find_package(pavenda)"
build_examples "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix"

echo "consumer of the build tree through -Dpavenda_DIR"
build_examples "$work/tree" -Dpavenda_DIR="$build"

echo "consumer through pkg-config"
pcdir=$(dirname "$(find "$prefix" -name pavenda.pc | head -n 1)")
export PKG_CONFIG_PATH=$pcdir
[ "$(pkg-config --modversion pavenda)" = "${version##* }" ] || {
  echo "pavenda.pc version differs from the tool's: $(pkg-config --modversion pavenda)" >&2
  exit 1
}
mkdir -p "$work/pc"
# The plain commands, without --static: the .pc file must give a complete link line by itself.
# shellcheck disable=SC2046
"$cxx" -std=c++20 "${flags[@]}" "$source/examples/cpp/generate_payload.cpp" \
  -o "$work/pc/generate_payload_cpp" $(pkg-config --cflags --libs pavenda)
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Werror "${flags[@]}" "$source/examples/c/generate_payload.c" \
  -o "$work/pc/generate_payload_c" $(pkg-config --cflags --libs pavenda)
run_examples "$work/pc"

echo "consumer of the build tree through pkg-config"
export PKG_CONFIG_PATH=$build
mkdir -p "$work/pctree"
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Werror "${flags[@]}" "$source/examples/c/generate_payload.c" \
  -o "$work/pctree/generate_payload_c" $(pkg-config --cflags --libs pavenda)
"$work/pctree/generate_payload_c" >/dev/null || { echo "build-tree pkg-config consumer failed" >&2; exit 1; }

echo "all consumers built and ran"
