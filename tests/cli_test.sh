#!/usr/bin/env bash
# The command-line cases: each runs a program one way, then checks its exit
# status and both its streams, byte for byte. A case that cannot run here exits
# 77, which CTest reports as skipped. Scratch goes into the current folder.
# Usage: cli_test.sh --list                      one line a case: name program platform
#        cli_test.sh [--crlf] CASE PROGRAM [EMULATOR...]  (--crlf: Windows' line ends)
set -u
eol=$'\n'
[ "${1-}" != --crlf ] || { eol=$'\r\n'; shift; }
name=${1-} program=${2-}
prog=("${@:3}" "$program")

report="Brute Force : 30${eol}Dynamic Programming : 30${eol}" first="Brute Force : 30${eol}"
cannot_write="rod_cutting: cannot write to standard output: " oom="rod_cutting: out of memory$eol"
enospc="${cannot_write}No space left on device$eol" ebadf="${cannot_write}Bad file descriptor$eol"
enospc_solve="rod_cutting_solve${enospc#rod_cutting}"
epipe="${cannot_write}Broken pipe$eol"

# rod_cutting_solve's texts.
# Each without its line end, which $(...) would drop.
solved() { printf "revenue %s${eol}pieces%s" "$1" "${2:+ $2}"; }
refusal() { printf "rod_cutting_solve: %s" "$1"; }
no_price() { refusal "line $1: not a price: '$2'"; }
bad_length() { refusal "LENGTH must be a whole number from 0 to 1000000, not '$1'"; }
out_of_range() { refusal "line 1: price out of 32-bit range: '$1'"; }
usage=(
  "Usage: rod_cutting_solve [--table] [--] [LENGTH]"
  "Reads the prices of pieces of length 1, 2, 3 and so on from standard input,"
  "and prints the best revenue for a rod of LENGTH, by default as long as the"
  "list, and the pieces of a best cutting."
  ""
  "  --table    print each length's best revenue and first piece instead"
  "  --help     print this help and exit"
  "  --version  print the version and exit"
  ""
  "Prices are whole numbers within 32 bits, apart by blanks, tabs or line ends;"
  "'#' starts a comment that ends with its line. Lengths past the list fetch 0."
  "LENGTH is at most 1000000. Exit status: 0 for an answer, 2 for bad input or"
  "usage, 1 when the output cannot be written or memory runs out.")
printf -v help "%s$eol" "${usage[@]}"
printf -v table "%s$eol" "length revenue first_piece" "1 1 1" "2 5 2" "3 8 3" "4 10 2"

