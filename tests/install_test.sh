#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed program.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/glassform"
test -f "$prefix/share/man/man1/glassform.1"
for doc in README.md model.md elements.md validation.md output.md; do
  test -f "$prefix/share/doc/glassform/$doc"
done
[ "$("$prefix/bin/glassform" --version | head -n 1)" = "glassform 0.3.0" ]
"$prefix/bin/glassform" binary Zr Cu | grep -q '^81.93% of Zr.$'
printf '2\nZr\nCu\n10\nn\n' | "$prefix/bin/glassform" | grep -q '^C44/C11 = 0.2633$'
echo "installed and ran glassform from $prefix"
