#!/usr/bin/env bash
# Takes the library as its users take it, one way per mode: install, plain (a
# packager's configure), subdirectory and fetchcontent (a parent's), static (a
# shared cross-build's other kind), deb and zip (this build's packages), and apt
# (for CI, as root: apt installs, uses and purges the packages in a folder). The
# user is tests/consumer, which builds README's example by README's CMake
# project, as C++17; it must print what README says. CMake tells the test what
# the build decided, as NAME=VALUE lines of its own variables. Exits 77 where a
# tool is missing.
# Usage: package_test.sh MODE FACTS_FILE | package_test.sh apt PACKAGE_DIR
# shellcheck disable=SC2154  # the CMAKE_* and PROJECT_* variables are the facts
set -euo pipefail
mode=$1
here=$(dirname "$(realpath "$0")")
example_prints=$'10 10\n10 = 2 + 2'
# It takes milliseconds, seconds under Wine; one that loops is stopped soon, and read with a bound.
run_seconds=30 read_bytes=256
# The four functions' symbols, sorted.
functions="_ZN11rod_cutting10cut_piecesEPKiiPi _ZN11rod_cutting16memoized_revenueEPKiPii"
functions+=" _ZN11rod_cutting17bottom_up_revenueEPKiPiS2_i _ZN11rod_cutting19brute_force_revenueEPKii"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
exec 3>&1  # the test's own output, for the TERM trap even within a redirection
trap 'echo "$mode: stopped by SIGTERM, the time limit" >&3; exit 143' TERM
prefix=$work/prefix
unset LD_LIBRARY_PATH  # whatever runs here finds the library by itself, or is told where

fail() { echo "$mode: $*"; exit 1; }
expect() { [ "$2" = "$3" ] || fail "$1 '$2', not '$3'"; }  # expect WHAT GOT WANTED
skip() { echo "skipped: $*"; exit 77; }
quietly() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; fail "failed: $*"; }; }
needs() {  # needs PACKAGE COMMAND...: skips unless every command is here
  for tool in "${@:2}"; do command -v "$tool" >/dev/null || skip "$tool is missing; bash .ci/need $1"; done
}

# What a user's project takes from this build, and what each component installs.
bin=bin lib=lib exe="" shared=0 windows=0 told=() run_under=() program=() library=() development=()
if [ "$mode" != apt ]; then
  while IFS= read -r line; do declare "${line%%=*}=${line#*=}"; done <"$2"
  bin=$CMAKE_INSTALL_BINDIR lib=$CMAKE_INSTALL_LIBDIR shared=$BUILD_SHARED_LIBS
  exe=$CMAKE_EXECUTABLE_SUFFIX windows=$([ "$CMAKE_SYSTEM_NAME" = Windows ] && echo 1 || echo 0)
  told=(-G "$CMAKE_GENERATOR" -DCMAKE_BUILD_TYPE="$CMAKE_BUILD_TYPE"
    -DCMAKE_CXX_FLAGS="$CMAKE_CXX_FLAGS" -DCMAKE_EXE_LINKER_FLAGS="$CMAKE_EXE_LINKER_FLAGS"
    -DBUILD_SHARED_LIBS="$shared" -DCMAKE_COMPILE_WARNING_AS_ERROR="$CMAKE_COMPILE_WARNING_AS_ERROR"
    -DCMAKE_INSTALL_BINDIR="$bin" -DCMAKE_INSTALL_LIBDIR="$lib"
    -DCMAKE_TOOLCHAIN_FILE="$CMAKE_TOOLCHAIN_FILE" -DCMAKE_CXX_COMPILER="$CMAKE_CXX_COMPILER")
  read -ra run_under <<<"$CMAKE_CROSSCOMPILING_EMULATOR"

  program=("$bin/rod_cutting$exe" "$CMAKE_INSTALL_MANDIR/man1/rod_cutting.1.gz")
  development=("$CMAKE_INSTALL_INCLUDEDIR"/rod_cutting/{revenue,export}.hpp
    "$lib/pkgconfig/rod_cutting.pc"
    "$lib"/cmake/rod_cutting/rod_cutting{Config,ConfigVersion,Targets,Targets-CONFIG}.cmake)
  soname=librod_cutting.so.$PROJECT_VERSION_MAJOR
  if ((!shared)); then
    development+=("$lib/librod_cutting.a")
  elif ((windows)); then
    library=("$bin/librod_cutting.dll") development+=("$lib/librod_cutting.dll.a")
  else
    library=("$lib/$soname" "$lib/librod_cutting.so.$PROJECT_VERSION")
    development+=("$lib/librod_cutting.so")
  fi
fi

