#include "rod_cutting/bottom_up.hpp"

#include <algorithm>
#include <array>
#include <cstddef>

#include "rod_cutting/revenue.hpp"

namespace rod_cutting::detail {
namespace {

// The candidates for a length are taken a block at a time: a fixed count of
// plain maxima, which compilers vectorize at -O2 without a cost model's doubts.
constexpr std::int32_t block = 64;

// The best of a block's candidates: the piece priced at prices[k], with the
// rest, whose revenue is rest[-k], for every k below `block`.
[[gnu::always_inline]] inline std::int32_t block_best(const std::int32_t* prices,
                                                      const std::int32_t* rest) {
  std::int32_t best = neg_infinity;
  // Vectorized but not unrolled, it runs half as fast again by GCC's -O3 and by
  // Clang than unrolled: one vector of candidates a step.
#pragma GCC unroll 1
  for (std::int32_t k = 0; k < block; ++k) {
    best = std::max(best, prices[k] + rest[-k]);
  }
  return best;
}

// NOLINTBEGIN(bugprone-easily-swappable-parameters): the order bottom_up_revenue() gives

// The plain one-scan loop's tables: of the first pieces that tie, the shortest.
// Only a block that beats every earlier one can hold it, and there the scan
// finds it; the candidates past the last whole block are scanned one by one.
[[gnu::always_inline]] inline std::int32_t solve(const std::int32_t* prices, std::int32_t* revenue,
                                                 std::int32_t* first_piece, std::int32_t n) {
  revenue[0] = 0;
  for (std::int32_t length = 1; length <= n; ++length) {
    // Piece 1 stands until a candidate beats minus infinity: a best of exactly
    // minus infinity is a tie of every candidate, and 1 the shortest of them.
    std::int32_t best = neg_infinity;
    std::int32_t piece = 1;
    const std::int32_t whole_blocks_end = length - length % block;
    std::int32_t best_block = 0;
    for (std::int32_t first = 1; first <= whole_blocks_end; first += block) {
      const std::int32_t top = block_best(prices + first, revenue + (length - first));
      if (best < top) {
        best = top;
        best_block = first;
      }
    }
    if (best_block != 0) {
      piece = best_block;
      while (prices[piece] + revenue[length - piece] != best) {
        ++piece;
      }
    }
    for (std::int32_t i = whole_blocks_end + 1; i <= length; ++i) {
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

// One function for each instruction set, the same code compiled for each.
std::int32_t solve_baseline(const std::int32_t* prices, std::int32_t* revenue,
                            std::int32_t* first_piece, std::int32_t n) {
  return solve(prices, revenue, first_piece, n);
}
#if defined(__x86_64__) && defined(__ELF__)
[[gnu::target("avx2")]] std::int32_t solve_avx2(const std::int32_t* prices, std::int32_t* revenue,
                                                std::int32_t* first_piece, std::int32_t n) {
  return solve(prices, revenue, first_piece, n);
}
[[gnu::target("avx512f")]] std::int32_t solve_avx512(const std::int32_t* prices,
                                                     std::int32_t* revenue,
                                                     std::int32_t* first_piece, std::int32_t n) {
  return solve(prices, revenue, first_piece, n);
}
#endif
// NOLINTEND(bugprone-easily-swappable-parameters)

constexpr std::array variants {
#if defined(__x86_64__) && defined(__ELF__)
  bottom_up_variant{"avx512", solve_avx512}, bottom_up_variant{"avx2", solve_avx2},
#endif
      bottom_up_variant{"baseline", solve_baseline},
};

}  // namespace

std::span<const bottom_up_variant> bottom_up_variants() {
  // A machine with AVX-512 has AVX2 too: the instruction sets it lacks are a
  // count of the fastest variants to pass over. The runtime read the machine's
  // features as the program started.
  std::size_t lacking = 0;
#if defined(__x86_64__) && defined(__ELF__)
  lacking = static_cast<std::size_t>(!__builtin_cpu_supports("avx512f")) +
            static_cast<std::size_t>(!__builtin_cpu_supports("avx2"));
#endif
  return std::span(variants).subspan(lacking);
}

}  // namespace rod_cutting::detail
