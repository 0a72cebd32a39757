#include "rod_cutting/revenue.hpp"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reference.hpp"
#include "rod_cutting/bottom_up.hpp"

// A parameter prints as its name, not as its bytes.
namespace rod_cutting::detail {
void PrintTo(const bottom_up_variant& variant, std::ostream* out) { *out << variant.name; }
}  // namespace rod_cutting::detail

namespace {

using rod_cutting::bottom_up_revenue;
using rod_cutting::brute_force_revenue;
using rod_cutting::cut_pieces;
using rod_cutting::max_length;
using rod_cutting::memoized_revenue;
using rod_cutting::neg_infinity;
using rod_cutting::detail::machine_features;
using rod_cutting::detail::runnable_variants;
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

void PrintTo(const edge& param, std::ostream* out) { *out << param.name; }

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

// A price table and, for a hang's last line, what it is.
struct priced_table {
  std::string name;
  table prices;
};

// Short enough for the exhaustive solver: the built-in table, bests at exactly
// the 32-bit edges (at minus infinity all tie, and 1 is the shortest first
// piece), ties, random ones. Then rods long enough that the bottom-up
// solver's splits take several whole blocks of candidates: the best first
// piece on either side of a block edge, the best in the last block, the 32-bit
// edges, and so on. A call fills every length up to its n, so the long
// ones are solved at their longest n, and one less.
constexpr std::size_t short_rod = 16;
constexpr std::int32_t long_rod = 1100;
std::vector<priced_table> reference_tables() {
  constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
  std::vector<priced_table> tables{
      {"built-in", {prices.begin(), prices.end()}},
      {"minus infinity", {0, neg_infinity}},
      {"minus infinity in two", {0, -(1 << 30), neg_infinity}},
      {"highest", {0, highest}},
      {"highest in two", {0, 1, highest - 1, 0}},
      {"i", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}}};
  std::mt19937 rng(20261208);
  const auto priced = [&](std::string name, std::size_t size, auto price) {
    table p(size + 1, 0);
    for (std::size_t i = 1; i < p.size(); ++i) {
      p[i] = price(static_cast<std::int32_t>(i), std::uniform_int_distribution(-1000, 1000)(rng));
    }
    tables.push_back({std::move(name), p});
  };
  while (tables.size() < 200) {
    // Even at the largest bound a sum of 16 prices is far from overflow.
    const std::int32_t bound = std::array{10, 1000, 100000, 1, 0}.at(rng() % 5);
    priced("random within " + std::to_string(bound), short_rod,
           [&](auto, auto) { return std::uniform_int_distribution(-bound, bound)(rng); });
  }
  for (const std::int32_t edge : {0, 255, 256, 257, 300, 512, 513}) {
    priced("the best first piece at " + std::to_string(edge), long_rod,
           [&](auto i, auto) { return i < edge ? i - 1 : i; });
  }
  priced("squares", long_rod, [](auto i, auto) { return i * i; });
  priced("highest, less noise", long_rod,
         [](auto i, auto noise) { return i * (highest / long_rod) - noise % 4 - 3; });
  priced("lowest, with noise", long_rod,
         [](auto i, auto noise) { return i * (neg_infinity / long_rod) + noise % 4 + 3; });
  priced("all negative", long_rod, [](auto, auto noise) { return -1 - noise % 1000 - 1000; });
  priced("-1, 0 and 1", long_rod, [](auto, auto noise) { return noise % 2; });
  priced("random", long_rod, [](auto, auto noise) { return noise + 1000; });
  // A best piece of 97 and scraps: long first pieces, and splits that beat them.
  priced("long best pieces", long_rod,
         [](auto i, auto noise) { return i % 97 == 0 ? 1000 * (i / 97) + 5 : noise % 5; });
  return tables;
}

// The exhaustive and memoized solvers, on the short tables: every length, on
// fresh memo tables and on one that earlier calls filled.
TEST(Solvers, AgreeWithReference) {
  ASSERT_EQ(reference::best_revenues(prices, max_length),
            (std::vector<std::int64_t>{best.begin(), best.end()}));
  for (const auto& [name, p] : reference_tables()) {
    if (p.size() > short_rod + 1) {
      continue;
    }
    SCOPED_TRACE(name + ", prices " + whole(p));
    const auto longest = static_cast<std::int32_t>(p.size() - 1);
    const auto want = reference::best_revenues(p, longest);
    auto shared_memo = fresh_memo(p.size());
    for (std::int32_t n = 0; n <= longest; ++n) {
      SCOPED_TRACE("n=" + std::to_string(n));
      const auto expected = want[static_cast<std::size_t>(n)];
      auto memo = fresh_memo(p.size() + 1);
      ASSERT_EQ(brute_force_revenue(p.data(), n), expected);
      ASSERT_EQ(memoized_revenue(p.data(), shared_memo.data(), n), expected);
      ASSERT_EQ(memoized_revenue(p.data(), memo.data(), n), expected);
      for (std::size_t k = 0; k < memo.size(); ++k) {
        ASSERT_EQ(memo[k], k <= static_cast<std::size_t>(n) ? want[k] : neg_infinity) << "k=" << k;
      }
    }
  }
}