# The table. A row: name, the program it runs (a CMake target, or README's
# example), where it runs (any: also under an emulator; package: only in the
# package tests), exit status, standard output, standard error, then how it
# runs: a function below and its arguments.
rows() {
  row plain           rod_cutting           any   0   "$report" ""         run
  row arguments       rod_cutting           any   0   "$report" ""         run --help -x 10 '' 'two words'
  row empty-env       rod_cutting           linux 0   "$report" ""         run_in env -i
  row memcheck        rod_cutting           linux 0   "$report" ""         memcheck
  row dev-full        rod_cutting           linux 1   ""        "$enospc"  writing_to /dev/full
  row closed          rod_cutting           linux 1   ""        "$ebadf"   closed
  row read-only       rod_cutting           linux 1   ""        "$ebadf"   read_only
  row broken-pipe     rod_cutting           linux 1   ""        "$epipe"   broken_pipe --ignore-signal=PIPE
  row sigpipe         rod_cutting           linux 141 ""        ""         broken_pipe --default-signal=PIPE
  row second-line     rod_cutting           linux 1   "$first"  "$enospc"  second_line
  row real-exhaustion rod_cutting           linux 1   "$first"  "$oom"     real_exhaustion
  row no-memory       rod_cutting_no_memory linux 1   "$first"  "$oom"     without_memory run
  row example         example               package 0 "10 10${eol}10 = 2 + 2${eol}" "" run
  # rod_cutting_solve: a price list on standard input (printf's %b), then arguments.
  row solve-list      rod_cutting_solve     any   0 "$(solved 30 10)$eol" ""   given '1 5 8 9 10 17 17 20 24 30\n'
  row solve-longer    rod_cutting_solve     any   0 "$(solved 18 '2 2 3')$eol" "" given '1 5 8 9  # lengths 1 to 4\n' 7
  row solve-shorter   rod_cutting_solve     any   0 "$(solved 5 2)$eol" ""   given '1 5 8 -9' 2
  row solve-zero      rod_cutting_solve     any   0 "$(solved 0)$eol" ""     given '' 0
  row solve-scrap     rod_cutting_solve     any   0 "$(solved 0 '1 1 1')$eol" "" given '' -- 3
  row solve-tokens    rod_cutting_solve     any   0 "$(solved 21 '1 1 1')$eol" "" given '007\r\n\t-0#x\n9'
  row solve-table     rod_cutting_solve     any   0 "$table" ""         given '1 5 8 9' --table
  row solve-help      rod_cutting_solve     any   0 "$help" ""          given 'x' 7 --bogus --help
  row solve-version   rod_cutting_solve     any   0 "rod_cutting_solve ${version-}$eol" "" given 'x' --version
  row solve-letter    rod_cutting_solve     any   2 "" "$(no_price 1 x)$eol" given '1 x 3'
  row solve-past      rod_cutting_solve     any   2 "" "$(no_price 2 1e3)$eol" given '1 5\n1e3' 1
  row solve-decimal   rod_cutting_solve     any   2 "" "$(no_price 3 1.5)$eol" given '1\n2\n1.5'
  row solve-plus      rod_cutting_solve     any   2 "" "$(no_price 1 +5)$eol" given '+5'
  row solve-minus     rod_cutting_solve     any   2 "" "$(no_price 1 -)$eol" given '1 - 2'
  row solve-dashes    rod_cutting_solve     any   2 "" "$(no_price 1 --)$eol" given '--'
  row solve-binary    rod_cutting_solve     any   2 "" "$(no_price 1 '\xFF\x1B[2J\x5C')$eol" given '\xff\x1b[2J\x5c'
  row solve-long      rod_cutting_solve     any   2 "" "$(refusal "line 1: not a price: 'abcdefghijklmnopqrst'...")$eol" given 'abcdefghijklmnopqrstuvwxyz'
  row solve-high      rod_cutting_solve     any   2 "" "$(out_of_range 2147483648)$eol" given '2147483648'
  row solve-low       rod_cutting_solve     any   2 "" "$(out_of_range -2147483649)$eol" given '-2147483649'
  row solve-nothing   rod_cutting_solve     any   2 "" "$(refusal 'no prices on standard input, and no LENGTH')$eol" given ' # none'
  row solve-negative  rod_cutting_solve     any   2 "" "$(bad_length -3)$eol" given '1 2' -3
  row solve-letters   rod_cutting_solve     any   2 "" "$(bad_length abc)$eol" given '1 2' abc
  row solve-longest   rod_cutting_solve     any   2 "" "$(bad_length 1000001)$eol" given '1 2' 1000001
  row solve-two       rod_cutting_solve     any   2 "" "$(refusal "more than one LENGTH: '7' and '8'")$eol" given '1' 7 8
  row solve-option    rod_cutting_solve     any   2 "" "$(refusal "unknown option '-x' (see --help)")$eol" given '1' -x
  row solve-sums      rod_cutting_solve     any   2 "" "$(refusal 'the price of length 2, -1000000000, is too large to add up for a rod of 10: at most 429496729')$eol" given '1 -1000000000 3' 10
  row solve-lowest    rod_cutting_solve     any   2 "" "$(refusal 'the price of length 1, -2147483648, is too large to add up for a rod of 1: at most 2147483647')$eol" given '-2147483648'
  row solve-dev-full  rod_cutting_solve     linux 1 "" "$enospc_solve"    given_to /dev/full '1 2'
  row solve-help-full rod_cutting_solve     linux 1 "" "$enospc_solve"    given_to /dev/full '' --help
  row solve-too-many  rod_cutting_solve     any   2 "" "$(refusal 'more than 1000000 prices: give a LENGTH')$eol" many 1000001
  row solve-as-many   rod_cutting_solve     any   0 "$(solved 0 1)$eol" ""  many 1000001 1
  row solve-empty-arg rod_cutting_solve     any   2 "" "$(bad_length '')$eol" given '1' ''
  row solve-no-memory rod_cutting_solve_no_memory linux 1 "" "$(refusal 'out of memory')$eol" without_memory given '1 2'
}

dir=$PWD/cli_test.$name.$$ out=$dir/out err=$dir/err failed=0
# A program that writes without end dies of SIGXFSZ at 64 MiB.
ulimit -f $((64 * 1024))

