#!/usr/bin/env bash
# Installs the Debian packages that glassform needs and that are missing:
#   (no option)  to build the program: a C++ compiler, CMake, CLI11, nlohmann-json, fmt
#   --test       also to build and run the tests: GoogleTest, Google Benchmark, valgrind, Python 3
#   PACKAGE...   and any further packages named (CI names its own in .ci/run)
set -euo pipefail

packages=(g++ cmake make libcli11-dev nlohmann-json3-dev libfmt-dev)
if [ "${1:-}" = "--test" ]; then
  packages+=(libgtest-dev libbenchmark-dev valgrind python3)
  shift
fi
for p in "$@"; do
  case "$p" in
    -*) echo "usage: $0 [--test] [PACKAGE...]" >&2; exit 2 ;;
  esac
done
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

echo "installing: ${missing[*]}" >&2
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
