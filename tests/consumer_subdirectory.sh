#!/usr/bin/env bash
# The consumer of docs/library.md built with this source tree as its subproject
# (add_subdirectory), linking the same glassform::report that find_package users link.
# Usage: consumer_subdirectory.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$(realpath "$1")
work=$(realpath -m "$2")
rm -rf "$work"
cmake -S "$source/tests/consumer" -B "$work" -DGLASSFORM_SOURCE_DIR="$source" \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$work" -j2 --target consumer >/dev/null
expected="formula,packing_%
Zr81.93Cu18.07,42.58326"
[ "$("$work/consumer" | head -n 2)" = "$expected" ]
"$work/consumer" | grep -q '^p_glass 0\.8530'
# As a subproject, glassform builds its libraries only: no tests, benchmarks or fuzz targets.
for folder in tests bench fuzz; do
  if test -e "$work/glassform/$folder"; then
    echo "FAIL: the subproject configured its $folder"
    exit 1
  fi
done
echo "built and ran a consumer with glassform as its subproject"
