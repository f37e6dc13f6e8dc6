#!/usr/bin/env bash
# Builds the browser version into web/dist/: index.html, glassform.js (the model and the report
# writers in WebAssembly, embedded) and style.css. Needs Debian's emscripten.
# Usage: web/build.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build-web}
# Debian's emscripten needs its optimizer to find acorn when node is not Debian's own.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGLASSFORM_TESTS=OFF \
  -DGLASSFORM_BENCH=OFF -DGLASSFORM_HEADER_ONLY_ROOT=/usr/include >/dev/null
cmake --build "$build" -j2 --target glassform_web
mkdir -p "$here/dist"
cp "$build/glassform.js" "$here/dist/glassform.js"
cp "$here/index.html" "$here/style.css" "$here/dist/"
echo "built $here/dist/index.html"
