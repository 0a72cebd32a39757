#!/usr/bin/env bash
# Takes the library as a user would, one way per mode, and checks that both
# solvers answer through it in code compiled as C++17:
#   install       cmake --install into a scratch prefix, which is then moved; the
#                 program runs from there and a CMake project finds the library
#   pkg-config    the same, and a program built by g++ alone at its default standard
#   component     the same prefix: a CMake project asks for an unknown component
#                 and is refused, then for the one there is
#   plain         a packager's configure, without the presets or the test
#                 frameworks, then build, install and run
#   subdirectory  a parent project adds this checkout and turns on its install
#                 rules; it installs, and runs from a moved prefix
#   fetchcontent  a parent fetches an archive of this checkout; its install holds
#                 its own program and, when shared, our runtime library alone
#   deb           the Debian packages of the package preset, of this build's kind:
#                 their files, their dependency, lintian, and the program unpacked
#   apt           for CI, not CTest, as root or through sudo: lintian over the
#                 packages in BUILD_DIR, then apt installs, runs and purges them
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
needs() {  # needs PACKAGE COMMAND...: skips unless every command is here
  local package=$1 tool
  shift
  for tool; do command -v "$tool" >/dev/null || skip "$tool is missing; bash .ci/need $package"; done
}

# The files below a folder, relative to it, one per line.
files_in() { (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort); }

holds() {  # holds LISTING PATH...: every path is in the listing
  local listing=$1 path
  shift
  for path; do grep -qxF "$path" <<<"$listing" || fail "missing: $path"; done
}

is_shared() { [[ ${shared^^} =~ ^(ON|1|TRUE|YES|Y)$ ]]; }
# What the two components install below a prefix, with the library folder $1.
runtime_library() {
  if is_shared; then printf '%s\n' "$1/librod_cutting.so.$major" "$1/librod_cutting.so.$version"; fi
}
development_files() {
  printf '%s\n' include/rod_cutting/{revenue,export}.hpp "$1/pkgconfig/rod_cutting.pc" \
    "$1"/cmake/rod_cutting/rod_cutting{Config,ConfigVersion,Targets}.cmake
  if is_shared; then echo "$1/librod_cutting.so"; else echo "$1/librod_cutting.a"; fi
}
mapfile -t library_files < <(runtime_library "$libdir"; development_files "$libdir")
program_files=(bin/rod_cutting share/man/man1/rod_cutting.1.gz)

answers() {  # answers WHERE COMMAND...: the consumer printed both answers, compiled as C++17
  local answer
  answer=$("${@:2}")
  [ "$answer" = "30 30 201703" ] ||
    fail "consumer printed '$answer' $1, expected '30 30 201703' (both answers, then C++17)"
  echo "library from $mode works $1: $answer"
}

# Configures tests/consumer as a parent with its own install prefix.
configure_consumer() {
  cmake -S "$source/tests/consumer" -B "$work/consumer" -G Ninja "$@" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="$cxx_flags $warnings" \
    -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" -DBUILD_SHARED_LIBS="$shared" \
    -DCMAKE_INSTALL_PREFIX="$work/installed"
}

# Builds the consumer and runs it.
consumer() {
  quietly configure_consumer "$@"
  quietly cmake --build "$work/consumer"
  [ -z "$(find "$work/consumer" -type f -name rod_cutting)" ] || fail "our program was built"
  answers "in its build" "$work/consumer/consumer"
}

# Installs the consumer, moves its prefix and runs it from there.
consumer_moved() {
  quietly cmake --install "$work/consumer"
  mv "$work/installed" "$work/moved"
  answers "installed and moved" "$work/moved/bin/consumer"
}

