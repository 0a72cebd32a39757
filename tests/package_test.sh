#!/usr/bin/env bash
# Takes the library as its users take it, one way per mode. Each way's user is
# README's example, built as C++17 by tests/consumer; it must print what README
# says. CMake tells the test what the build decided, in a file of NAME=VALUE
# lines (tests/CMakeLists.txt writes it). Exits 77 where a tool is missing.
#   install       installs each component and the whole, checks their files,
#                 moves the prefix and uses it: the program, find_package (an
#                 unknown component refused), the compiler alone through
#                 pkg-config, and what a shared library exports
#   plain         a packager's configure, without the presets or test frameworks
#   subdirectory  a parent adds this checkout and turns on its install rules
#   fetchcontent  a parent fetches this checkout; its install holds its own
#                 program and, when shared, our runtime library alone
#   static        a static build of the sources, for a cross-build that is shared
#   deb           the Debian packages of this build: files, dependency, lintian
#   apt           for CI, as root: lintian over the packages in a folder, then
#                 apt installs, uses and purges them
# Usage: package_test.sh MODE FACTS_FILE
#        package_test.sh apt PACKAGE_DIR
set -euo pipefail
mode=$1
here=$(dirname "$(realpath "$0")")
example_prints=$'10\n10'
solvers="_ZN11rod_cutting16memoized_revenueEPKiPii _ZN11rod_cutting19brute_force_revenueEPKii"

# The facts, as shell variables; lists are separated by blanks. The defaults
# are for the apt mode, which is told nothing.
source=$here/.. build="" system=Linux shared=0 generator="Unix Makefiles" build_type=""
cxx=c++ cxx_flags="" linker_flags="" werror=0 toolchain="" emulator="" nm=nm objdump=objdump
exe="" install_prefix=/usr bindir=bin libdir=lib includedir=include mandir=share/man
full_libdir=/usr/lib loader_dirs=""
version="" soname="" program_files="" library_files="" development_files=""
if [ "$mode" != apt ]; then
  while IFS= read -r line; do declare "${line%%=*}=${line#*=}"; done <"$2"
fi
read -ra program <<<"$program_files"
read -ra library <<<"$library_files"
read -ra development <<<"$development_files"
read -ra run_under <<<"$emulator"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
# Whatever runs here finds the library by itself, or is told where it is.
unset LD_LIBRARY_PATH

fail() { echo "$mode: $*"; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
quietly() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; fail "failed: $*"; }; }
needs() {  # needs PACKAGE COMMAND...: skips unless every command is here
  local package=$1 tool
  shift
  for tool; do command -v "$tool" >/dev/null || skip "$tool is missing; bash .ci/need $package"; done
}

# The files below a folder, one per line, relative to it.
files_in() { (cd "$1" && find . ! -type d | sed 's|^\./||' | sort); }

holds_exactly() {  # holds_exactly WHAT LISTING PATH...: says what is extra and what lacks
  local have want extra lacking
  # shellcheck disable=SC2001  # a pattern, which ${//} cannot match
  have=$(sed 's/Targets-[a-z]*\.cmake$/Targets-CONFIG.cmake/' <<<"$2" | sort)
  want=$(printf '%s\n' "${@:3}" | sort)
  extra=$(comm -23 <(echo "$have") <(echo "$want") | paste -sd' ')
  lacking=$(comm -13 <(echo "$have") <(echo "$want") | paste -sd' ')
  [ -z "$extra$lacking" ] || fail "$1 holds more [$extra] and lacks [$lacking]"
}

