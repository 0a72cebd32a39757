// Why the memoized and bottom-up solvers exist: the exhaustive one doubles its
// work with every unit of length, the other two grow with its square. And what
// the bottom-up solver's vector code gains over the plain one-scan loop. Items
// processed are the exhaustive and memoized solvers' calls, and the bottom-up
// solver's steps, n(n+1)/2.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "rod_cutting/revenue.hpp"

// bench/plain_loop.cpp: bottom_up_revenue()'s tables, one candidate at a time.
std::int32_t plain_loop(const std::int32_t* prices, std::int32_t* revenue,
                        std::int32_t* first_piece, std::int32_t n);

namespace {

using rod_cutting::neg_infinity;

constexpr std::int64_t longest_exhaustive = 24;
constexpr std::int64_t shortest_doubling = 32;
constexpr std::int64_t longest_quadratic = 4096;

constexpr std::array<std::int32_t, rod_cutting::max_length + 1> built_in_prices{
    0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};

// Non-negative prices below 100, so even 4096 pieces sum far below 2^31. The
// generator's default seed gives every run the same table.
constexpr std::int32_t price_ceiling = 100;

std::vector<std::int32_t> generated_prices(std::int64_t n) {
  std::minstd_rand engine;
  std::uniform_int_distribution<std::int32_t> price(0, price_ceiling - 1);
  std::vector<std::int32_t> prices(static_cast<std::size_t>(n) + 1, 0);
  std::generate(prices.begin() + 1, prices.end(), [&] { return price(engine); });
  return prices;
}

std::int64_t brute_force_calls(std::int64_t n) { return std::int64_t{1} << n; }
std::int64_t memoized_calls(std::int64_t n) { return 1 + n * (n + 1) / 2; }
std::int64_t bottom_up_steps(std::int64_t n) { return n * (n + 1) / 2; }

void run_brute_force(benchmark::State& state, const std::int32_t* prices, std::int64_t n) {
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the timing loop's idiom
    benchmark::DoNotOptimize(
        rod_cutting::brute_force_revenue(prices, static_cast<std::int32_t>(n)));
  }
  state.SetItemsProcessed(state.iterations() * brute_force_calls(n));
}

// Pausing the timer costs more than a whole solve at short lengths, so fresh
// tables are prepared a batch at a time, untimed, and then solved.
void run_memoized(benchmark::State& state, const std::int32_t* prices, std::int64_t n) {
  const auto entries = static_cast<std::size_t>(n) + 1;
  const auto batch = std::max<std::size_t>(1, (std::size_t{1} << 16) / entries);
  std::vector<std::int32_t> memo(batch * entries);
  while (state.KeepRunningBatch(static_cast<benchmark::IterationCount>(batch))) {
    state.PauseTiming();
    std::fill(memo.begin(), memo.end(), neg_infinity);
    state.ResumeTiming();
    for (std::size_t table = 0; table < batch; ++table) {
      benchmark::DoNotOptimize(rod_cutting::memoized_revenue(prices, memo.data() + table * entries,
                                                             static_cast<std::int32_t>(n)));
    }
  }
  state.SetItemsProcessed(state.iterations() * memoized_calls(n));
}

// Its tables need no preparing, so one pair serves every solve.
void run_bottom_up(benchmark::State& state, const std::int32_t* prices, std::int64_t n) {
  std::vector<std::int32_t> revenue(static_cast<std::size_t>(n) + 1);
  std::vector<std::int32_t> first_piece(revenue.size());
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the timing loop's idiom
    benchmark::DoNotOptimize(rod_cutting::bottom_up_revenue(
        prices, revenue.data(), first_piece.data(), static_cast<std::int32_t>(n)));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * bottom_up_steps(n));
}

void brute_force(benchmark::State& state) {
  const auto prices = generated_prices(state.range(0));
  run_brute_force(state, prices.data(), state.range(0));
  state.SetComplexityN(state.range(0));
}

void memoized(benchmark::State& state) {
  const auto prices = generated_prices(state.range(0));
  run_memoized(state, prices.data(), state.range(0));
  state.SetComplexityN(state.range(0));
}

void bottom_up(benchmark::State& state) {
  const auto prices = generated_prices(state.range(0));
  run_bottom_up(state, prices.data(), state.range(0));
  state.SetComplexityN(state.range(0));
}

void brute_force_built_in(benchmark::State& state) {
  run_brute_force(state, built_in_prices.data(), rod_cutting::rod_length);
}

void memoized_built_in(benchmark::State& state) {
  run_memoized(state, built_in_prices.data(), rod_cutting::rod_length);
}

void bottom_up_built_in(benchmark::State& state) {
  run_bottom_up(state, built_in_prices.data(), rod_cutting::rod_length);
}

// Prices of five shapes: random, from 0 to 99,999; convex, 3i + i²/4n, which
// ties many splits with the uncut rod; all negative, -1 to -7; all ties, every
// price 0; and long best pieces, every 97th length worth more than the pieces
// between, which are worth 0 to 4. At 20,000, no sum overflows.
enum class shape : std::uint8_t { random, convex, negative, ties, long_pieces };

