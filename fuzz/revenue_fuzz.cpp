// Differential fuzzer: the three solvers and cut_pieces against the tests'
// reference solver, on price tables built from the input, as wide as the
// preconditions allow.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <span>

#include "reference.hpp"
#include "rod_cutting/revenue.hpp"

namespace {

using rod_cutting::neg_infinity;

constexpr std::int32_t longest = 20;

// Two entries past the longest rod, to see that nothing is written beyond n.
constexpr std::size_t memo_size = longest + 3;

void check(bool ok, const char* what, std::int32_t n) {
  if (!ok) {
    std::cerr << "revenue_fuzz: " << what << " (n=" << n << ")\n";
    std::abort();
  }
}

}  // namespace

// Input: one byte for the length, then a little-endian 32-bit price per length
// from 1 up. The length is cut down to the prices the input holds.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::span input(data, size);
  const auto given = static_cast<std::int32_t>(std::min<std::size_t>((size - 1) / 4, longest));
  const std::int32_t n = std::min<std::int32_t>(input[0] % (longest + 1), given);

  // The lengths of a cutting of n add up to n, so with the price of length i
  // within i times [min / n, max / n] every sum fits in 32 bits; at n of 1 and
  // 2, a best reaches minus infinity. A price in range passes unchanged, which
  // lets the fuzzer's comparison hints reach it; others wrap into it.
  std::array<std::int32_t, longest + 1> prices{};
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
  const auto at = [](auto& table, std::int32_t k) { return table.at(static_cast<std::size_t>(k)); };

  check(rod_cutting::brute_force_revenue(prices.data(), n) == at(want, n), "exhaustive", n);

  std::array<std::int32_t, memo_size> memo{};
  memo.fill(neg_infinity);
  const std::int32_t first = rod_cutting::memoized_revenue(prices.data(), memo.data(), n);
  check(first == at(want, n), "memoized", n);
  for (std::int32_t k = 0; k <= n; ++k) {
    check(at(memo, k) == at(want, k), "memo entry below n", k);
  }
  check(std::all_of(memo.begin() + n + 1, memo.end(),
                    [](std::int32_t v) { return v == neg_infinity; }),
        "memo entry above n", n);
  check(rod_cutting::memoized_revenue(prices.data(), memo.data(), n) == first, "second call", n);

  // Bottom-up writes lengths 0 to n alone, and first pieces from 1 on.
  const auto shortest = reference::shortest_first_pieces(prices, want);
  std::array<std::int32_t, memo_size> revenue{};
  std::array<std::int32_t, memo_size> first_piece{};
  revenue.fill(neg_infinity);
  first_piece.fill(neg_infinity);
  check(rod_cutting::bottom_up_revenue(prices.data(), revenue.data(), first_piece.data(), n) ==
            at(want, n),
        "bottom-up", n);
  for (std::int32_t k = 0; k < static_cast<std::int32_t>(memo_size); ++k) {
    check(at(revenue, k) == (k <= n ? at(want, k) : neg_infinity), "bottom-up revenue", k);
    check(at(first_piece, k) == (k <= n && k > 0 ? at(shortest, k) : neg_infinity),
          "bottom-up first piece", k);
  }

  // cut_pieces lists the walk over the shortest first pieces, and writes nothing after them.
  std::array<std::int32_t, memo_size> pieces{};
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
