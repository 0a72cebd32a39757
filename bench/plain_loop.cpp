// The one-scan loop that every textbook writes, which bottom_up_revenue() was
// until it took candidates a block at a time. Compiled without vectorization
// (bench/CMakeLists.txt), it is the baseline the benchmarks measure it against.
#include <cstdint>

#include "rod_cutting/revenue.hpp"

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): bottom_up_revenue()'s order
std::int32_t plain_loop(const std::int32_t* prices, std::int32_t* revenue,
                        std::int32_t* first_piece, std::int32_t n) {
  revenue[0] = 0;
  for (std::int32_t length = 1; length <= n; ++length) {
    std::int32_t best = rod_cutting::neg_infinity;
    std::int32_t piece = 1;
    for (std::int32_t i = 1; i <= length; ++i) {
      const std::int32_t candidate = prices[i] + revenue[length - i];
      if (best < candidate) {
        best = candidate;
        piece = i;
      }
    }
    revenue[length] = best;
    first_piece[length] = piece;
  }
  return revenue[n];
}