std::vector<std::int32_t> shaped_prices(shape kind, std::int64_t n) {
  constexpr std::int32_t random_ceiling = 100000;
  constexpr std::int32_t loss_ceiling = 7;
  constexpr std::int64_t long_piece = 97;
  constexpr std::int64_t long_piece_price = 1000;
  constexpr std::int32_t scrap_ceiling = 5;
  std::minstd_rand engine;
  std::vector<std::int32_t> prices(static_cast<std::size_t>(n) + 1, 0);
  for (std::int64_t i = 1; i <= n; ++i) {
    const auto uniform = [&](std::int32_t below) {
      return std::uniform_int_distribution<std::int32_t>(0, below - 1)(engine);
    };
    std::int64_t price = 0;
    switch (kind) {
      case shape::random:
        price = uniform(random_ceiling);
        break;
      case shape::convex:
        price = 3 * i + i * i / (4 * n);
        break;
      case shape::negative:
        price = -1 - uniform(loss_ceiling);
        break;
      case shape::ties:
        break;
      case shape::long_pieces:
        price = i % long_piece == 0 ? long_piece_price * (i / long_piece) + scrap_ceiling
                                    : uniform(scrap_ceiling);
        break;
    }
    prices[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(price);
  }
  return prices;
}

// Each iteration times a solve by the plain loop and one by bottom_up_revenue(),
// by one clock and in turn, so that the machine's pace weighs on both alike.
// The time shown is bottom_up_revenue()'s, `plain_ms` the plain loop's, and
// `ratio` the one over the other.
void bottom_up_vs_plain(benchmark::State& state, shape kind) {
  const auto n = state.range(0);
  const auto prices = shaped_prices(kind, n);
  std::vector<std::int32_t> revenue(static_cast<std::size_t>(n) + 1);
  std::vector<std::int32_t> first_piece(revenue.size());
  const auto seconds = [&](auto* solve) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(
        solve(prices.data(), revenue.data(), first_piece.data(), static_cast<std::int32_t>(n)));
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  double plain_seconds = 0;
  double seconds_in_blocks = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the timing loop's idiom
    plain_seconds += seconds(plain_loop);
    const double once = seconds(rod_cutting::bottom_up_revenue);
    seconds_in_blocks += once;
    state.SetIterationTime(once);
  }
  state.SetItemsProcessed(state.iterations() * bottom_up_steps(n));
  constexpr double ms_per_second = 1000;
  state.counters["plain_ms"] =
      benchmark::Counter(plain_seconds * ms_per_second, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = plain_seconds / seconds_in_blocks;
}

double two_to_the(benchmark::IterationCount n) { return std::exp2(static_cast<double>(n)); }

// The two n² solvers at the same lengths: 10 and 20, to compare with the
// exhaustive one, then doubling.
void quadratic_lengths(benchmark::internal::Benchmark* b) {
  b->Arg(rod_cutting::rod_length)
      ->Arg(std::int64_t{2} * rod_cutting::rod_length)
      ->RangeMultiplier(2)
      ->Range(shortest_doubling, longest_quadratic)
      ->Complexity(benchmark::oNSquared);
}

// Four blocks of the bottom-up solver's candidates, the longest of the other
// lengths, and where its users are: a few thousand and more.
void long_rods(benchmark::internal::Benchmark* b) {
  constexpr std::int64_t four_blocks = 256;
  constexpr std::int64_t users_length = 20000;
  constexpr double seconds_of_bottom_up = 0.1;
  b->Arg(four_blocks)
      ->Arg(longest_quadratic)
      ->Arg(users_length)
      ->UseManualTime()
      ->MinTime(seconds_of_bottom_up);
}

}  // namespace

BENCHMARK(brute_force_built_in);
BENCHMARK(memoized_built_in);
BENCHMARK(bottom_up_built_in);
// The exhaustive solver takes tens of milliseconds at its longest.
BENCHMARK(brute_force)->DenseRange(1, longest_exhaustive)->Complexity(two_to_the);
BENCHMARK(memoized)->Apply(quadratic_lengths);
BENCHMARK(bottom_up)->Apply(quadratic_lengths);
BENCHMARK_CAPTURE(bottom_up_vs_plain, random, shape::random)->Apply(long_rods);
BENCHMARK_CAPTURE(bottom_up_vs_plain, convex, shape::convex)->Apply(long_rods);
BENCHMARK_CAPTURE(bottom_up_vs_plain, negative, shape::negative)->Apply(long_rods);
BENCHMARK_CAPTURE(bottom_up_vs_plain, ties, shape::ties)->Apply(long_rods);
BENCHMARK_CAPTURE(bottom_up_vs_plain, long_pieces, shape::long_pieces)->Apply(long_rods);

BENCHMARK_MAIN();
