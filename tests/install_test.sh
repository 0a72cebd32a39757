#!/usr/bin/env bash
# Builds and runs a small project that calls both solvers, with the library
# taken either from an install into a temporary prefix (after checking what
# landed there) or from this checkout through add_subdirectory.
# Usage: install_test.sh install|subdirectory BUILD_DIR SOURCE_DIR CXX CXX_FLAGS LINKER_FLAGS
set -euo pipefail
mode=$1 build=$2 source=$3 cxx=$4 cxx_flags=$5 linker_flags=$6

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

case $mode in
  install)
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for file in bin/rod_cutting include/rod_cutting/revenue.hpp share/man/man1/rod_cutting.1; do
      [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
    done
    bash "$source/tests/cli_test.sh" "$prefix/bin/rod_cutting" plain
    library=(-DCMAKE_PREFIX_PATH="$prefix") ;;
  subdirectory) library=(-Drod_cutting_source_dir="$source") ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac

# The consumer is built like the project, so that a sanitized library links.
cmake -S "$source/tests/consumer" -B "$work/consumer" -G Ninja "${library[@]}" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="$cxx_flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" >/dev/null
cmake --build "$work/consumer" >/dev/null
answer=$("$work/consumer/consumer")
[ "$answer" = "30 30" ] || { echo "consumer printed '$answer', expected '30 30'"; exit 1; }
echo "library from $mode works: $answer"
