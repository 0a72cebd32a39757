#include "rod_cutting/revenue.hpp"

#include "rod_cutting/bottom_up.hpp"

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
  // The fastest variant this machine may run.
  return detail::runnable_variants(detail::machine_features())
      .front()
      .solve(prices, revenue, first_piece, n);
}

std::int32_t cut_pieces(const std::int32_t* first_piece, std::int32_t n, std::int32_t* pieces) {
  if (n < 0) {
    return -1;
  }
  // The whole walk is checked before the first write. Every step leaves less
  // of the rod than the last, so the walk ends within n steps.
  std::int32_t count = 0;
  for (std::int32_t left = n; left > 0; ++count) {
    const std::int32_t piece = first_piece[left];
    if (piece < 1 || piece > left) {
      return -1;
    }
    left -= piece;
  }
  std::int32_t left = n;
  for (std::int32_t k = 0; k < count; ++k) {
    pieces[k] = first_piece[left];
    left -= pieces[k];
  }
  return count;
}

}  // namespace rod_cutting