# Installs a build into a first prefix, checks it, and moves it to $prefix.
install_moved() {  # install_moved BUILD
  quietly cmake --install "$1" --prefix "$work/first"
  local listing
  listing=$(files_in "$work/first")
  holds "$listing" "${library_files[@]}" "${program_files[@]}"
  # What the manifest lists is what `xargs rm < install_manifest.txt` removes.
  [ "$(sed "s|^$work/first/||" "$1/install_manifest.txt" | sort)" = "$listing" ] ||
    fail "install_manifest.txt does not list what was installed"
  mv "$work/first" "$prefix"
  bash "$source/tests/cli_test.sh" "$prefix/bin/rod_cutting" plain
}

# lintian over Debian packages: only the errors that need the owner's word
# (a licence, release notes, a mail address) are let through.
lint() {
  lintian --fail-on error --suppress-tags no-copyright-file,no-changelog,malformed-contact "$@" ||
    fail "lintian found errors"
}

package_holds() {  # package_holds DEB PATH...: the package's files are exactly these, under /usr
  local listing expected
  listing=$(dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort)
  expected=$(printf '%s\n' "${@:2}" | sort)
  [ "$listing" = "$expected" ] || fail "$(basename "$1") holds
$listing
and not
$expected"
}

case $mode in
  install)
    install_moved "$build"
    if is_shared; then
      soname=$(readelf -d "$prefix/$libdir/librod_cutting.so" | sed -n 's/.*soname: \[\(.*\)\]/\1/p')
      [ "$soname" = "librod_cutting.so.$major" ] || fail "SONAME is '$soname'"
      exported=$(nm -D --defined-only -C --format=just-symbols "$prefix/$libdir/librod_cutting.so")
      solvers=$'rod_cutting::brute_force_revenue(int const*, int)\nrod_cutting::memoized_revenue(int const*, int*, int)'
      [ "$(sort <<<"$exported")" = "$solvers" ] || fail "exports other than the two solvers: $exported"
    fi
    consumer -DCMAKE_PREFIX_PATH="$prefix" ;;
  pkg-config)
    needs pkg-config pkg-config
    install_moved "$build"
    export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
    read -ra flags < <(pkg-config --cflags --libs rod_cutting)
    read -ra compile <<<"$cxx_flags $warnings"
    read -ra link <<<"$linker_flags"
    quietly g++ "${compile[@]}" "$source/tests/consumer/main.cpp" "${flags[@]}" "${link[@]}" \
      -o "$work/consumer"
    answers "built by g++ alone" env LD_LIBRARY_PATH="$(pkg-config --variable=libdir rod_cutting)" "$work/consumer" ;;
  component)
    install_moved "$build"
    ! configure_consumer -DCMAKE_PREFIX_PATH="$prefix" -Drod_cutting_components="revenue;bogus" \
      >"$work/log" 2>&1 || fail "an unknown component was accepted"
    refusal='rod_cutting has no component "bogus"; its one component is "revenue".'
    grep -qF "$refusal" "$work/log" || { cat "$work/log"; fail "the refusal does not say: $refusal"; }
    echo "refused: $refusal"
    rm -rf "$work/consumer"
    consumer -DCMAKE_PREFIX_PATH="$prefix" -Drod_cutting_components=revenue ;;
  plain)
    quietly cmake -S "$source" -B "$work/plain" -DCMAKE_CXX_COMPILER="$cxx" \
      -DBUILD_SHARED_LIBS="$shared" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
      -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
    quietly cmake --build "$work/plain"
    [ -z "$(find "$work/plain" -name 'rod_cutting_tests*' -o -name 'revenue_bench*')" ] ||
      fail "tests or benchmarks were built"
    install_moved "$work/plain"
    echo "a plain configure without GoogleTest and Google Benchmark built, installed and ran" ;;
  subdirectory)
    consumer -Drod_cutting_source_dir="$source" -DROD_CUTTING_INSTALL=ON
    consumer_moved
    listing=$(files_in "$work/moved")
    holds "$listing" bin/consumer "${library_files[@]}"
    ! grep -qxF -e "${program_files[0]}" -e "${program_files[1]}" <<<"$listing" ||
      fail "our program was installed" ;;
  fetchcontent)
    tar -C "$source" --exclude=./build --exclude=./.git -czf "$work/rod_cutting.tar.gz" .
    consumer -Drod_cutting_archive="$work/rod_cutting.tar.gz"
    consumer_moved
    listing=$(files_in "$work/moved")
    [ "$listing" = "$( (echo bin/consumer; runtime_library "$libdir") | sort)" ] ||
      fail "the parent's install holds more or less than its program and our runtime:
$listing" ;;
  deb)
    needs "dpkg-dev file" dpkg-shlibdeps file
    needs lintian lintian
    quietly cmake -S "$source" --preset package -B "$work/deb" -DCMAKE_CXX_COMPILER="$cxx" \
      -DBUILD_SHARED_LIBS="$shared"
    quietly cmake --build "$work/deb"
    quietly cpack --config "$work/deb/CPackConfig.cmake" -G DEB -B "$work/packages"
    arch=$(dpkg --print-architecture)
    runtime=$work/packages/rod-cutting_${version}_$arch.deb
    development=$work/packages/librod-cutting-dev_${version}_$arch.deb
    multiarch=lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
    mapfile -t runtime_files < <(runtime_library "$multiarch")
    package_holds "$runtime" "${program_files[@]}" "${runtime_files[@]}"
    mapfile -t development_files < <(development_files "$multiarch")
    package_holds "$development" "${development_files[@]}" \
      "$multiarch/cmake/rod_cutting/rod_cuttingTargets-release.cmake"
    depends=""
    if is_shared; then depends="rod-cutting (= $version)"; fi
    [ "$(dpkg-deb -f "$development" Depends)" = "$depends" ] ||
      fail "librod-cutting-dev depends on '$(dpkg-deb -f "$development" Depends)', not '$depends'"
    lint "$runtime" "$development"
    dpkg-deb -x "$runtime" "$work/root"
    LD_LIBRARY_PATH=$work/root/usr/$multiarch bash "$source/tests/cli_test.sh" "$work/root/usr/bin/rod_cutting" plain
    echo "packages $(basename "$runtime") and $(basename "$development") hold what they should" ;;
  apt)
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    ((!${#as_root[@]})) || needs sudo sudo
    needs lintian lintian
    needs pkg-config pkg-config
    dpkg -s rod-cutting >/dev/null 2>&1 && fail "rod-cutting is installed already; purge it first"
    mapfile -t debs < <(realpath "$build"/*.deb)
    lint "${debs[@]}"
    mapfile -t files < <(for deb in "${debs[@]}"; do
      dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }'
    done)
    # A failure below leaves nothing installed.
    trap '"${as_root[@]}" dpkg --purge rod-cutting librod-cutting-dev >/dev/null 2>&1 || true
      rm -rf "$work"' EXIT
    quietly "${as_root[@]}" apt-get install -y "${debs[@]}"
    bash "$source/tests/cli_test.sh" "$(command -v rod_cutting)" plain
    [ "$(man -w rod_cutting)" = /usr/share/man/man1/rod_cutting.1.gz ] || fail "man finds no page"
    # pkg-config leaves out the system folders, and ends its output with a blank.
    read -ra flags < <(pkg-config --cflags rod_cutting)
    [ "${flags[*]}" = "" ] || fail "pkg-config --cflags printed '${flags[*]}', not nothing"
    read -ra flags < <(pkg-config --libs rod_cutting)
    [ "${flags[*]}" = -lrod_cutting ] || fail "pkg-config --libs printed '${flags[*]}'"
    consumer
    quietly "${as_root[@]}" apt-get purge -y rod-cutting librod-cutting-dev
    for file in "${files[@]}"; do [ ! -e "$file" ] || fail "left after purge: $file"; done
    echo "installed, ran, found the man page and the library, and purged ${#files[@]} files" ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