# A list of files, with an export file's build type read as CONFIG.
any_config() { sed 's|Targets-[a-z]*\.cmake$|Targets-CONFIG.cmake|' | sort; }
files_in() { (cd "$1" && find . ! -type d | sed 's|^\./||' | any_config); }
holds_exactly() {  # holds_exactly WHAT LISTING PATH...
  local want extra lacking
  want=$(printf '%s\n' "${@:3}" | sort)
  extra=$(comm -23 <(echo "$2") <(echo "$want") | paste -sd' ')
  lacking=$(comm -13 <(echo "$2") <(echo "$want") | paste -sd' ')
  [ -z "$extra$lacking" ] || fail "$1 holds more [$extra] and lacks [$lacking]"
}

program_works() {  # program_works PREFIX: the installed program prints the report
  local crlf=() loader=()
  ((!windows)) || crlf=(--crlf)
  # Installed for a folder the loader searches, the program needs no rpath;
  # installed anywhere else, it must find a shared library by itself.
  local loader_dirs=" $CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES "
  if ((shared && !windows)) && [[ $loader_dirs == *" $CMAKE_INSTALL_FULL_LIBDIR "* ]]; then
    loader=("LD_LIBRARY_PATH=$1/$lib")
  fi
  bash "$here/cli_test.sh" "${crlf[@]}" plain "$1/$bin/rod_cutting$exe" env "${loader[@]}" \
    "${run_under[@]}" || fail "the program installed in $1 does not print the report"
}

# Installs a build, checks its files and manifest, and moves it to $prefix.
install_moved() {  # install_moved BUILD
  quietly cmake --install "$1" --prefix "$work/first"
  local listing
  listing=$(files_in "$work/first")
  holds_exactly "the install" "$listing" "${program[@]}" "${library[@]}" "${development[@]}"
  # What the manifest lists is what README's uninstall removes.
  [ "$(sed "s|^$work/first/||" "$1/install_manifest.txt" | any_config)" = "$listing" ] ||
    fail "install_manifest.txt does not list what was installed"
  mv "$work/first" "$prefix"
  program_works "$prefix"
}

configure_consumer() {  # configure_consumer INSTALL_PREFIX CMAKE_ARG...
  rm -rf "$work/consumer"
  cmake -S "$here/consumer" -B "$work/consumer" "${told[@]}" -DCMAKE_INSTALL_PREFIX="$1" \
    -Drod_cutting_expected_version="$PROJECT_VERSION" "${@:2}"
}
consumer() {  # consumer INSTALL_PREFIX CMAKE_ARG...: builds and installs it
  quietly configure_consumer "$@"
  quietly cmake --build "$work/consumer"
  quietly cmake --install "$work/consumer"
}
answers() {  # answers PROGRAM [ENV...]: it printed what README says, and ended
  local got status=0 ended=""
  got=$(timeout "$run_seconds" env "${@:2}" "${run_under[@]}" "$1" | head -c "$read_bytes" |
    tr -d '\r') || status=$?
  ((!status)) || ended=" and ended with status $status (124: it ran $run_seconds s; 141: $read_bytes bytes)"
  [ "$status $got" = "0 $example_prints" ] ||
    fail "$1 printed '${got//$'\n'/ }', not '${example_prints//$'\n'/ }'$ended"
}

# The functions a shared library exports, and those a Windows object imports from a DLL;
# the DLLs a Windows program or DLL needs.
exports() {
  if ((windows)); then
    "$CMAKE_OBJDUMP" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p'
  else
    "$CMAKE_NM" -D --defined-only --format=just-symbols "$1"
  fi | sort | paste -sd' '
}
dlls() { "$CMAKE_OBJDUMP" -p "$1" | sed -n 's/^\s*DLL Name: //p' | LC_ALL=C sort | paste -sd' '; }
imports_if_shared() {  # Windows: the header declares the functions dllimport for a DLL's users alone
  ((windows)) || return 0
  local want="" got
  ((!shared)) || want=$functions
  got=$("$CMAKE_NM" "$(find "$work/consumer" -name main.cpp.obj)" |
    sed -n 's/^ *U __imp_\(_ZN11rod_cutting.*\)/\1/p' | sort | paste -sd' ')
  expect "README's example imports from a DLL" "$got" "$want"
}

# The consumer finds the install in $prefix, installs itself there and runs.
found_and_run() {  # found_and_run CMAKE_ARG...
  consumer "$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@"
  imports_if_shared
  answers "$prefix/$bin/example$exe"
}

