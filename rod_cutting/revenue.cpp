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

}  // namespace rod_cutting
