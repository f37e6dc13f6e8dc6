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

# The C++ library: a project of its own finds it with find_package and runs. A sanitizer
# build's libraries need the same instrumentation in the program that links them.
flags=()
if grep -q '^GLASSFORM_SANITIZE:BOOL=ON' "$1/CMakeCache.txt"; then
  flags=(-fsanitize=address,undefined)
fi
test -f "$prefix/include/glassform/glassform.hpp"
# (A negated command never stops a set -e script: the test is written out.)
if test -e "$prefix/include/glassform/model/alloy_kinds.hpp"; then
  echo "FAIL: the model's internal header is installed"
  exit 1
fi
# Every installed header includes the others by their place under glassform/.
if grep -rnE '#include "(model|io|report)/' "$prefix/include"; then
  echo "FAIL: an installed header needs a bare layer folder on the include path"
  exit 1
fi
consumer="$prefix/consumer"
cmake -S "$(dirname "$0")/consumer" -B "$consumer" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_FLAGS="${flags[*]}" -DCMAKE_EXE_LINKER_FLAGS="${flags[*]}" >/dev/null
cmake --build "$consumer" >/dev/null
expected="formula,packing_%
Zr81.93Cu18.07,42.58326"
[ "$("$consumer/consumer" | head -n 2)" = "$expected" ]
"$consumer/consumer" | grep -q '^p_glass 0\.8530'
# And with pkg-config.
if command -v pkg-config >/dev/null; then
  package=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig:$prefix/lib64/pkgconfig" pkg-config --cflags --libs glassform)
  # shellcheck disable=SC2086
  c++ "$(dirname "$0")/consumer/main.cpp" $package "${flags[@]}" -o "$prefix/consumer-pc"
  [ "$("$prefix/consumer-pc" | head -n 2)" = "$expected" ]
fi
echo "installed and ran glassform and a consumer of its library from $prefix"
