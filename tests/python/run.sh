#!/usr/bin/env bash
# The Python module's tests: builds the source distribution of this tree, installs the module
# from it into a fresh virtual environment that sees Debian's packages (no package index is
# reached) and runs pytest against the native program. Exits 77 (skipped) where Debian's python3 lacks venv, pybind11, numpy,
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
# The module is built as a user of the source distribution builds it: the sdist is made from a
# copy of the tree (setup.py writes its egg-info beside the sources), unpacked, and installed
# with pip, whose build runs the project's CMake. So the sdist is known to hold what a build
# needs.
mkdir -p "$work/tree" "$work/sdist"
cp -r "$root"/{VERSION,setup.py,pyproject.toml,MANIFEST.in,README.md,CMakeLists.txt} \
  "$root"/{CMakePresets.json,cmake,src,python,docs} "$work/tree"/
(cd "$work/tree" && "$python" setup.py -q sdist -d "$work/sdist" >/dev/null)
tar -xzf "$work/sdist"/glassform-*.tar.gz -C "$work/sdist"
"$work/venv/bin/pip" install --no-build-isolation --no-index --no-deps --quiet "$work/sdist"/glassform-*/
cd "$work"
GLASSFORM="$native" "$work/venv/bin/python" -m pytest -q -p no:cacheprovider "$root/tests/python"
