#!/usr/bin/env bash
# The browser version's tests: builds web/dist with emscripten, checks the WebAssembly module's
# output against the native program byte for byte (node), and drives the page in headless
# Chromium (playwright-core from web/package-lock.json). Skips, with a message, where
# emscripten, node or chromium is missing, except in CI, which installs them.
# Usage: run.sh NATIVE_GLASSFORM
set -euo pipefail
native=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
missing=()
command -v em++ >/dev/null || missing+=(emscripten)
command -v node >/dev/null || missing+=(node)
[ -x "${CHROMIUM:-/usr/bin/chromium}" ] || missing+=(chromium)
if [ "${#missing[@]}" -gt 0 ]; then
  if [ -n "${CI:-}" ]; then
    echo "FAIL: missing in CI: ${missing[*]}"
    exit 1
  fi
  echo "SKIP the browser version's tests: ${missing[*]} not installed here"
  exit 0
fi
bash web/build.sh >/dev/null
[ -d web/node_modules/playwright-core ] || npm ci --prefix web --no-audit --no-fund >/dev/null
node tests/web/fidelity.mjs "$root/web/dist/glassform.js" "$native"
node tests/web/browser.mjs web/dist
