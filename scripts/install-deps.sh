#!/usr/bin/env bash
# Installs the Debian packages the build needs; quiet and quick when all are present.
#   install-deps.sh          the build, tests and benchmarks
#   install-deps.sh fuzz     also clang with libFuzzer, for make fuzz
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libicu-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libqrencode-dev libpng-dev libzbar-dev libzxing-dev libjpeg-dev
  openjdk-17-jdk-headless junit4 libhamcrest-java
  clang-19 libc++-19-dev libc++abi-19-dev googletest g++-aarch64-linux-gnu qemu-user
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-dev)
fi

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