end() { rm -rf "$dir"; exit "$1"; }
skip() { echo "skipped: $1"; end 77; }
carries() { nm "$program" 2>/dev/null | grep -qE " ($1)\$"; }
no_asan() { ! carries __asan_init || skip "$1"; }
no_emulator() { ((${#prog[@]} == 1)) || skip "$1 (run by ${prog[0]})"; }

# The setups. Each runs the program with its standard error into $err, and its
# standard output into $out unless it means to send it elsewhere.
run() { "${prog[@]}" "$@" >"$out" 2>"$err"; }
run_in() { "$@" "${prog[@]}" >"$out" 2>"$err"; }
writing_to() { "${prog[@]}" >"$1" 2>"$err"; }
closed() { "${prog[@]}" >&- 2>"$err"; }
read_only() { "${prog[@]}" 1</dev/null 2>"$err"; }
without_memory() { no_asan "AddressSanitizer's malloc cannot be replaced"; "$@"; }
given() { printf '%b' "$1" | "${prog[@]}" "${@:2}" >"$out" 2>"$err"; }
given_to() { printf '%b' "$2" | "${prog[@]}" "${@:3}" >"$1" 2>"$err"; }
many() { yes 0 | head -n "$1" | "${prog[@]}" "${@:2}" >"$out" 2>"$err"; }  # many COUNT ARG...

memcheck() {
  no_asan "valgrind cannot run a program built with AddressSanitizer"
  no_emulator "valgrind cannot run a program under an emulator"
  command -v valgrind >/dev/null || skip "valgrind is missing; bash .ci/need valgrind"
  ! readelf -p .comment "$program" 2>/dev/null | grep -q clang ||
    skip "valgrind 3.19 cannot read the debug information clang 14 writes"
  run_in valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect
  local status=$?
  # Such as an i386 program without the loader's symbols (libc6-dbg:i386).
  local fatal soname
  fatal=$(sed -n 's/.*Fatal error at startup: *//p' "$err")
  soname=$(sed -n 's/.*with soname matching: *//p' "$err" | head -1)
  [ -z "$soname" ] || soname=" in $soname, whose symbols it needs (libc6-dbg for that architecture)"
  [ -z "$fatal" ] || skip "valgrind cannot start it: $fatal$soname"
  return $status
}

# Writes into a pipe whose reader has gone; the fifo holds the writer back
# until the reader has closed its end.
broken_pipe() {  # broken_pipe SIGNAL_OPTION
  mkfifo "$dir/gone"
  { read -r <"$dir/gone"; env "$1" "${prog[@]}" 2>"$err"; echo $? >"$dir/status"; } |
    { exec 0<&-; echo >"$dir/gone"; }
  return "$(<"$dir/status")"
}

# Fails the second write; the error line must then reach standard error whole.
second_line() {
  no_asan "LeakSanitizer cannot run under strace"
  strace -o /dev/null true 2>/dev/null || skip "strace is missing or cannot trace"
  run_in strace -o "$dir/trace" -e trace=write -e inject=write:error=ENOSPC:when=2
  local status=$? writes
  writes=$(grep -c '^write(2,' "$dir/trace")
  [ "$writes" -eq 1 ] || { echo "the error line took $writes writes"; failed=1; }
  return $status
}

under_limit() { (ulimit -v "$1" && exec "${prog[@]}") >"$out" 2>"$err"; }

# Finds the smallest address space in which the program completes, then runs
# it in each of 100 smaller ones, a page apart. Each run must fail in the
# loader (status 127, nothing written), complete, or end as the row says; at
# least one must end as the row says, and the last such run is the one checked.
real_exhaustion() {
  no_asan "the sanitizers' runtime cannot run in a limited address space"
  no_emulator "ulimit -v would limit the emulator's memory, not the program's"
  ! carries __gcov_init || skip "the coverage runtime cannot run in a limited address space"
  local low=1024 high=$((1024 * 1024)) limit status unstarted=0 complete=0 exhausted=0
  under_limit "$high" || { echo "does not complete in $high KiB"; return 0; }
  while ((high - low > 4)); do
    limit=$(((low + high) / 2))
    if under_limit "$limit"; then high=$limit; else low=$limit; fi
  done
  for ((limit = high - 4; limit > high - 404; limit -= 4)); do
    under_limit "$limit"; status=$?
    if ((status == 127)) && [ ! -s "$out" ]; then
      unstarted=$((unstarted + 1))
    elif ended_as 0 "$report" ""; then
      complete=$((complete + 1))
    elif ended_as "$want_status" "$want_out" "$want_err"; then
      exhausted=$((exhausted + 1))
      cp "$out" "$dir/kept.out" && cp "$err" "$dir/kept.err"
    else
      echo "under $limit KiB:"
      return "$status"
    fi
  done
  echo "completes from $high KiB; below it, 100 runs: $unstarted never started," \
    "$complete complete, $exhausted out of memory"
  ((exhausted)) || return 0
  mv "$dir/kept.out" "$out" && mv "$dir/kept.err" "$err"
  return "$want_status"
}

same() { cmp -s "$1" <(printf '%s' "$2"); }
ended_as() { [ "$status" -eq "$1" ] && same "$out" "$2" && same "$err" "$3"; }

# Shows what a stream held, if not what it should: its size, and its first
# 500 bytes as lines beside those expected.
compare() {  # compare STREAM FILE EXPECTED
  same "$2" "$3" && return
  echo "$1: expected ${#3} bytes, got $(wc -c <"$2") (a line feed shows as \$, a CR as ^M):"
  printf %s "$3" | lines "expected:"
  lines "got:     " <"$2"
  failed=1
}
lines() {  # lines LABEL < STREAM
  head -c 500 | cat -A | while IFS= read -r line || [ -n "$line" ]; do echo "  $1 $line"; done
}

row() {  # row NAME PROGRAM PLATFORM STATUS OUT ERR SETUP [ARG...]
  if [ "$name" = --list ]; then echo "$1 $2 $3"; return; fi
  [ "$1" = "$name" ] || return 0
  want_status=$4 want_out=$5 want_err=$6
  rm -rf "$dir" && mkdir "$dir" && : >"$out"
  "${@:7}"
  status=$?
  ((status == want_status)) || { echo "exit status $status, expected $want_status"; failed=1; }
  compare "standard output" "$out" "$want_out"
  compare "standard error" "$err" "$want_err"
  end "$failed"
}

rows
[ "$name" = --list ] || { echo "unknown case '$name'" >&2; exit 2; }
