#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what landed there, then
# builds and runs a small project that finds the package and calls both solvers.
# Usage: install_test.sh BUILD_DIR CONSUMER_SOURCE_DIR CXX CXX_FLAGS LINKER_FLAGS
set -euo pipefail
build=$1 consumer=$2 cxx=$3 cxx_flags=$4 linker_flags=$5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/rod_cutting include/rod_cutting/revenue.hpp share/man/man1/rod_cutting.1; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
cmp <("$prefix/bin/rod_cutting") <(printf 'Brute Force : 30\nDynamic Programming : 30\n')

# The consumer is built like the project, so that a sanitized library links.
cmake -S "$consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="$cxx_flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" >/dev/null
cmake --build "$work/consumer" >/dev/null
answer=$("$work/consumer/consumer")
[ "$answer" = "30 30" ] || { echo "consumer printed '$answer', expected '30 30'"; exit 1; }
echo "installed package works: $answer"
