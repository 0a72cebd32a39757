// Differential fuzzer: the three solvers, each variant of the bottom-up one,
// and cut_pieces against the tests' reference solver, on price tables built
// from the input, as wide as the preconditions allow.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <limits>
#include <span>
#include <vector>

#include "reference.hpp"
#include "rod_cutting/bottom_up.hpp"
#include "rod_cutting/revenue.hpp"

namespace {

using rod_cutting::neg_infinity;

// The exhaustive and memoized solvers go up to 20; the bottom-up ones to 1100,
// where a length's splits take four whole blocks of candidates and part of a
// fifth.
constexpr std::int32_t longest_exhaustive = 20;
constexpr std::int32_t longest = 1100;

// Two entries past the longest rod, to see that nothing is written beyond n.
constexpr std::size_t table_size = longest + 3;
using table = std::array<std::int32_t, table_size>;

void check(bool ok, const char* what, std::int32_t n) {
  if (!ok) {
    std::cerr << "revenue_fuzz: " << what << " (n=" << n << ")\n";
    std::abort();
  }
}

}  // namespace

// Input: one byte for the exhaustive and memoized solvers' length, then a
// little-endian 32-bit price per length from 1 up; the bottom-up solvers take
// every length the prices cover. The first length is cut down to that.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::span input(data, size);
  const auto n = static_cast<std::int32_t>(std::min<std::size_t>((size - 1) / 4, longest));
  const std::int32_t small = std::min<std::int32_t>(input[0] % (longest_exhaustive + 1), n);

  // The lengths of a cutting of n add up to n, so with the price of length i
  // within i times [min / n, max / n] every sum fits in 32 bits; at n of 1 and
  // 2, a best reaches minus infinity. A price in range passes unchanged, which
  // lets the fuzzer's comparison hints reach it; others wrap into it.
  table prices{};
  for (std::int32_t i = 1; i <= n; ++i) {
    std::int32_t raw = 0;
    std::memcpy(&raw, &input[1 + 4 * static_cast<std::size_t>(i - 1)], sizeof raw);
    const std::int64_t low = std::int64_t{i} * (std::numeric_limits<std::int32_t>::min() / n);
    const std::int64_t width =
        std::int64_t{i} * (std::numeric_limits<std::int32_t>::max() / n) - low + 1;
    prices.at(static_cast<std::size_t>(i)) =
        static_cast<std::int32_t>(low + ((raw - low) % width + width) % width);
  }
  const auto want = reference::best_revenues(prices, n);
  const auto at = [](auto& values, std::int32_t k) {
    return values.at(static_cast<std::size_t>(k));
  };

  check(rod_cutting::brute_force_revenue(prices.data(), small) == at(want, small), "exhaustive",
        small);

  table memo{};
  memo.fill(neg_infinity);
  const std::int32_t first = rod_cutting::memoized_revenue(prices.data(), memo.data(), small);
  check(first == at(want, small), "memoized", small);
  for (std::int32_t k = 0; k < static_cast<std::int32_t>(table_size); ++k) {
    check(at(memo, k) == (k <= small ? at(want, k) : neg_infinity), "memo entry", k);
  }
  check(rod_cutting::memoized_revenue(prices.data(), memo.data(), small) == first, "second call",
        small);

  // Each bottom-up solver writes lengths 0 to n alone, and first pieces from 1.
  const auto shortest = reference::shortest_first_pieces(prices, want);
  const auto variants = rod_cutting::detail::bottom_up_variants();
  std::vector<rod_cutting::detail::bottom_up_function> solvers{rod_cutting::bottom_up_revenue};
  std::transform(variants.begin(), variants.end(), std::back_inserter(solvers),
                 [](const auto& variant) { return variant.solve; });
  table revenue{};
  table first_piece{};
  for (const auto solve : solvers) {
    revenue.fill(neg_infinity);
    first_piece.fill(neg_infinity);
    check(solve(prices.data(), revenue.data(), first_piece.data(), n) == at(want, n), "bottom-up",
          n);
    for (std::int32_t k = 0; k < static_cast<std::int32_t>(table_size); ++k) {
      check(at(revenue, k) == (k <= n ? at(want, k) : neg_infinity), "bottom-up revenue", k);
      check(at(first_piece, k) == (k <= n && k > 0 ? at(shortest, k) : neg_infinity),
            "bottom-up first piece", k);
    }
  }

  // cut_pieces lists the walk over the shortest first pieces, and writes nothing after them.
  table pieces{};
  pieces.fill(neg_infinity);
  const std::int32_t count = rod_cutting::cut_pieces(first_piece.data(), n, pieces.data());
  std::int32_t written = 0;
  for (std::int32_t left = n; left > 0; left -= at(shortest, left)) {
    check(at(pieces, written++) == at(shortest, left), "piece", left);
  }
  check(count == written, "number of pieces", n);
  check(std::all_of(pieces.begin() + written, pieces.end(),
                    [](std::int32_t v) { return v == neg_infinity; }),
        "entry after the pieces", n);
  return 0;
}