program_works() {  # program_works PREFIX: the installed program prints the report
  local crlf=() loader=()
  [ "$system" != Windows ] || crlf=(--crlf)
  # Installed for a folder the loader searches, the program needs no rpath and
  # has none; installed anywhere else, it must find a shared library by itself.
  if ((shared)) && [ "$system" = Linux ] && [[ " $loader_dirs " == *" $full_libdir "* ]]; then
    loader=("LD_LIBRARY_PATH=$1/$libdir")
  fi
  bash "$here/cli_test.sh" "${crlf[@]}" plain "$1/$bindir/rod_cutting$exe" env "${loader[@]}" \
    "${run_under[@]}" || fail "the program installed in $1 does not print the report"
}

# Installs a build, checks the files and the manifest, moves it to $prefix and runs it.
install_moved() {  # install_moved BUILD
  quietly cmake --install "$1" --prefix "$work/first"
  local listing
  listing=$(files_in "$work/first")
  holds_exactly "the install" "$listing" "${program[@]}" "${library[@]}" "${development[@]}"
  # What the manifest lists is what README's uninstall removes.
  [ "$(sed "s|^$work/first/||" "$1/install_manifest.txt" | sort)" = "$listing" ] ||
    fail "install_manifest.txt does not list what was installed"
  mv "$work/first" "$prefix"
  program_works "$prefix"
}

# Configures tests/consumer with this build's compiler, flags and layout.
configure_consumer() {  # configure_consumer INSTALL_PREFIX CMAKE_ARG...
  local compiler=(-DCMAKE_CXX_COMPILER="$cxx")
  [ -z "$toolchain" ] || compiler=(--toolchain "$toolchain")
  cmake -S "$here/consumer" -B "$work/consumer" -G "$generator" "${compiler[@]}" \
    -DCMAKE_BUILD_TYPE="$build_type" -DCMAKE_CXX_FLAGS="$cxx_flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" -DCMAKE_COMPILE_WARNING_AS_ERROR="$werror" \
    -DBUILD_SHARED_LIBS="$shared" -DCMAKE_INSTALL_PREFIX="$1" -DCMAKE_INSTALL_BINDIR="$bindir" \
    -DCMAKE_INSTALL_LIBDIR="$libdir" "${@:2}"
}

# Builds and installs the consumer; a parent must not build our program.
consumer() {  # consumer INSTALL_PREFIX CMAKE_ARG...
  rm -rf "$work/consumer"
  quietly configure_consumer "$@"
  quietly cmake --build "$work/consumer"
  [ -z "$(find "$work/consumer" -type f -name "rod_cutting$exe")" ] || fail "the parent built our program"
  quietly cmake --install "$work/consumer"
}

# The option that points find_package at an installed prefix.
finding() {
  if [ -z "$toolchain" ]; then echo "-DCMAKE_PREFIX_PATH=$1"; else echo "-DCMAKE_FIND_ROOT_PATH=$1"; fi
}

answers() {  # answers PROGRAM [ENV...]: README's example printed what README says
  local got
  got=$(env "${@:2}" "${run_under[@]}" "$1" | tr -d '\r') || fail "$1 failed"
  [ "$got" = "$example_prints" ] || fail "$1 printed '${got//$'\n'/ }', not '${example_prints//$'\n'/ }'"
}

# The functions a shared library exports, or a Windows object imports from a DLL.
exports() {
  if [ "$system" = Windows ]; then
    "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p'
  else
    "$nm" -D --defined-only --format=just-symbols "$1"
  fi | sort | paste -sd' '
}
imports() { "$nm" "$1" | sed -n 's/^ *U __imp_\(_ZN11rod_cutting.*\)/\1/p' | sort | paste -sd' '; }

# On Windows, the header must declare the solvers dllimport for a DLL's users alone.
imports_if_shared() {
  [ "$system" = Windows ] || return 0
  local want="" got
  ((!shared)) || want=$solvers
  got=$(imports "$(find "$work/consumer" -name main.cpp.obj)")
  [ "$got" = "$want" ] || fail "README's example imports [$got] from a DLL, not [$want]"
}

