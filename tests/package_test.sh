#!/usr/bin/env bash
# The package checks that need a script. CMake runs each mode as a test, in a
# folder of the build tree, and tells it in the environment what each component
# installs ($runtime, the program first, then $library and $development, under
# $prefix where relative), $version, $nm, $objdump, the Debian $architecture,
# the packages that are $multi_arch, and the $symbols file. Exits 77 without a tool.
# Usage: package_test.sh install BUILD STAGE   installs BUILD into STAGE as DESTDIR does; checks it
#        package_test.sh parent PREFIX 'FILE...'   checks that a parent's install holds the FILEs
#        package_test.sh deb BUILD [EMULATOR...] | zip BUILD   packs BUILD here; checks that
#        package_test.sh lint DEB...   lintian, with the tags that need the owner's word let through
# shellcheck disable=SC2154  # $prefix, $version and the rest come from the environment
set -euo pipefail
mode=$1
here=$(dirname "$(realpath "$0")")
read -ra runtime <<<"${runtime-}"
read -ra library <<<"${library-}"
read -ra development <<<"${development-}"
# The functions' symbols, sorted, as the Debian symbols file lists them.
functions=$(sed -n 's/^ \([^@]*\)@Base .*/\1/p' "${symbols-/dev/null}" | LC_ALL=C sort | paste -sd' ')

fail() { echo "$mode: $*"; exit 1; }
expect() { [ "$2" = "$3" ] || fail "$1 '$2', not '$3'"; }  # expect WHAT GOT WANTED
skip() { echo "skipped: $*"; exit 77; }
quietly() { local log; log=$("$@" 2>&1) || { echo "$log"; fail "failed: $*"; }; }

