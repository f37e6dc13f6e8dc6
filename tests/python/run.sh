#!/usr/bin/env bash
# The Python module's tests: installs the module from this tree into a fresh virtual
# environment that sees Debian's packages (no package index is reached) and runs pytest against
# the native program. Exits 77 (skipped) where Debian's python3 lacks venv, pybind11, numpy,
# pandas or pytest, except in CI, which installs them.
# Usage: run.sh NATIVE_GLASSFORM WORK_DIR
set -euo pipefail
native=$(realpath "$1")
work=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
python=/usr/bin/python3
if ! "$python" -c 'import venv, pybind11, numpy, pandas, pytest, wheel, setuptools' 2>/dev/null; then
  if [ -n "${CI:-}" ]; then
    echo "FAIL: missing in CI: Debian's python3-venv, -pybind11, -numpy, -pandas, -pytest, -wheel, -setuptools"
    exit 1
  fi
  echo "SKIP the Python module's tests: Debian's python3 packages are not installed here"
  exit 77
fi
rm -rf "$work"
"$python" -m venv --system-site-packages "$work/venv"
# pip builds in the source tree (build-python/, the egg-info): a copy of what it reads keeps the
# tree clean.
mkdir -p "$work/src"
cp -r "$root"/{setup.py,pyproject.toml,README.md,CMakeLists.txt,src,python} "$work/src"/
"$work/venv/bin/pip" install --no-build-isolation --no-index --no-deps --quiet "$work/src"
cd "$work"
GLASSFORM="$native" "$work/venv/bin/python" -m pytest -q -p no:cacheprovider "$root/tests/python"
