#!/usr/bin/env bash
# The browser version's tests: builds the page with emscripten into WORK_DIR (outside the
# source tree), checks the WebAssembly module's output against the native program byte for
# byte (node), and drives the page in headless Chromium (playwright-core, installed into
# web/node_modules from web/package-lock.json by tools/install-deps.sh --test; the test itself
# needs no network). Exits 77 (skipped) where emscripten, node, chromium or playwright-core is
# missing, except in CI, which installs them.
# Usage: run.sh NATIVE_GLASSFORM WORK_DIR
set -euo pipefail
native=$(realpath "$1")
work=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
missing=()
command -v em++ >/dev/null || missing+=(emscripten)
command -v node >/dev/null || missing+=(node)
[ -x "${CHROMIUM:-/usr/bin/chromium}" ] || missing+=(chromium)
[ -d web/node_modules/playwright-core ] || missing+=("playwright-core (tools/install-deps.sh --test)")
if [ "${#missing[@]}" -gt 0 ]; then
  if [ -n "${CI:-}" ]; then
    echo "FAIL: missing in CI: ${missing[*]}"
    exit 1
  fi
  echo "SKIP the browser version's tests: ${missing[*]} not installed here"
  exit 77
fi
bash web/build.sh "$work/build" "$work/dist" >/dev/null
node tests/web/fidelity.mjs "$work/dist/glassform.js" "$native"
node tests/web/browser.mjs "$work/dist"
