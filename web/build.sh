#!/usr/bin/env bash
# Builds the browser version into web/dist/: index.html, glassform.js (the model and the report
# writers in WebAssembly, embedded) and style.css. Needs Debian's emscripten.
# Usage: web/build.sh [BUILD_DIR [DIST_DIR]]   (defaults: build-web and web/dist)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build-web}
dist=${2:-$here/dist}
# Debian's emscripten needs its optimizer to find acorn when node is not Debian's own.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGLASSFORM_TESTS=OFF \
  -DGLASSFORM_BENCH=OFF -DGLASSFORM_HEADER_ONLY_ROOT=/usr/include >/dev/null
cmake --build "$build" -j2 --target glassform_web
mkdir -p "$dist"
cp "$build/glassform.js" "$dist/glassform.js"
cp "$here/index.html" "$here/style.css" "$dist/"
echo "built $dist/index.html"
