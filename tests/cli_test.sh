#!/usr/bin/env bash
# Runs the built program one way and checks its exact output, standard error
# and exit status.
# Usage: cli_test.sh PROGRAM CASE
set -u
prog=$1
case_name=$2

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
report=$'Brute Force : 30\nDynamic Programming : 30\n'
no_output=""

case $case_name in
  plain)      "$prog" >"$dir/out" 2>"$dir/err" ;;
  arguments)  "$prog" --help -x 10 '' 'two words' >"$dir/out" 2>"$dir/err" ;;
  empty-env)  env -i "$prog" >"$dir/out" 2>"$dir/err" ;;
  dev-full)   "$prog" >/dev/full 2>"$dir/err" ;;
  closed)     "$prog" >&- 2>"$dir/err" ;;
  no-memory)  "$prog" >"$dir/out" 2>"$dir/err" ;;
  *) echo "unknown case $case_name" >&2; exit 2 ;;
esac
status=$?

case $case_name in
  plain | arguments | empty-env)
    want_status=0 want_out=$report want_err=$no_output ;;
  dev-full | closed)
    want_status=1 want_out="" want_err='^rod_cutting: cannot write to standard output(: [^\n]+)?\n$' ;;
  no-memory)
    want_status=1 want_out=$'Brute Force : 30\n' want_err=$'rod_cutting: out of memory\n' ;;
esac

fail=0
if [ "$status" -ne "$want_status" ]; then
  echo "exit status $status, expected $want_status"; fail=1
fi
if [ -e "$dir/out" ] && ! cmp -s "$dir/out" <(printf '%s' "$want_out"); then
  echo "standard output differs:"; od -c "$dir/out"; fail=1
fi
err=$(cat "$dir/err"; printf x)
err=${err%x}
if [[ $want_err == ^* ]]; then
  # Exactly one line matching the pattern.
  [ "$(printf '%s' "$err" | wc -l)" -eq 1 ] && [[ $err =~ ${want_err//\\n/$'\n'} ]] || {
    echo "standard error is not one matching line:"; printf '%s' "$err"; fail=1; }
elif [ "$err" != "$want_err" ]; then
  echo "standard error differs:"; printf '%s' "$err"; fail=1
fi
exit "$fail"
