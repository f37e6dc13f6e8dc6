#!/usr/bin/env bash
# Runs the Windows build under wine against every golden transcript of the dialogue and every
# command-line golden case, reading the Windows text-mode line ends (CR LF) as LF. Tests that
# need a terminal (the pseudo-terminal tests) have no Windows counterpart here and are skipped.
# Usage: run_goldens.sh GLASSFORM.EXE
set -uo pipefail
exe=$(realpath "$1")
here=$(cd "$(dirname "$0")/.." && pwd)
wine=${WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$(mktemp -d)}
server=${WINESERVER:-/usr/lib/wine/wineserver}
work=$(mktemp -d)
# One wine server for all runs, so that no run meets a server shutting down.
"$server" -p
trap '"$server" -k >/dev/null 2>&1; rm -rf "$work"' EXIT

lf() { sed 's/\r$//' "$1"; }  # CR LF read as LF (the goldens end their lines with LF alone)

"$wine" wineboot --init >/dev/null 2>&1 || true
echo "skipped: the pseudo-terminal tests (key waits, screen clears) need a POSIX terminal"

passed=0
failed=0
for input in "$here"/golden/*.in; do
  name=$(basename "$input" .in)
  "$wine" "$exe" <"$input" >"$work/out" 2>/dev/null
  if cmp -s <(lf "$work/out") "$here/golden/$name.out"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED dialogue $name"
    diff <(lf "$work/out") "$here/golden/$name.out" | head -5
  fi
done

cd "$here/cli/golden" || exit 1
for case_args in *.args; do
  name=${case_args%.args}
  mapfile -t args <"$case_args"
  stdin=/dev/null
  [ -f "$name.in" ] && stdin="$name.in"
  "$wine" "$exe" "${args[@]}" <"$stdin" >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
  if cmp -s <(lf "$work/out") "$name.out" && cmp -s <(lf "$work/err") "$name.err" &&
    cmp -s "$work/status" "$name.status"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED command line $name"
    diff <(lf "$work/out") "$name.out" | head -5
    diff <(lf "$work/err") "$name.err" | head -5
    diff "$work/status" "$name.status"
  fi
done

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
