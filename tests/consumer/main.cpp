// Calls both solvers through the library as a user's program would, and says
// which language standard it was compiled as.
#include <array>
#include <cstdint>
#include <iostream>
#include <rod_cutting/revenue.hpp>

int main() {
  const std::array<std::int32_t, 11> prices{0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};
  std::array<std::int32_t, 11> memo{};
  memo.fill(rod_cutting::neg_infinity);
  std::cout << rod_cutting::brute_force_revenue(prices.data(), 10) << ' '
            << rod_cutting::memoized_revenue(prices.data(), memo.data(), 10) << ' ' << __cplusplus
            << '\n';
}
