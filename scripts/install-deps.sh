#!/usr/bin/env bash
# Installs the Debian packages the build needs; quiet and quick when all are present.
#   install-deps.sh          the build, tests and benchmarks
#   install-deps.sh fuzz     also clang with libFuzzer, for make fuzz
#   install-deps.sh docs     also doxygen, for make docs
#   install-deps.sh wasm     also clang-19 for wasm32-wasi and node, for make wasm and test-js
#   install-deps.sh browser  also Chromium, for make test-browser
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libicu-dev unicode-data bzip2 python3 nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libqrencode-dev libpng-dev libzbar-dev libzxing-dev libjpeg-dev
  openjdk-17-jdk-headless junit4 libhamcrest-java
  strace
  python3-venv python3-dev
)
case "${1:-}" in
  fuzz) packages+=(clang libclang-rt-dev) ;;
  docs) packages+=(doxygen) ;;
  wasm) packages+=(clang-19 lld-19 libc++-19-dev-wasm32 libc++abi-19-dev-wasm32 wasi-libc
                   libclang-rt-19-dev-wasm32 nodejs) ;;
  browser) packages+=(chromium nodejs) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages; run as root: apt-get update && $cmd" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
$cmd -qq >/dev/null