# README's example built by the compiler alone, with the flags pkg-config gives.
pkg_config_example() {
  needs pkg-config pkg-config
  local flags cflags libs link
  export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
  read -ra flags <<<"$cxx_flags"
  ((!werror)) || flags+=(-Werror)
  # A .pc file for /usr names /usr, so that pkg-config leaves out the system
  # folders; any other finds its prefix from where it lies, moved or not.
  local define=()
  if [ "$install_prefix" = /usr ]; then
    [ "$(pkg-config --variable=prefix rod_cutting)" = /usr ] || fail "the .pc file does not name /usr"
    define=(--define-variable=prefix="$prefix")
  fi
  read -ra cflags < <(pkg-config "${define[@]}" --cflags rod_cutting)
  read -ra libs < <(pkg-config "${define[@]}" --libs rod_cutting)
  read -ra link <<<"$linker_flags"
  quietly "$cxx" -std=c++17 "${flags[@]}" "${cflags[@]}" "$work/consumer/main.cpp" "${link[@]}" \
    "${libs[@]}" -o "$prefix/$bindir/example$exe"
  answers "$prefix/$bindir/example$exe" "LD_LIBRARY_PATH=$prefix/$libdir"
}

# lintian over Debian packages: only the errors that need the owner's word
# (a licence, release notes, a mail address) are let through.
lint() {
  lintian --fail-on error --suppress-tags no-copyright-file,no-changelog,malformed-contact "$@" ||
    fail "lintian found errors"
}
deb_files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print substr($6, 3) }'; }