// bottom_up_revenue() itself, and each variant this machine runs.
std::vector<rod_cutting::detail::bottom_up_variant> bottom_up_solvers() {
  std::vector<rod_cutting::detail::bottom_up_variant> solvers{
      {"bottom_up_revenue", 0, bottom_up_revenue}};
  std::ranges::copy(runnable_variants(machine_features()), std::back_inserter(solvers));
  return solvers;
}

class AgreeWithReference : public testing::TestWithParam<rod_cutting::detail::bottom_up_variant> {};

// Each table is named, and flushed, before it runs: a hang or a crash ends
// the output with the table it happened on.
TEST_P(AgreeWithReference, AtEveryLength) {
  const auto tables = reference_tables();
  for (std::size_t round = 0; round < tables.size(); ++round) {
    const auto& [name, p] = tables[round];
    std::cout << "table " << round << ": " << name << std::endl;
    SCOPED_TRACE("table " + std::to_string(round) + ": " + name + ", prices " + whole(p));
    const auto longest = static_cast<std::int32_t>(p.size() - 1);
    const auto want = reference::best_revenues(p, longest);
    const auto shortest = reference::shortest_first_pieces(p, want);
    for (std::int32_t n = p.size() > short_rod + 1 ? longest - 1 : 0; n <= longest; ++n) {
      SCOPED_TRACE("n=" + std::to_string(n));
      // On fresh tables, each fills lengths 0 to n alone, with the shortest first pieces.
      table revenue(p.size() + 1, untouched);
      table first(p.size() + 1, untouched);
      ASSERT_EQ(GetParam().solve(p.data(), revenue.data(), first.data(), n),
                want[static_cast<std::size_t>(n)]);
      for (std::size_t k = 0; k < revenue.size(); ++k) {
        const bool filled = k <= static_cast<std::size_t>(n);
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
      ASSERT_EQ(total, want[static_cast<std::size_t>(n)]);
      ASSERT_TRUE(lists(first, n, walk));
    }
  }
}
INSTANTIATE_TEST_SUITE_P(BottomUp, AgreeWithReference, testing::ValuesIn(bottom_up_solvers()),
                         by_name);

// A table that describes no cutting of n, named with n.
struct refusal {
  const char* name;
  table first_piece;
  std::int32_t n;
};

void PrintTo(const refusal& param, std::ostream* out) { *out << param.name; }

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

// On a stack of 64 KiB, or the platform's least, where the memoized solver's
// n + 1 calls would not fit, nor anything that grows with n by four bytes a
// length: n outgrows a larger stack.
TEST(BottomUp, LongRodOnASmallStack) {
#ifdef PTHREAD_STACK_MIN
  static const auto least = static_cast<std::size_t>(PTHREAD_STACK_MIN);
#else
  static const std::size_t least = 0;  // MinGW's threads set none
#endif
  static const std::size_t stack = std::max(std::size_t{64} * 1024, least);
  static const auto n = static_cast<std::int32_t>(std::max<std::size_t>(20000, stack / 4 + 1000));
  // Pieces of 1 sell for 1 and longer ones for nothing: the best is n pieces of 1.
  SCOPED_TRACE("a stack of " + std::to_string(stack) + " bytes, n=" + std::to_string(n) +
               ", prices 1 for a piece of 1 and 0 for longer ones");
  static table p(static_cast<std::size_t>(n) + 1, 0);
  static table revenue(p.size());
  static table first(p.size());
  p[1] = 1;
  const auto solve = [](void* /*unused*/) -> void* {
    bottom_up_revenue(p.data(), revenue.data(), first.data(), n);
    return nullptr;
  };
  pthread_attr_t small_stack{};
  pthread_t thread{};
  ASSERT_TRUE(pthread_attr_init(&small_stack) == 0 &&
              pthread_attr_setstacksize(&small_stack, stack) == 0 &&
              pthread_create(&thread, &small_stack, solve, nullptr) == 0 &&
              pthread_join(thread, nullptr) == 0);
  EXPECT_EQ(revenue.back(), n);
  EXPECT_EQ(first.back(), 1);
}

}  // namespace
