#!/usr/bin/env bash
# Counts the instructions of a whole run of the program and of a program that
# only prints the same report, and fails if the program costs more than 2%
# above that floor. The goal is for a static build: a shared one also loads
# the library, which the floor does not.
# Usage: process_cost.sh PROGRAM MINIMAL_PROGRAM static|shared
set -euo pipefail
program=$1
minimal=$2
if [ "$3" != static ]; then
  echo "process_cost.sh: skipped: the goal is for a static build, and this one is $3"
  exit 0
fi

command -v valgrind >/dev/null ||
  { echo "process_cost.sh: valgrind is missing; install it with: bash .ci/need valgrind"; exit 1; }

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

ours=$(instructions "$program")
floor=$(instructions "$minimal")
ratio=$(awk -v a="$ours" -v b="$floor" 'BEGIN { printf "%.4f", a / b }')
printf 'rod_cutting      %12d instructions\n' "$ours"
printf 'minimal report   %12d instructions\n' "$floor"
printf 'ratio            %12s (goal: at most 1.02)\n' "$ratio"
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.02) }'