case $mode in
  install)
    for component in runtime development; do
      quietly cmake --install "$build" --component "rod_cutting_$component" --prefix "$work/$component"
    done
    holds_exactly "the runtime component" "$(files_in "$work/runtime")" "${program[@]}" "${library[@]}"
    holds_exactly "the development component" "$(files_in "$work/development")" "${development[@]}"
    install_moved "$build"
    if ((shared)); then
      [ "$(exports "$prefix/${library[0]}")" = "$solvers" ] ||
        fail "the library exports [$(exports "$prefix/${library[0]}")], not the solvers [$solvers]"
      [ -z "$soname" ] ||
        [ "$("$objdump" -p "$prefix/${library[0]}" | awk '$1 == "SONAME" { print $2 }')" = "$soname" ] ||
        fail "the library's SONAME is not $soname"
    fi
    refusal='rod_cutting has no component "bogus"; its one component is "revenue".'
    ! configure_consumer "$prefix" "$(finding "$prefix")" -Drod_cutting_components="revenue;bogus" \
      >"$work/log" 2>&1 ||
      fail "find_package accepted an unknown component"
    grep -qF "$refusal" "$work/log" || fail "find_package refused an unknown component without: $refusal"
    consumer "$prefix" "$(finding "$prefix")" -Drod_cutting_components=revenue
    imports_if_shared
    answers "$prefix/$bindir/consumer$exe"
    pkg_config_example ;;
  static)
    quietly cmake -S "$source" -B "$work/static" -G "$generator" --toolchain "$toolchain" \
      -DCMAKE_BUILD_TYPE="$build_type" -DCMAKE_CXX_FLAGS="$cxx_flags" \
      -DCMAKE_COMPILE_WARNING_AS_ERROR="$werror" -DBUILD_SHARED_LIBS=OFF
    quietly cmake --build "$work/static"
    quietly cmake --install "$work/static" --prefix "$prefix"
    shared=0
    consumer "$prefix" "$(finding "$prefix")"
    imports_if_shared
    answers "$prefix/$bindir/consumer$exe"
    pkg_config_example ;;
  plain)
    quietly cmake -S "$source" -B "$work/plain" -DCMAKE_CXX_COMPILER="$cxx" -DBUILD_SHARED_LIBS="$shared" \
      -DCMAKE_INSTALL_PREFIX="$install_prefix" -DCMAKE_INSTALL_BINDIR="$bindir" \
      -DCMAKE_INSTALL_LIBDIR="$libdir" -DCMAKE_INSTALL_INCLUDEDIR="$includedir" \
      -DCMAKE_INSTALL_MANDIR="$mandir" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
      -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
    quietly cmake --build "$work/plain"
    [ -z "$(find "$work/plain" -name 'rod_cutting_tests*' -o -name 'revenue_bench*')" ] ||
      fail "tests or benchmarks were built"
    install_moved "$work/plain" ;;
  subdirectory)
    consumer "$work/installed" -Drod_cutting_source_dir="$source" -DROD_CUTTING_INSTALL=ON
    mv "$work/installed" "$prefix"
    holds_exactly "the parent's install" "$(files_in "$prefix")" "$bindir/consumer$exe" \
      "${library[@]}" "${development[@]}"
    answers "$prefix/$bindir/consumer$exe" ;;
  fetchcontent)
    tar -C "$source" --exclude=./build --exclude=./.git -czf "$work/rod_cutting.tar.gz" .
    consumer "$work/installed" -Drod_cutting_archive="$work/rod_cutting.tar.gz"
    mv "$work/installed" "$prefix"
    holds_exactly "the parent's install" "$(files_in "$prefix")" "$bindir/consumer$exe" "${library[@]}"
    answers "$prefix/$bindir/consumer$exe" ;;
  deb)
    needs "dpkg-dev file" dpkg-shlibdeps file
    needs lintian lintian
    quietly cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/packages"
    runtime_deb=$(echo "$work"/packages/rod-cutting_*.deb)
    development_deb=$(echo "$work"/packages/librod-cutting-dev_*.deb)
    holds_exactly rod-cutting "$(deb_files "$runtime_deb")" "${program[@]/#/usr/}" "${library[@]/#/usr/}"
    holds_exactly librod-cutting-dev "$(deb_files "$development_deb")" "${development[@]/#/usr/}"
    depends=""
    ((!shared)) || depends="rod-cutting (= $version)"
    [ "$(dpkg-deb -f "$development_deb" Depends)" = "$depends" ] ||
      fail "librod-cutting-dev depends on '$(dpkg-deb -f "$development_deb" Depends)', not '$depends'"
    lint "$runtime_deb" "$development_deb"
    dpkg-deb -x "$runtime_deb" "$work/root"
    program_works "$work/root/usr" ;;
  apt)
    needs lintian lintian
    needs pkg-config pkg-config
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    dpkg -s rod-cutting >/dev/null 2>&1 && fail "rod-cutting is installed already; purge it first"
    mapfile -t debs < <(realpath "$2"/*.deb)
    lint "${debs[@]}"
    mapfile -t files < <(for deb in "${debs[@]}"; do deb_files "$deb"; done)
    # A failure below leaves nothing installed.
    trap '"${as_root[@]}" dpkg --purge rod-cutting librod-cutting-dev >/dev/null 2>&1 || true
      rm -rf "$work"' EXIT
    quietly "${as_root[@]}" apt-get install -y "${debs[@]}"
    bash "$here/cli_test.sh" plain "$(command -v rod_cutting)" || fail "rod_cutting does not print the report"
    [ "$(man -w rod_cutting)" = /usr/share/man/man1/rod_cutting.1.gz ] || fail "man finds no page"
    # pkg-config leaves out the system folders.
    [ "$(pkg-config --cflags --libs rod_cutting | xargs)" = -lrod_cutting ] ||
      fail "pkg-config printed '$(pkg-config --cflags --libs rod_cutting)', not -lrod_cutting"
    consumer "$prefix"
    answers "$prefix/bin/consumer"
    quietly "${as_root[@]}" apt-get purge -y rod-cutting librod-cutting-dev
    for file in "${files[@]}"; do [ ! -e "/$file" ] || fail "left after purge: /$file"; done
    echo "installed, ran, found the man page and the library, and purged ${#files[@]} files" ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