# README's example, as the consumer's configure wrote it, built by the compiler
# alone with the flags pkg-config gives.
pkg_config_example() {
  needs pkg-config pkg-config
  local flags link found=()
  export PKG_CONFIG_PATH=$prefix/$lib/pkgconfig
  # A .pc file for /usr names /usr, so that pkg-config leaves out the system
  # folders; any other finds its prefix from where it lies, moved or not.
  if [ "$CMAKE_INSTALL_PREFIX" = /usr ]; then
    expect "the .pc file names" "$(pkg-config --variable=prefix rod_cutting)" /usr
    found=(--define-variable=prefix="$prefix")
  fi
  read -ra flags <<<"$CMAKE_CXX_FLAGS $(pkg-config "${found[@]}" --cflags rod_cutting)"
  ((!CMAKE_COMPILE_WARNING_AS_ERROR)) || flags+=(-Werror)
  read -ra link <<<"$CMAKE_EXE_LINKER_FLAGS $(pkg-config "${found[@]}" --libs rod_cutting)"
  quietly "$CMAKE_CXX_COMPILER" -std=c++17 "${flags[@]}" "$work/consumer/example/main.cpp" "${link[@]}" \
    -o "$prefix/$bin/example$exe"
  answers "$prefix/$bin/example$exe" "LD_LIBRARY_PATH=$prefix/$lib"
}

# lintian lets through only the errors that need the owner's word: a licence,
# release notes, a mail address.
lint() {
  lintian --fail-on error --suppress-tags no-copyright-file,no-changelog,malformed-contact "$@" ||
    fail "lintian found errors"
}
deb_files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print substr($6, 3) }' | any_config; }

