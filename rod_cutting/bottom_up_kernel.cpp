// The bottom-up solver's kernel, compiled once for each instruction set into
// the namespace ROD_CUTTING_VARIANT names (rod_cutting/CMakeLists.txt). It
// calls nothing outside this file, so that no code compiled for a wider
// instruction set can stand in for another file's.
#include <cstdint>

#include "rod_cutting/bottom_up.hpp"
#include "rod_cutting/revenue.hpp"

namespace rod_cutting::detail::kernels::ROD_CUTTING_VARIANT {
namespace {

// Candidates are taken a block at a time: a fixed count of plain maxima, which
// compilers vectorize without a cost model's doubts, long enough that the
// block's one horizontal maximum costs little.
constexpr std::int32_t block = 256;

[[gnu::always_inline]] inline std::int32_t larger(std::int32_t a, std::int32_t b) {
  return a < b ? b : a;
}

// The best of a[k] + b[-k] for k below `block`.
[[gnu::always_inline]] inline std::int32_t block_best(const std::int32_t* __restrict a,
                                                      const std::int32_t* __restrict b) {
  std::int32_t best = neg_infinity;
  // GCC's -O2 keeps a loop rolled, and then waits on each maximum; Clang
  // unrolls by itself, and slows down when told how.
#ifndef __clang__
#pragma GCC unroll 4
#endif
  for (std::int32_t k = 0; k < block; ++k) {
    best = larger(best, a[k] + b[-k]);
  }
  return best;
}

struct found {
  std::int32_t best;
  std::int32_t at;  // the first k that reaches it
};

// The best of a[k] + b[-k] for k below `count` (1 or more), and where it first
// appears. Only a block that beats every earlier one can hold that place.
[[gnu::always_inline]] inline found first_best(const std::int32_t* a, const std::int32_t* b,
                                               std::int32_t count) {
  const std::int32_t whole_blocks_end = count - count % block;
  found top{a[0] + b[0], 0};
  for (std::int32_t first = 0; first < whole_blocks_end; first += block) {
    const std::int32_t best = block_best(a + first, b - first);
    if (top.best < best) {
      top = {best, first};
    }
  }
  while (a[top.at] + b[-top.at] != top.best) {
    ++top.at;
  }
  for (std::int32_t k = whole_blocks_end; k < count; ++k) {
    if (top.best < a[k] + b[-k]) {
      top = {a[k] + b[-k], k};
    }
  }
  return top;
}

}  // namespace

// A best cutting of a length of 2 or more is the rod sold whole, or two best
// cuttings side by side: half the candidates of one piece and the best rest.
// The shortest first piece s is the length itself where the rod sold whole
// beats every split; otherwise it is the first best split k. A first piece
// leaves a best rest, so the shorter of s and its rest is a best split, at
// least k; and the first piece of k's best cutting, at most k, starts a best
// cutting of the whole, so s <= k: then s = k.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): bottom_up_revenue()'s order
std::int32_t solve(const std::int32_t* __restrict prices, std::int32_t* __restrict revenue,
                   std::int32_t* __restrict first_piece, std::int32_t n) {
  revenue[0] = 0;
  if (n > 0) {
    revenue[1] = prices[1];
    first_piece[1] = 1;
  }
  for (std::int32_t length = 2; length <= n; ++length) {
    const found split = first_best(revenue + 1, revenue + length - 1, length / 2);
    if (split.best < prices[length]) {
      revenue[length] = prices[length];
      first_piece[length] = length;
      continue;
    }
    revenue[length] = split.best;
    first_piece[length] = split.at + 1;
  }
  return revenue[n];
}

}  // namespace rod_cutting::detail::kernels::ROD_CUTTING_VARIANT
