#include "rod_cutting/revenue.hpp"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "reference.hpp"
#include "rod_cutting/bottom_up.hpp"

namespace {

using rod_cutting::bottom_up_revenue;
using rod_cutting::brute_force_revenue;
using rod_cutting::cut_pieces;
using rod_cutting::max_length;
using rod_cutting::memoized_revenue;
using rod_cutting::neg_infinity;
using table = std::vector<std::int32_t>;

constexpr std::array<std::int32_t, max_length + 1> prices{0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};
const table best{0, 1, 5, 8, 10, 13, 17, 18, 22, 25, 30};

// What a table holds where nothing may be written.
constexpr std::int32_t untouched = 12345;

// NOLINTNEXTLINE(modernize-return-braced-init-list): braces would make a list of two
table fresh_memo(std::size_t entries) { return table(entries, neg_infinity); }

// A table whole, where gtest would print its first 32 entries.
std::string whole(const table& values) {
  std::string text;
  for (const auto value : values) {
    text += (text.empty() ? "{" : ", ") + std::to_string(value);
  }
  return text + "}";
}

// Whether cut_pieces returns the number of pieces in `want` and writes them,
// and nothing after them; or, where `want` is {-1}, returns -1 and writes nothing.
testing::AssertionResult lists(const table& first, std::int32_t n, const table& want) {
  const bool refuses = want == table{-1};
  table expected{refuses ? -1 : static_cast<std::int32_t>(want.size())};
  expected.insert(expected.end(), want.begin(), refuses ? want.begin() : want.end());
  expected.resize(first.size() + 1, -untouched);
  table got(first.size() + 1, -untouched);
  got[0] = cut_pieces(first.data(), n, got.data() + 1);
  return got == expected ? testing::AssertionSuccess()
                         : testing::AssertionFailure()
                               << "cut_pieces returned, then wrote, " << whole(got) << ", not "
                               << whole(expected) << " (" << -untouched << ": not written)";
}

// A parameter's name in the test's name: its input, in words.
const auto by_name = [](const auto& param) { return std::string(param.param.name); };

// A call at a length that reads no table: what it returns, then writes.
struct edge {
  const char* name;
  table want;
  table (*call)();
};

class EdgeLengths : public testing::TestWithParam<edge> {};

// A null table would crash any read.
TEST_P(EdgeLengths, ReadNoTable) { EXPECT_EQ(GetParam().call(), GetParam().want); }

const std::vector<edge> edges{
    {"brute_force_0", {0}, [] { return table{brute_force_revenue(nullptr, 0)}; }},
    {"brute_force_minus_1", {neg_infinity}, [] { return table{brute_force_revenue(nullptr, -1)}; }},
    {"brute_force_minus_2147483648",
     {neg_infinity},
     [] { return table{brute_force_revenue(nullptr, neg_infinity)}; }},
    {"memoized_minus_1",
     {neg_infinity},
     [] { return table{memoized_revenue(nullptr, nullptr, -1)}; }},
    {"memoized_0",
     {0, 0, 0},  // the call, the entry, a second call
     [] {
       auto memo = fresh_memo(1);
       const auto first = memoized_revenue(nullptr, memo.data(), 0);
       return table{first, memo[0], memoized_revenue(nullptr, memo.data(), 0)};
     }},
    {"bottom_up_minus_1",
     {neg_infinity},
     [] { return table{bottom_up_revenue(nullptr, nullptr, nullptr, -1)}; }},
    {"bottom_up_0",
     {0, 0},  // the call, the entry
     [] {
       std::int32_t revenue = neg_infinity;
       return table{bottom_up_revenue(nullptr, &revenue, nullptr, 0), revenue};
     }},
    {"cut_pieces_0", {0}, [] { return table{cut_pieces(nullptr, 0, nullptr)}; }},
    {"cut_pieces_minus_1", {-1}, [] { return table{cut_pieces(nullptr, -1, nullptr)}; }}};
INSTANTIATE_TEST_SUITE_P(Solvers, EdgeLengths, testing::ValuesIn(edges), by_name);

TEST(Memoized, TrustsKnownEntries) {
  for (const auto& [n, stored] : {std::pair{0, 0}, std::pair{5, 0}, std::pair{10, 99}}) {
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
  const table losses{0, -3, -5, -4, -20};
  auto memo = fresh_memo(losses.size());
  ASSERT_EQ(memoized_revenue(losses.data(), memo.data(), 4), -7);
  EXPECT_EQ(memo, (table{0, -3, -5, -4, -7}));

  // Any negative entry counts as unknown, so a wrong one is not believed.
  memo[4] = -1;
  memo[2] = -1;
  EXPECT_EQ(memoized_revenue(losses.data(), memo.data(), 4), -7);
  EXPECT_EQ(memo[2], -5);
  EXPECT_EQ(brute_force_revenue(losses.data(), 4), -7);
}

// Short enough for the exhaustive solver: the built-in table, bests at exactly
// the 32-bit edges (at minus infinity all tie, and 1 is the shortest first
// piece), ties, random ones. Then four whole blocks of the bottom-up solver's
// candidates and part of a fifth: the best first piece on either side of a
// block edge, the best in the last block, the 32-bit edges, and so on.
constexpr std::size_t short_rod = 16;
constexpr std::int32_t long_rod = 300;
std::vector<table> reference_tables() {
  constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
  std::vector<table> tables{
      {prices.begin(), prices.end()}, {0, neg_infinity},
      {0, -(1 << 30), neg_infinity},  {0, highest},
      {0, 1, highest - 1, 0},         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};
  std::mt19937 rng(20261208);
  const auto priced = [&](std::size_t size, auto price) {
    table p(size + 1, 0);
    for (std::size_t i = 1; i < p.size(); ++i) {
      p[i] = price(static_cast<std::int32_t>(i), std::uniform_int_distribution(-1000, 1000)(rng));
    }
    tables.push_back(p);
  };
  while (tables.size() < 200) {
    // Even at the largest bound a sum of 16 prices is far from overflow.
    const std::int32_t bound = std::array{10, 1000, 100000, 1, 0}.at(rng() % 5);
    priced(short_rod,
           [&](auto, auto) { return std::uniform_int_distribution(-bound, bound)(rng); });
  }
  for (const std::int32_t edge : {0, 63, 64, 65, 128, 129}) {
    priced(long_rod, [&](auto i, auto) { return i < edge ? i - 1 : i; });
  }
  priced(long_rod, [](auto i, auto) { return i * i; });
  priced(long_rod, [](auto i, auto noise) { return i * (highest / long_rod) - noise % 4 - 3; });
  priced(long_rod,
         [](auto i, auto noise) { return i * (neg_infinity / long_rod) + noise % 4 + 3; });
  priced(long_rod, [](auto, auto noise) { return -1 - noise % 1000 - 1000; });
  priced(long_rod, [](auto, auto noise) { return noise % 2; });
  priced(long_rod, [](auto, auto noise) { return noise + 1000; });
  return tables;
}

// bottom_up_revenue() itself, and each variant this machine runs.
std::vector<rod_cutting::detail::bottom_up_variant> bottom_up_solvers() {
  const auto variants = rod_cutting::detail::bottom_up_variants();
  std::vector solvers(variants.begin(), variants.end());
  solvers.insert(solvers.begin(), {"bottom_up_revenue", bottom_up_revenue});
  return solvers;
}

class AgreeWithReference : public testing::TestWithParam<rod_cutting::detail::bottom_up_variant> {};

TEST_P(AgreeWithReference, AtEveryLength) {
  ASSERT_EQ(reference::best_revenues(prices, max_length),
            (std::vector<std::int64_t>{best.begin(), best.end()}));
  const auto tables = reference_tables();
  for (std::size_t round = 0; round < tables.size(); ++round) {
    const auto& p = tables[round];
    SCOPED_TRACE("round " + std::to_string(round) + ", prices " + whole(p));
    const auto longest = static_cast<std::int32_t>(p.size() - 1);
    const auto want = reference::best_revenues(p, longest);
    const auto shortest = reference::shortest_first_pieces(p, want);

    auto shared_memo = fresh_memo(p.size());
    for (std::int32_t n = 0; n <= longest; ++n) {
      SCOPED_TRACE("n=" + std::to_string(n));
      const auto expected = want[static_cast<std::size_t>(n)];
      // On fresh tables, each fills lengths 0 to n alone; bottom-up, the shortest first pieces.
      auto memo = fresh_memo(p.size() + 1);
      table revenue(p.size() + 1, untouched);
      table first(p.size() + 1, untouched);
      if (p.size() <= short_rod + 1) {
        ASSERT_EQ(brute_force_revenue(p.data(), n), expected);
        ASSERT_EQ(memoized_revenue(p.data(), shared_memo.data(), n), expected);
        ASSERT_EQ(memoized_revenue(p.data(), memo.data(), n), expected);
      }
      ASSERT_EQ(GetParam().solve(p.data(), revenue.data(), first.data(), n), expected);
      for (std::size_t k = 0; k < revenue.size(); ++k) {
        const bool filled = k <= static_cast<std::size_t>(n);
        if (p.size() <= short_rod + 1) {
          ASSERT_EQ(memo[k], filled ? want[k] : neg_infinity) << "k=" << k;
        }
        ASSERT_EQ(revenue[k], filled ? want[k] : untouched) << "k=" << k;
        ASSERT_EQ(first[k], filled && k > 0 ? shortest[k] : untouched) << "k=" << k;
      }
      // cut_pieces lists the walk over the shortest first pieces, which ends at 0,
      // so they make up the rod, and their prices the revenue.
      table walk;
      std::int64_t total = 0;
      for (auto left = static_cast<std::size_t>(n); left > 0;
           left -= static_cast<std::size_t>(walk.back())) {
        walk.push_back(shortest[left]);
        total += p[static_cast<std::size_t>(walk.back())];
      }
      ASSERT_EQ(total, expected);
      ASSERT_TRUE(lists(first, n, walk));
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Solvers, AgreeWithReference, testing::ValuesIn(bottom_up_solvers()),
                         by_name);

// A table that describes no cutting of n, named with n.
struct refusal {
  const char* name;
  table first_piece;
  std::int32_t n;
};

class Refuses : public testing::TestWithParam<refusal> {};

TEST_P(Refuses, ATableOfNoCutting) {
  EXPECT_TRUE(lists(GetParam().first_piece, GetParam().n, {-1}));
}

INSTANTIATE_TEST_SUITE_P(
    CutPieces, Refuses,
    testing::Values(refusal{"zero_n2", {0, 1, 0}, 2},
                    refusal{"negative_n2", {0, 1, neg_infinity}, 2},
                    refusal{"longer_than_the_rod_n2", {0, 1, 3}, 2},
                    refusal{"longer_than_what_is_left_n3", {0, 2, 1, 1}, 3},
                    refusal{"filled_for_2_n10", {0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0}, max_length}),
    by_name);

// On a 64 KiB stack, where the memoized solver's n + 1 calls would not fit, nor
// anything that grows with n by four bytes a length.
TEST(BottomUp, LongRodOnASmallStack) {
  constexpr std::int32_t n = 20000;
  // Pieces of 1 sell for 1 and longer ones for nothing: the best is n pieces of 1.
  static table p(n + 1, 0);
  static table revenue(n + 1);
  static table first(n + 1);
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
