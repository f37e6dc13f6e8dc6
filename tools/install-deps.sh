#!/usr/bin/env bash
# Installs the Debian packages that glassform needs and that are missing:
#   (no option)  to build the program: a C++ compiler, CMake, CLI11, nlohmann-json
#   --test       also to build and run the tests: GoogleTest, Google Benchmark, valgrind
#   --ci         also what CI uses: clang with its fuzzer runtime, clang-format, clang-tidy,
#                Python 3, Chromium (the plot's rendering test), and MinGW-w64 with wine64 (the
#                Windows build and its golden tests), emscripten (the browser version)
set -euo pipefail

packages=(g++ cmake make libcli11-dev nlohmann-json3-dev)
case "${1:-}" in
  --test) packages+=(libgtest-dev libbenchmark-dev valgrind python3) ;;
  --ci)
    packages+=(libgtest-dev libbenchmark-dev valgrind python3 clang clang-format clang-tidy
      libclang-rt-dev chromium g++-mingw-w64-x86-64-posix wine64 emscripten)
    ;;
  "") ;;
  *) echo "usage: $0 [--test|--ci]" >&2; exit 2 ;;
esac

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
