#include "rod_cutting/revenue.hpp"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "reference.hpp"

namespace {

using rod_cutting::bottom_up_revenue;
using rod_cutting::brute_force_revenue;
using rod_cutting::cut_pieces;
using rod_cutting::max_length;
using rod_cutting::memoized_revenue;
using rod_cutting::neg_infinity;

constexpr std::array<std::int32_t, max_length + 1> prices{0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};
constexpr std::array<std::int32_t, max_length + 1> best{0, 1, 5, 8, 10, 13, 17, 18, 22, 25, 30};

// What a table holds where nothing may be written.
constexpr std::int32_t untouched = 12345;

std::vector<std::int32_t> fresh_memo(std::size_t entries) {
  std::vector<std::int32_t> memo(entries, neg_infinity);
  return memo;
}

// The pieces cut_pieces lists from `first`, or {-1} where it refuses; every
// entry after those it lists must keep a value that no table holds.
std::vector<std::int32_t> listed(const std::vector<std::int32_t>& first, std::int32_t n) {
  std::vector<std::int32_t> pieces(first.size(), -untouched);
  const std::int32_t count = cut_pieces(first.data(), n, pieces.data());
  const auto end = pieces.begin() + std::clamp(count, 0, n);
  EXPECT_TRUE(std::all_of(end, pieces.end(), [](std::int32_t v) { return v == -untouched; }));
  pieces.erase(end, pieces.end());
  return count < 0 ? std::vector{count} : pieces;
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
  EXPECT_EQ(cut_pieces(nullptr, 0, nullptr), 0);
  EXPECT_EQ(cut_pieces(nullptr, -1, nullptr), -1);
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

TEST(Solvers, AgreeWithReferenceOnEdgeAndRandomTables) {
  constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
  // The first tables take bests to exactly the 32-bit edges that the
  // preconditions allow: at minus infinity every candidate ties, and 1 is the
  // shortest first piece. In the next, prices equal lengths, which makes ties.
  std::vector<std::vector<std::int32_t>> tables{
      {0, neg_infinity},
      {0, -(1 << 30), neg_infinity},
      {0, highest},
      {0, 1, highest - 1, 0},
      {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<std::int32_t> magnitude(0, 4);
  while (tables.size() < 200) {
    // Even at the largest bound a sum of 16 prices is far from overflow. Bounds
    // of 1 and 0 make ties.
    const std::int32_t bound =
        std::array{10, 1000, 100000, 1, 0}.at(static_cast<std::size_t>(magnitude(rng)));
    std::uniform_int_distribution<std::int32_t> price(-bound, bound);
    std::vector<std::int32_t> p(tables.back().size(), 0);
    std::generate(p.begin() + 1, p.end(), [&] { return price(rng); });
    tables.push_back(p);
  }
  for (std::size_t round = 0; round < tables.size(); ++round) {
    const auto& p = tables[round];
    const auto longest = static_cast<std::int32_t>(p.size() - 1);
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
      // cut_pieces lists the walk over the shortest first pieces, which ends at 0,
      // so they make up the rod, and their prices the revenue.
      std::vector<std::int32_t> walk;
      std::int64_t total = 0;
      for (auto left = static_cast<std::size_t>(n); left > 0;
           left -= static_cast<std::size_t>(walk.back())) {
        walk.push_back(shortest[left]);
        total += p[static_cast<std::size_t>(walk.back())];
      }
      ASSERT_EQ(total, expected);
      ASSERT_EQ(listed(first, n), walk);
    }
  }
}

// A table that describes no cutting of n gives -1, and nothing is written.
TEST(CutPieces, RefusesATableThatDescribesNoCutting) {
  std::vector<std::int32_t> revenue(max_length + 1);
  std::vector<std::int32_t> filled_for_2(max_length + 1, 0);
  bottom_up_revenue(prices.data(), revenue.data(), filled_for_2.data(), 2);
  const std::vector<std::pair<std::vector<std::int32_t>, std::int32_t>> cases{
      {{0, 1, 0}, 2},              // a zero
      {{0, 1, neg_infinity}, 2},   // a negative piece
      {{0, 1, 3}, 2},              // a piece longer than the rod
      {{0, 2, 1, 1}, 3},           // a piece longer than what is left, at the walk's end
      {filled_for_2, max_length},  // a table filled for a shorter rod
  };
  for (const auto& [first, n] : cases) {
    EXPECT_EQ(listed(first, n), std::vector{-1})
        << "n=" << n << " over " << testing::PrintToString(first);
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
