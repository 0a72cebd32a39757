#!/usr/bin/env bash
# Takes the library as a user would, one way per mode, and checks that both
# solvers answer through it in code compiled as C++17:
#   install       cmake --install into a scratch prefix, which is then moved; the
#                 program runs from there and a CMake project finds the library
#   pkg-config    the same, and a program built by g++ alone at its default standard
#   subdirectory  a parent project adds this checkout and turns on its install rules
#   fetchcontent  a parent fetches an archive of this checkout; its install holds
#                 nothing of ours
#   deb           the Debian package, listed, unpacked into a scratch folder and run
# Parents build with every warning as an error. Exits 77 where a mode's tools are
# missing.
# Usage: install_test.sh MODE BUILD_DIR SOURCE_DIR
set -euo pipefail
mode=$1 build=$2 source=$3

# A value from the build's cache, which quotes those with blanks at an end.
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" | sed "s/^'\(.*\)'\$/\1/"; }
cxx=$(cache CMAKE_CXX_COMPILER) cxx_flags=$(cache CMAKE_CXX_FLAGS)
linker_flags=$(cache CMAKE_EXE_LINKER_FLAGS) shared=$(cache BUILD_SHARED_LIBS)
libdir=$(cache CMAKE_INSTALL_LIBDIR) version=$(cache CMAKE_PROJECT_VERSION)
major=${version%%.*}
warnings="-Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Werror"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
# Whatever runs here finds the library by itself.
unset LD_LIBRARY_PATH

fail() { echo "$mode: $*"; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
quietly() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; fail "failed: $*"; }; }

# The files below a folder, relative to it, one per line.
files_in() { (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort); }

holds() {  # holds LISTING PATH...: every path is in the listing
  local listing=$1 path
  shift
  for path; do grep -qxF "$path" <<<"$listing" || fail "missing: $path"; done
}

library_files=(include/rod_cutting/revenue.hpp "$libdir/cmake/rod_cutting/rod_cuttingConfig.cmake"
  "$libdir/pkgconfig/rod_cutting.pc")
is_shared() { [[ ${shared^^} =~ ^(ON|1|TRUE|YES|Y)$ ]]; }
if is_shared; then
  library_files+=("$libdir/librod_cutting.so.$version" "$libdir/librod_cutting.so.$major"
    "$libdir/librod_cutting.so")
else
  library_files+=("$libdir/librod_cutting.a")
fi
program_files=(bin/rod_cutting share/man/man1/rod_cutting.1)

answers() {  # answers COMMAND...: the consumer printed both answers, compiled as C++17
  local answer
  answer=$("$@")
  [ "$answer" = "30 30 201703" ] ||
    fail "consumer printed '$answer', expected '30 30 201703' (both answers, then C++17)"
  echo "library from $mode works: $answer"
}

# Builds tests/consumer as a parent with its own install prefix, and runs it.
consumer() {
  quietly cmake -S "$source/tests/consumer" -B "$work/consumer" -G Ninja "$@" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="$cxx_flags $warnings" \
    -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" -DBUILD_SHARED_LIBS="$shared" \
    -DCMAKE_INSTALL_PREFIX="$work/installed"
  quietly cmake --build "$work/consumer"
  [ -z "$(find "$work/consumer" -type f -name rod_cutting)" ] || fail "our program was built"
  answers "$work/consumer/consumer"
}

# Installs into a first prefix, checks it, and moves it to $prefix.
install_moved() {
  quietly cmake --install "$build" --prefix "$work/first"
  local listing
  listing=$(files_in "$work/first")
  holds "$listing" "${library_files[@]}" "${program_files[@]}"
  # What the manifest lists is what `xargs rm < install_manifest.txt` removes.
  [ "$(sed "s|^$work/first/||" "$build/install_manifest.txt" | sort)" = "$listing" ] ||
    fail "install_manifest.txt does not list what was installed"
  mv "$work/first" "$prefix"
}

case $mode in
  install)
    install_moved
    bash "$source/tests/cli_test.sh" "$prefix/bin/rod_cutting" plain
    if is_shared; then
      soname=$(readelf -d "$prefix/$libdir/librod_cutting.so" | sed -n 's/.*soname: \[\(.*\)\]/\1/p')
      [ "$soname" = "librod_cutting.so.$major" ] || fail "SONAME is '$soname'"
      exported=$(nm -D --defined-only -C --format=just-symbols "$prefix/$libdir/librod_cutting.so")
      solvers=$'rod_cutting::brute_force_revenue(int const*, int)\nrod_cutting::memoized_revenue(int const*, int*, int)'
      [ "$(sort <<<"$exported")" = "$solvers" ] || fail "exports other than the two solvers: $exported"
    fi
    consumer -DCMAKE_PREFIX_PATH="$prefix" ;;
  pkg-config)
    command -v pkg-config >/dev/null || skip "pkg-config is missing; bash .ci/need pkg-config"
    install_moved
    export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
    read -ra flags < <(pkg-config --cflags --libs rod_cutting)
    read -ra compile <<<"$cxx_flags $warnings"
    read -ra link <<<"$linker_flags"
    quietly g++ "${compile[@]}" "$source/tests/consumer/main.cpp" "${flags[@]}" "${link[@]}" \
      -o "$work/consumer"
    answers env LD_LIBRARY_PATH="$(pkg-config --variable=libdir rod_cutting)" "$work/consumer" ;;
  subdirectory)
    consumer -Drod_cutting_source_dir="$source" -DROD_CUTTING_INSTALL=ON
    quietly cmake --install "$work/consumer"
    listing=$(files_in "$work/installed")
    holds "$listing" bin/consumer "${library_files[@]}"
    ! grep -qxF -e "${program_files[0]}" -e "${program_files[1]}" <<<"$listing" ||
      fail "our program was installed" ;;
  fetchcontent)
    tar -C "$source" --exclude=./build --exclude=./.git -czf "$work/rod_cutting.tar.gz" .
    consumer -Drod_cutting_archive="$work/rod_cutting.tar.gz"
    quietly cmake --install "$work/consumer"
    listing=$(files_in "$work/installed")
    [ "$listing" = bin/consumer ] || fail "the parent's install holds more than its program:
$listing" ;;
  deb)
    for tool in dpkg-shlibdeps file; do
      command -v "$tool" >/dev/null || skip "$tool is missing; bash .ci/need dpkg-dev file"
    done
    quietly cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package"
    deb=$(find "$work/package" -maxdepth 1 -name '*.deb')
    listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed -n 's|^\./usr/||p')
    holds "$listing" "${library_files[@]}" "${program_files[@]}"
    dpkg-deb -x "$deb" "$work/root"
    bash "$source/tests/cli_test.sh" "$work/root/usr/bin/rod_cutting" plain
    echo "package $(basename "$deb") holds the program and the library, and runs" ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
