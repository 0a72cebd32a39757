#!/usr/bin/env bash
# Draws time against length for the three solvers, and beside the bottom-up
# one the plain one-scan loop (random prices), on log scales, from the
# benchmark's JSON output into bench/revenue.svg.
# Usage: bench/plot.sh [BENCHMARK_JSON]
# Without a file it runs the bench workflow first, which runs the benchmarks once.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "plot.sh: rewrites bench/revenue.svg, which git tracks"
for tool in gnuplot jq; do
  command -v "$tool" >/dev/null ||
    { echo "plot.sh: $tool is missing; install it with: bash .ci/need gnuplot-nox jq"; exit 1; }
done

json=${1:-build/bench/bench/revenue_bench.json}
if [ $# -eq 0 ]; then
  echo "plot.sh: building and running the benchmarks"
  cmake --workflow --preset bench
fi

mkdir -p build/bench
data=build/bench/revenue.dat
# One block per solver, blank lines between, as gnuplot's "index" expects.
for solver in brute_force memoized bottom_up; do
  jq -r --arg s "$solver" '.benchmarks[]
    | select(.run_type == "iteration" and (.name | startswith($s + "/")))
    | "\(.name | split("/")[1]) \(.real_time)"' "$json"
  printf '\n\n'
done >"$data"
# The rows that time bottom-up beside the plain loop hold the plain loop's time as a counter.
for time in .plain_ms*1e6 .real_time; do
  jq -r '.benchmarks[] | select(.run_type == "iteration")
    | select(.name | startswith("bottom_up_vs_plain/random/"))
    | "\(.name | split("/")[2]) \('"$time"')"' "$json"
  printf '\n\n'
done >>"$data"

gnuplot <<GNUPLOT
set terminal svg size 720,440 dynamic font "sans,12"
set output "bench/revenue.svg"
set title "Time to solve a rod of length n"
set xlabel "length n"
set ylabel "time per solve (ns)"
set logscale xy
set format y "10^{%T}"
set grid
set key bottom right
plot "$data" index 0 with linespoints pt 7 title "exhaustive (2^n calls)", \
     "$data" index 1 with linespoints pt 5 title "memoized (1 + n(n+1)/2 calls)", \
     "$data" index 2 with linespoints pt 9 title "bottom-up (n(n+1)/2 steps)", \
     "$data" index 3 with linespoints pt 11 title "plain one-scan loop, random prices", \
     "$data" index 4 with linespoints pt 13 title "bottom-up beside it"
GNUPLOT
echo "wrote bench/revenue.svg"