case $mode in
  install)
    for component in runtime development; do
      quietly cmake --install "$PROJECT_BINARY_DIR" --component "rod_cutting_$component" \
        --prefix "$work/$component"
    done
    holds_exactly "the runtime component" "$(files_in "$work/runtime")" "${program[@]}" "${library[@]}"
    holds_exactly "the development component" "$(files_in "$work/development")" "${development[@]}"
    install_moved "$PROJECT_BINARY_DIR"
    # The version macros are checked where the consumer compiles.
    page=$(gzip -dc "$prefix/${program[1]}" | sed -n '1s/^\.TH .* "rod_cutting \([^"]*\)".*/\1/p')
    pc=$(sed -n 's/^Version: //p' "$prefix/$lib/pkgconfig/rod_cutting.pc")
    expect "the man page and the .pc file say versions" "$page $pc" "$PROJECT_VERSION $PROJECT_VERSION"
    if ((shared)); then
      expect "the library exports" "$(exports "$prefix/${library[0]}")" "$functions"
      ((windows)) || expect "the library's SONAME is" "$("$CMAKE_OBJDUMP" -p "$prefix/${library[0]}" |
        awk '$1 == "SONAME" { print $2 }')" "$soname"
    fi
    # Windows programs carry the compiler's runtime: they need only the system's DLLs, and ours.
    if ((windows)); then
      for file in "${program[0]}" "${library[@]}"; do
        [[ "$(dlls "$prefix/$file")" =~ ^KERNEL32.dll( librod_cutting.dll)?\ msvcrt.dll$ ]] ||
          fail "$file needs $(dlls "$prefix/$file")"
      done
    fi
    refusal='rod_cutting has no component "bogus"; its one component is "revenue".'
    ! configure_consumer "$prefix" -DCMAKE_PREFIX_PATH="$prefix" -Drod_cutting_components="revenue;bogus" \
      >"$work/log" 2>&1 || fail "find_package accepted an unknown component"
    grep -qF "$refusal" "$work/log" || { sed -n '/^CMake Error/,$p' "$work/log"
      fail "find_package failed, but not for the unknown component; CMake said the above"; }
    found_and_run -Drod_cutting_components=revenue
    # MinGW's -static, which the build links with, would find no import library.
    ((windows)) || pkg_config_example ;;
  static)
    quietly cmake -S "$PROJECT_SOURCE_DIR" -B "$work/static" "${told[@]}" -DBUILD_SHARED_LIBS=OFF
    quietly cmake --build "$work/static"
    quietly cmake --install "$work/static" --prefix "$prefix"
    shared=0
    found_and_run ;;
  plain)
    quietly cmake -S "$PROJECT_SOURCE_DIR" -B "$work/plain" -DCMAKE_CXX_COMPILER="$CMAKE_CXX_COMPILER" \
      -DBUILD_SHARED_LIBS="$shared" -DCMAKE_INSTALL_PREFIX="$CMAKE_INSTALL_PREFIX" \
      -DCMAKE_INSTALL_BINDIR="$bin" -DCMAKE_INSTALL_LIBDIR="$lib" \
      -DCMAKE_INSTALL_INCLUDEDIR="$CMAKE_INSTALL_INCLUDEDIR" \
      -DCMAKE_INSTALL_MANDIR="$CMAKE_INSTALL_MANDIR" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
      -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
    quietly cmake --build "$work/plain"
    expect "the tests and benchmarks built are" \
      "$(find "$work/plain" -name 'rod_cutting_tests*' -o -name 'revenue_bench*')" ""
    install_moved "$work/plain" ;;
  subdirectory | fetchcontent)
    if [ "$mode" = subdirectory ]; then
      consumer "$work/installed" -Drod_cutting_source_dir="$PROJECT_SOURCE_DIR" -DROD_CUTTING_INSTALL=ON
    else
      tar -C "$PROJECT_SOURCE_DIR" --exclude=./build --exclude=./.git -czf "$work/rod_cutting.tar.gz" .
      consumer "$work/installed" -Drod_cutting_archive="$work/rod_cutting.tar.gz"
      development=()
    fi
    expect "the parent built our program as" "$(find "$work/consumer" -type f -name "rod_cutting$exe")" ""
    mv "$work/installed" "$prefix"
    holds_exactly "the parent's install" "$(files_in "$prefix")" "$bin/example$exe" "${library[@]}" \
      "${development[@]}"
    answers "$prefix/$bin/example$exe" ;;
  deb)
    needs "dpkg-dev file lintian" dpkg-shlibdeps file lintian
    quietly cpack --config "$PROJECT_BINARY_DIR/CPackConfig.cmake" -G DEB -B "$work/packages"
    runtime_deb=$(echo "$work"/packages/rod-cutting_*.deb)
    development_deb=$(echo "$work"/packages/librod-cutting-dev_*.deb)
    holds_exactly rod-cutting "$(deb_files "$runtime_deb")" "${program[@]/#/usr/}" \
      "${library[@]/#/usr/}"
    holds_exactly librod-cutting-dev "$(deb_files "$development_deb")" "${development[@]/#/usr/}"
    synopsis() { dpkg-deb -f "$1" Description | head -1; }
    [ "$(synopsis "$runtime_deb")" != "$(synopsis "$development_deb")" ] ||
      fail "both packages have the synopsis '$(synopsis "$runtime_deb")'"
    depends=""
    if ((shared)); then
      depends="rod-cutting (= $PROJECT_VERSION)"
      shlibs="librod_cutting $PROJECT_VERSION_MAJOR rod-cutting (>= $PROJECT_VERSION)"
      expect "the shlibs file says" "$(dpkg-deb -I "$runtime_deb" shlibs)" "$shlibs"
    fi
    expect "librod-cutting-dev depends on" "$(dpkg-deb -f "$development_deb" Depends)" "$depends"
    lint "$runtime_deb" "$development_deb"
    dpkg-deb -x "$runtime_deb" "$work/root"
    program_works "$work/root/usr" ;;
  zip)
    quietly cpack --config "$PROJECT_BINARY_DIR/CPackConfig.cmake" -B "$work/packages"
    zip=rod_cutting-$PROJECT_VERSION-win64
    expect "cpack wrote" "$(find "$work/packages" -maxdepth 1 -type f -printf '%f ')" "$zip.zip "
    holds_exactly "$zip.zip" "$(cmake -E tar tf "$work/packages/$zip.zip" | sed -n "s|^$zip/\(.*[^/]\)\$|\1|p" |
      any_config)" "${program[@]}" "${library[@]}" "${development[@]}" ;;
  apt)
    needs "lintian pkg-config" lintian pkg-config
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    dpkg -s rod-cutting >/dev/null 2>&1 && fail "rod-cutting is installed already; purge it first"
    mapfile -t debs < <(realpath "$2"/*.deb)
    PROJECT_VERSION=$(dpkg-deb -f "${debs[0]}" Version)
    lint "${debs[@]}"
    mapfile -t files < <(for deb in "${debs[@]}"; do deb_files "$deb"; done)
    # A failure below leaves nothing installed.
    trap '"${as_root[@]}" dpkg --purge rod-cutting librod-cutting-dev >/dev/null 2>&1 || true
      rm -rf "$work"' EXIT
    quietly "${as_root[@]}" apt-get install -y "${debs[@]}"
    bash "$here/cli_test.sh" plain "$(command -v rod_cutting)" ||
      fail "rod_cutting does not print the report"
    expect "man finds the page" "$(man -w rod_cutting)" /usr/share/man/man1/rod_cutting.1.gz
    # pkg-config leaves out the system folders.
    expect "pkg-config prints" "$(pkg-config --cflags --libs rod_cutting | xargs)" -lrod_cutting
    consumer "$prefix"
    answers "$prefix/bin/example"
    quietly "${as_root[@]}" apt-get purge -y rod-cutting librod-cutting-dev
    for file in "${files[@]}"; do [ ! -e "/$file" ] || fail "left after purge: /$file"; done
    echo "installed, ran, found the man page and the library, and purged ${#files[@]} files" ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
