// A bottom-up solver of the rod-cutting recurrence, written apart from the
// library and in 64-bit arithmetic, so that it shares neither its code nor its
// overflow: the unit tests and the fuzzer check the library against it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace reference {

// best_revenues()
//
// Returns the best revenue of every length from 0 to n, where `prices[i]` is
// the price of a piece of length i. Requires n >= 0 and n < prices.size().
inline std::vector<std::int64_t> best_revenues(std::span<const std::int32_t> prices,
                                               std::int32_t n) {
  std::vector<std::int64_t> best(static_cast<std::size_t>(n) + 1, 0);
  for (std::size_t length = 1; length < best.size(); ++length) {
    std::int64_t top = std::numeric_limits<std::int64_t>::min();
    for (std::size_t first = 1; first <= length; ++first) {
      top = std::max(top, prices[first] + best[length - first]);
    }
    best[length] = top;
  }
  return best;
}

// shortest_first_pieces()
//
// Returns the shortest first piece of a best cutting of every length from 1 to
// n (entry 0 is 0), searched for among `best`, as best_revenues() returns it.
inline std::vector<std::int32_t> shortest_first_pieces(std::span<const std::int32_t> prices,
                                                       const std::vector<std::int64_t>& best) {
  std::vector<std::int32_t> pieces(best.size(), 0);
  for (std::size_t length = 1; length < best.size(); ++length) {
    std::size_t piece = 1;
    while (prices[piece] + best[length - piece] != best[length]) {
      ++piece;
    }
    pieces[length] = static_cast<std::int32_t>(piece);
  }
  return pieces;
}

}  // namespace reference
