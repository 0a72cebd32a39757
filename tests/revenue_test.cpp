#include "rod_cutting/revenue.hpp"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "reference.hpp"

namespace {

using rod_cutting::bottom_up_revenue;
using rod_cutting::brute_force_revenue;
using rod_cutting::max_length;
using rod_cutting::memoized_revenue;
using rod_cutting::neg_infinity;

constexpr std::array<std::int32_t, max_length + 1> prices{0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};
constexpr std::array<std::int32_t, max_length + 1> best{0, 1, 5, 8, 10, 13, 17, 18, 22, 25, 30};

std::vector<std::int32_t> fresh_memo(std::size_t entries) {
  return std::vector<std::int32_t>(entries, neg_infinity);
}

TEST(Solvers, BuiltInTableAtEveryLength) {
  for (std::int32_t n = 0; n <= max_length; ++n) {
    SCOPED_TRACE(testing::Message() << "n=" << n);
    const auto want = best.at(static_cast<std::size_t>(n));
    auto memo = fresh_memo(prices.size());
    std::array<std::int32_t, max_length + 1> revenue{};
    std::array<std::int32_t, max_length + 1> first_piece{};
    EXPECT_EQ(brute_force_revenue(prices.data(), n), want);
    EXPECT_EQ(memoized_revenue(prices.data(), memo.data(), n), want);
    EXPECT_EQ(bottom_up_revenue(prices.data(), revenue.data(), first_piece.data(), n), want);
  }
}

TEST(Solvers, EdgeLengthsReadNoTable) {
  // A null table would crash any read.
  EXPECT_EQ(brute_force_revenue(nullptr, 0), 0);
  EXPECT_EQ(brute_force_revenue(nullptr, -1), neg_infinity);
  EXPECT_EQ(brute_force_revenue(nullptr, neg_infinity), neg_infinity);
  EXPECT_EQ(memoized_revenue(nullptr, nullptr, -1), neg_infinity);
  EXPECT_EQ(bottom_up_revenue(nullptr, nullptr, nullptr, -1), neg_infinity);
  std::int32_t revenue = neg_infinity;
  EXPECT_EQ(bottom_up_revenue(nullptr, &revenue, nullptr, 0), 0);
  EXPECT_EQ(revenue, 0);

  auto memo = fresh_memo(1);
  EXPECT_EQ(memoized_revenue(nullptr, memo.data(), 0), 0);
  EXPECT_EQ(memo[0], 0);
  EXPECT_EQ(memoized_revenue(nullptr, memo.data(), 0), 0);
}

TEST(Memoized, FillsEveryLengthUpToN) {
  auto memo = fresh_memo(prices.size() + 2);
  ASSERT_EQ(memoized_revenue(prices.data(), memo.data(), 8), best.at(8));
  std::vector<std::int32_t> want(best.begin(), best.begin() + 9);
  want.resize(memo.size(), neg_infinity);
  EXPECT_EQ(memo, want);
}

TEST(Memoized, TrustsKnownEntries) {
  struct preset_case {
    std::int32_t n;
    std::int32_t stored;
  };
  for (const auto [n, stored] : {preset_case{0, 0}, preset_case{5, 0}, preset_case{10, 99}}) {
    auto memo = fresh_memo(prices.size());
    memo[static_cast<std::size_t>(n)] = stored;
    EXPECT_EQ(memoized_revenue(prices.data(), memo.data(), n), stored) << "n=" << n;
  }

  // A filled table answers without touching prices.
  auto memo = fresh_memo(prices.size());
  ASSERT_EQ(memoized_revenue(prices.data(), memo.data(), max_length), best.back());
  EXPECT_EQ(memoized_revenue(nullptr, memo.data(), max_length), best.back());
}

TEST(Memoized, NegativeBestIsStoredButRecomputed) {
  const std::vector<std::int32_t> losses{0, -3, -5, -4, -20};
  auto memo = fresh_memo(losses.size());
  ASSERT_EQ(memoized_revenue(losses.data(), memo.data(), 4), -7);
  EXPECT_EQ(memo, (std::vector<std::int32_t>{0, -3, -5, -4, -7}));

  // Any negative entry counts as unknown, so a wrong one is not believed.
  memo[4] = -1;
  memo[2] = -1;
  EXPECT_EQ(memoized_revenue(losses.data(), memo.data(), 4), -7);
  EXPECT_EQ(memo[2], -5);
  EXPECT_EQ(brute_force_revenue(losses.data(), 4), -7);
}

TEST(Solvers, AgreeWithReferenceOnRandomTables) {
  constexpr std::int32_t longest = 16;
  constexpr std::int32_t untouched = 12345;
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<std::int32_t> magnitude(0, 4);
  for (int round = 0; round < 200; ++round) {
    // Even at the largest bound a sum of 16 prices is far from overflow. Bounds
    // of 1 and 0, and the first round's prices equal to lengths, make ties.
    const std::int32_t bound =
        std::array{10, 1000, 100000, 1, 0}.at(static_cast<std::size_t>(magnitude(rng)));
    std::uniform_int_distribution<std::int32_t> price(-bound, bound);
    std::vector<std::int32_t> p(longest + 1, 0);
    std::generate(p.begin() + 1, p.end(), [&] { return price(rng); });
    if (round == 0) {
      std::iota(p.begin(), p.end(), 0);
    }
    const auto want = reference::best_revenues(p, longest);
    const auto shortest = reference::shortest_first_pieces(p, want);

    auto shared_memo = fresh_memo(p.size());
    for (std::int32_t n = 0; n <= longest; ++n) {
      SCOPED_TRACE(testing::Message() << "round " << round << " n=" << n);
      const auto expected = want[static_cast<std::size_t>(n)];
      auto memo = fresh_memo(p.size());
      ASSERT_EQ(brute_force_revenue(p.data(), n), expected);
      ASSERT_EQ(memoized_revenue(p.data(), memo.data(), n), expected);
      ASSERT_EQ(memoized_revenue(p.data(), shared_memo.data(), n), expected);

      // Bottom-up fills lengths 0 to n alone, first pieces from 1, the shortest of the best.
      std::vector<std::int32_t> revenue(p.size() + 1, untouched);
      std::vector<std::int32_t> first(p.size() + 1, untouched);
      ASSERT_EQ(bottom_up_revenue(p.data(), revenue.data(), first.data(), n), expected);
      for (std::size_t k = 0; k < revenue.size(); ++k) {
        const bool filled = k <= static_cast<std::size_t>(n);
        ASSERT_EQ(revenue[k], filled ? want[k] : untouched) << "k=" << k;
        ASSERT_EQ(first[k], filled && k > 0 ? shortest[k] : untouched) << "k=" << k;
      }
      // The pieces the walk finds make up the rod, and their prices the revenue.
      std::int64_t length = 0;
      std::int64_t total = 0;
      for (auto left = static_cast<std::size_t>(n); left > 0;
           left -= static_cast<std::size_t>(first[left])) {
        length += first[left];
        total += p[static_cast<std::size_t>(first[left])];
      }
      ASSERT_TRUE(length == n && total == expected);
    }
  }
}

// On a 64 KiB stack, where the memoized solver's n + 1 calls would not fit.
TEST(BottomUp, LongRodOnASmallStack) {
  constexpr std::int32_t n = 10000;
  // Pieces of 1 sell for 1 and longer ones for nothing: the best is n pieces of 1.
  static std::vector<std::int32_t> p(n + 1, 0);
  static std::vector<std::int32_t> revenue(n + 1);
  static std::vector<std::int32_t> first(n + 1);
  p[1] = 1;
  const auto solve = [](void* /*unused*/) -> void* {
    bottom_up_revenue(p.data(), revenue.data(), first.data(), n);
    return nullptr;
  };
  pthread_attr_t small_stack{};
  pthread_t thread{};
  ASSERT_TRUE(pthread_attr_init(&small_stack) == 0 &&
              pthread_attr_setstacksize(&small_stack, std::size_t{64} * 1024) == 0 &&
              pthread_create(&thread, &small_stack, solve, nullptr) == 0 &&
              pthread_join(thread, nullptr) == 0);
  EXPECT_EQ(revenue.back(), n);
  EXPECT_EQ(first.back(), 1);
}

}  // namespace
