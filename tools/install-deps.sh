#!/usr/bin/env bash
# Installs the Debian packages that glassform needs and that are missing:
#   (no option)  to build the program: a C++ compiler, CMake, CLI11, nlohmann-json, fmt
#   --test       also to build and run the tests: GoogleTest, Google Benchmark, valgrind, Python 3
#                with what the Python module's build and tests need (pybind11, numpy, pandas,
#                pytest, venv, wheel, setuptools), and, where npm is present, the browser test's
#                playwright-core into web/node_modules (from web/package-lock.json)
#   PACKAGE...   and any further packages named (CI names its own in .ci/run)
set -euo pipefail

packages=(g++ cmake make libcli11-dev nlohmann-json3-dev libfmt-dev)
test_packages=false
if [ "${1:-}" = "--test" ]; then
  packages+=(libgtest-dev libbenchmark-dev valgrind python3 python3-dev python3-pybind11
    pybind11-dev python3-pandas python3-numpy python3-pytest python3-venv python3-wheel
    python3-setuptools)
  test_packages=true
  shift
fi

# The browser test's npm packages, pinned by the lock file; the test itself fetches nothing.
install_web_test_packages() {
  local web
  web="$(cd "$(dirname "$0")/.." && pwd)/web"
  if $test_packages && command -v npm >/dev/null && [ ! -d "$web/node_modules/playwright-core" ]; then
    npm ci --prefix "$web" --no-audit --no-fund >/dev/null
  fi
}

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
if [ "${#missing[@]}" -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
install_web_test_packages