# Paths, each listed under PREFIX where it lies there, and an export file's
# build type as CONFIG.
as_listed() { sed "s|^$1/||; s|Targets-[a-z]*\.cmake\$|Targets-CONFIG.cmake|" | sort; }
# files_below ROOT PREFIX
files_below() { (cd "$1" && find . ! -type d) | sed 's|^\.||' | as_listed "$2"; }
holds_exactly() {  # holds_exactly WHAT LISTING FILE...
  local want extra lacking
  want=$(printf '%s\n' "${@:3}" | as_listed "${prefix-}")
  extra=$(comm -23 <(echo "$2") <(echo "$want") | paste -sd' ')
  lacking=$(comm -13 <(echo "$2") <(echo "$want") | paste -sd' ')
  [ -z "$extra$lacking" ] || fail "$1 holds more [$extra] and lacks [$lacking]"
}
staged() { case $1 in /*) echo "$stage$1" ;; *) echo "$stage$prefix/$1" ;; esac; }

# The functions a shared library exports; the DLLs a Windows program or DLL needs.
exports() {
  if [[ $1 == *.dll ]]; then
    "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p'
  else
    "$nm" -D --defined-only --format=just-symbols "$1"
  fi | LC_ALL=C sort | paste -sd' '
}
dlls() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | LC_ALL=C sort | paste -sd' '; }

# lintian lets through only the errors that need the owner's word: a licence,
# release notes, a mail address. Its scratch, which it leaves, stays here.
lint() {
  rm -rf lintian && mkdir lintian
  TMPDIR=$PWD/lintian lintian --fail-on error \
    --suppress-tags no-copyright-file,no-changelog,malformed-contact "$@" || fail "lintian found errors"
}
deb_files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print substr($6, 2) }' | as_listed /usr; }

case $mode in
  install)
    build=$2 stage=$3
    rm -rf "$stage" "$stage".*
    for component in runtime library development; do
      DESTDIR=$stage.$component quietly cmake --install "$build" --component rod_cutting_$component
      declare -n listed=$component
      holds_exactly "the $component component" "$(files_below "$stage.$component" "$prefix")" \
        "${listed[@]}"
    done
    DESTDIR=$stage quietly cmake --install "$build"
    listing=$(files_below "$stage" "$prefix")
    holds_exactly "the install" "$listing" "${runtime[@]}" "${library[@]}" "${development[@]}"
    # What the manifest lists is what README's uninstall removes.
    [ "$(sed "s|^$stage||" "$build/install_manifest.txt" | as_listed "$prefix")" = "$listing" ] ||
      fail "install_manifest.txt does not list what was installed"
    pc=$(sed -n 's/^Version: //p' "$(staged "$(printf '%s\n' "${development[@]}" | grep '\.pc$')")")
    expect "the .pc file says version" "$pc" "$version"
    for page in "${runtime[@]}"; do
      [[ $page == *.1.gz ]] || continue
      expect "$page says version" "$(gzip -dc "$(staged "$page")" |
        sed -n '1s/^\.TH .* "rod_cutting \([^"]*\)".*/\1/p')" "$version"
    done
    if ((${#library[@]})); then
      expect "the library exports" "$(exports "$(staged "${library[0]}")")" "$functions"
      [[ ${library[0]} == *.dll ]] || expect "the library's SONAME is" "$("$objdump" -p \
        "$(staged "${library[0]}")" | awk '$1 == "SONAME" { print $2 }')" "${library[0]##*/}"
    fi
    # Windows programs carry the compiler's runtime: they need only the system's DLLs, and ours.
    for file in "${runtime[0]}" "${library[@]}"; do
      [[ $file == *.exe || $file == *.dll ]] || continue
      [[ "$(dlls "$(staged "$file")")" =~ ^KERNEL32.dll( librod_cutting.dll)?\ msvcrt.dll$ ]] ||
        fail "$file needs $(dlls "$(staged "$file")")"
    done ;;
  parent)
    read -ra files <<<"$3"
    holds_exactly "the parent's install" "$(files_below "$2" "")" "${files[@]}" ;;
  deb)
    for tool in dpkg-shlibdeps dpkg-gensymbols file lintian; do
      command -v $tool >/dev/null || skip "$tool is missing; bash .ci/need dpkg-dev file lintian"
    done
    [ "$architecture" = "$(dpkg --print-architecture)" ] || dpkg-query -W "libc6:$architecture" \
      >/dev/null 2>&1 || skip "dpkg-shlibdeps reads the target's own libraries;" \
      "bash .ci/need libc6:$architecture libstdc++6:$architecture"
    rm -rf deb root && quietly cpack --config "$2/CPackConfig.cmake" -G DEB -B deb
    # Each package: its name, what it holds, and whether it is Multi-Arch.
    lib=librod-cutting${version%%.*} uses_lib=""
    packages=(rod-cutting librod-cutting-dev)
    if ((${#library[@]})); then packages+=("$lib") uses_lib="$lib (= $version)"; fi
    declare -A holds=([rod-cutting]=runtime [librod-cutting-dev]=development [$lib]=library)
    synopses=()
    for package in "${packages[@]}"; do
      deb=deb/${package}_${version}_$architecture.deb
      [ -f "$deb" ] || fail "no $deb; cpack wrote: $(ls deb)"
      declare -n held=${holds[$package]}
      holds_exactly "$package" "$(deb_files "$deb")" "${held[@]}"
      same=no
      [[ " $multi_arch " != *" $package "* ]] || same=same
      expect "$package's Multi-Arch is" "$(dpkg-deb -f "$deb" Multi-Arch)" "$same"
      # Read whole: cut short, dpkg-deb would leave its scratch in $TMPDIR.
      synopses+=("$(dpkg-deb -f "$deb" Description | sed -n 1p)")
      dpkg-deb -x "$deb" root
    done
    # The program and the development files need the library's package of this version.
    expect "librod-cutting-dev depends on" "$(dpkg-deb -f deb/librod-cutting-dev_*.deb Depends)" \
      "$uses_lib"
    depends=$(dpkg-deb -f deb/rod-cutting_*.deb Depends)
    [[ $depends == "$uses_lib"* ]] || fail "rod-cutting depends on '$depends', not first '$uses_lib'"
    [ "$(printf '%s\n' "${synopses[@]}" | sort -u | wc -l)" = ${#packages[@]} ] ||
      fail "packages share a synopsis: ${synopses[*]}"
    # Every ELF file is of the class and machine that Architecture names.
    case $architecture in
      amd64) elf="ELF 64-bit LSB .*x86-64" ;;
      arm64) elf="ELF 64-bit LSB .*ARM aarch64" ;;
      i386) elf="ELF 32-bit LSB .*Intel 80386" ;;
      *) fail "no ELF machine known for $architecture" ;;
    esac
    while IFS= read -r -d '' file; do
      kind=$(file -b "$file")
      [[ $kind != ELF* || $kind =~ $elf ]] || fail "$architecture's ${file#root} is $kind"
    done < <(find root -type f -print0)
    if ((${#library[@]})); then
      # The symbols file lists what the library exports, each with its version.
      dpkg-deb -I "deb/${lib}_${version}_$architecture.deb" symbols >packaged.symbols
      TMPDIR=$PWD quietly dpkg-gensymbols -v"$version" -p"$lib" -Proot -e"root/usr/${library[1]}" \
        -Ipackaged.symbols -O/dev/null -c4
    fi
    lint deb/*.deb
    # The packaged program runs with the packaged library.
    LD_LIBRARY_PATH=$PWD/root/usr/$(dirname "${library[0]-.}") bash "$here/cli_test.sh" plain \
      "root/usr/${runtime[0]}" "${@:3}" ;;
  zip)
    rm -rf zip && quietly cpack --config "$2/CPackConfig.cmake" -B zip
    name=rod_cutting-$version-win64
    expect "cpack wrote" "$(find zip -maxdepth 1 -type f -printf '%f ')" "$name.zip "
    listing=$(cmake -E tar tf "zip/$name.zip" | sed -n "s|^$name/\(.*[^/]\)\$|/\1|p" | as_listed "")
    holds_exactly "$name.zip" "$listing" "${runtime[@]}" "${library[@]}" "${development[@]}" ;;
  lint) lint "${@:2}" ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
