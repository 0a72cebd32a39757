#include "rod_cutting/revenue.hpp"

namespace rod_cutting {

std::int32_t brute_force_revenue(const std::int32_t* prices, std::int32_t n) {
  if (n == 0) {
    return 0;
  }
  std::int32_t best = neg_infinity;
  for (std::int32_t i = 1; i <= n; ++i) {
    const std::int32_t candidate = brute_force_revenue(prices, n - i) + prices[i];
    if (best < candidate) {
      best = candidate;
    }
  }
  return best;
}

std::int32_t memoized_revenue(const std::int32_t* prices, std::int32_t* memo, std::int32_t n) {
  // A negative length has no entry to read; answer as the exhaustive solver does.
  if (n < 0) {
    return neg_infinity;
  }
  // The sign alone marks a known entry: a stored 0 is known, any negative value is not.
  if (memo[n] >= 0) {
    return memo[n];
  }
  std::int32_t result = 0;
  if (n != 0) {
    result = neg_infinity;
    for (std::int32_t i = 1; i <= n; ++i) {
      const std::int32_t candidate = memoized_revenue(prices, memo, n - i) + prices[i];
      if (result < candidate) {
        result = candidate;
      }
    }
  }
  memo[n] = result;
  return result;
}

// The tables come in the order the header gives, as in the other solvers.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
std::int32_t bottom_up_revenue(const std::int32_t* prices, std::int32_t* revenue,
                               std::int32_t* first_piece, std::int32_t n) {
  if (n < 0) {
    return neg_infinity;
  }
  revenue[0] = 0;
  for (std::int32_t length = 1; length <= n; ++length) {
    std::int32_t best = neg_infinity;
    for (std::int32_t i = 1; i <= length; ++i) {
      const std::int32_t candidate = prices[i] + revenue[length - i];
      // Only a strictly better candidate replaces the best, so that of the first
      // pieces that tie, the shortest stays, as in the exhaustive search.
      if (best < candidate) {
        best = candidate;
        first_piece[length] = i;
      }
    }
    revenue[length] = best;
  }
  return revenue[n];
}

}  // namespace rod_cutting
