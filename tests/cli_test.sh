#!/usr/bin/env bash
# Runs the built program one way and checks its exact standard output,
# standard error and exit status. Exits 77 where the case cannot run here.
# Usage: cli_test.sh PROGRAM CASE
set -u
prog=$1
case_name=$2

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

report=$'Brute Force : 30\nDynamic Programming : 30\n'
first_line=$'Brute Force : 30\n'
cannot_write='rod_cutting: cannot write to standard output: '
out_of_memory=$'rod_cutting: out of memory\n'

skip() { echo "skipped: $1"; exit 77; }
carries() { nm "$prog" 2>/dev/null | grep -qE " ($1)\$"; }

# Writes into a pipe whose reader has gone; the fifo holds the writer back
# until the reader has closed its end.
broken_pipe() {  # broken_pipe SIGNAL_OPTION
  mkfifo "$dir/gone"
  { read -r <"$dir/gone"; env "$1" "$prog" 2>"$dir/err"; echo $? >"$dir/status"; } |
    { exec 0<&-; echo >"$dir/gone"; }
  return "$(<"$dir/status")"
}

under_limit() {  # under_limit KIB: the program in an address space of KIB
  (ulimit -v "$1" && exec "$prog") >"$dir/out" 2>"$dir/err"
}

# ended_as STATUS OUT ERR: the last run ended with exactly these.
ended_as() {
  [ "$status" -eq "$1" ] && cmp -s "$dir/out" <(printf '%s' "$2") &&
    cmp -s "$dir/err" <(printf '%s' "$3")
}

# Finds the smallest address space in which the program completes, then runs
# it in each of 100 smaller ones, a page apart. Every run must end in one of
# the three ways below, and at least one must run out of memory.
real_exhaustion() {
  local low=1024 high=$((1024 * 1024)) limit
  under_limit "$high" || { echo "does not complete in $high KiB"; return 1; }
  while ((high - low > 4)); do
    limit=$(((low + high) / 2))
    if under_limit "$limit"; then high=$limit; else low=$limit; fi
  done
  local unstarted=0 complete=0 exhausted=0
  for ((limit = high - 4; limit > high - 404; limit -= 4)); do
    under_limit "$limit"
    status=$?
    if [ "$status" -eq 127 ] && [ ! -s "$dir/out" ]; then
      unstarted=$((unstarted + 1))
    elif ended_as 0 "$report" ""; then
      complete=$((complete + 1))
    elif ended_as 1 "$first_line" "$out_of_memory"; then
      exhausted=$((exhausted + 1))
    else
      echo "under $limit KiB: exit status $status, standard output and error:"
      cat "$dir/out" "$dir/err"
      return 1
    fi
  done
  echo "completes from $high KiB; below it, 100 runs: $unstarted never started," \
    "$complete complete, $exhausted out of memory"
  ((exhausted > 0))
}

case $case_name in
  no-memory) carries __asan_init && skip "AddressSanitizer's malloc cannot be replaced" ;;
  real-exhaustion)
    carries '__asan_init|__gcov_init' &&
      skip "the sanitizer and coverage runtimes cannot run in a limited address space" ;;
  second-line)
    carries __asan_init && skip "LeakSanitizer cannot run under strace"
    strace -o /dev/null true 2>/dev/null || skip "strace is missing or cannot trace" ;;
esac

touch "$dir/out"
case $case_name in
  plain | no-memory) "$prog" >"$dir/out" 2>"$dir/err" ;;
  arguments)   "$prog" --help -x 10 '' 'two words' >"$dir/out" 2>"$dir/err" ;;
  empty-env)   env -i "$prog" >"$dir/out" 2>"$dir/err" ;;
  dev-full)    "$prog" >/dev/full 2>"$dir/err" ;;
  closed)      "$prog" >&- 2>"$dir/err" ;;
  read-only)   "$prog" 1</dev/null 2>"$dir/err" ;;
  broken-pipe) broken_pipe --ignore-signal=PIPE ;;
  sigpipe)     broken_pipe --default-signal=PIPE ;;
  memcheck)
    valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
      "$prog" >"$dir/out" 2>"$dir/err" ;;
  second-line)
    strace -o "$dir/trace" -e trace=write -e inject=write:error=ENOSPC:when=2 \
      "$prog" >"$dir/out" 2>"$dir/err" ;;
  real-exhaustion) real_exhaustion; exit ;;
  *) echo "unknown case $case_name" >&2; exit 2 ;;
esac
status=$?

case $case_name in
  plain | arguments | empty-env | memcheck) want=(0 "$report" "") ;;
  dev-full)    want=(1 "" "${cannot_write}No space left on device"$'\n') ;;
  closed | read-only) want=(1 "" "${cannot_write}Bad file descriptor"$'\n') ;;
  broken-pipe) want=(1 "" "${cannot_write}Broken pipe"$'\n') ;;
  sigpipe)     want=(141 "" "") ;;
  second-line) want=(1 "$first_line" "${cannot_write}No space left on device"$'\n') ;;
  no-memory)   want=(1 "$first_line" "$out_of_memory") ;;
esac

# Shows a stream's expected and actual bytes, and where they part.
differs() {  # differs NAME FILE EXPECTED
  printf '%s' "$3" >"$dir/expected"
  cmp -s "$dir/expected" "$2" && return
  local same
  same=$(cmp "$dir/expected" "$2" 2>&1 | sed -n 's/.*differ: byte \([0-9]*\).*/\1 - 1/p
    s/.*EOF on .* after byte \([0-9]*\).*/\1/p; s/.*EOF on .* which is empty.*/0/p')
  echo "$1: expected $(wc -c <"$dir/expected") bytes, got $(wc -c <"$2");" \
    "the first $((same)) are the same"
  echo "  expected:"; od -An -c "$dir/expected"
  echo "  actual:"; od -An -c "$2"
}

fail=0
ended_as "${want[@]}" || {
  [ "$status" -eq "${want[0]}" ] || echo "exit status $status, expected ${want[0]}"
  differs "standard output" "$dir/out" "${want[1]}"
  differs "standard error" "$dir/err" "${want[2]}"
  fail=1
}
# An error line reaches standard error whole, in one write.
if [ "$case_name" = second-line ]; then
  writes=$(grep -c '^write(2,' "$dir/trace")
  [ "$writes" -eq 1 ] || { echo "the error line took $writes writes"; fail=1; }
fi
exit "$fail"
