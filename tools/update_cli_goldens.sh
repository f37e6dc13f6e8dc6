#!/usr/bin/env bash
# Rewrites the expected output of the command-line golden cases (tests/cli/golden) from a built
# program, for a change that alters the output on purpose; review the diff before committing.
# Usage: tools/update_cli_goldens.sh [GLASSFORM] [CASE...]   (default: build/glassform, all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/glassform}")
shift || true
cd "$root/tests/cli/golden"
cases=("$@")
[ "${#cases[@]}" -gt 0 ] || cases=($(ls -- *.args | sed 's/\.args$//'))
for name in "${cases[@]}"; do
  mapfile -t args <"$name.args"
  input=/dev/null
  [ -f "$name.in" ] && input="$name.in"
  status=0
  "$program" "${args[@]}" <"$input" >"$name.out" 2>"$name.err" || status=$?
  echo "$status" >"$name.status"
done
