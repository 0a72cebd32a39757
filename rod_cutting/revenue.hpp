// rod_cutting: the best revenue for cutting a rod into pieces of whole-number
// lengths, each length with its price, and how to cut it. Free functions over
// caller-owned tables: they allocate nothing, print nothing and keep no state.
// Prices may be negative, for every solver; a rod of any length works that the
// caller's tables cover and whose sums fit in 32 bits.
// Usable from C++17 on. The generated export header, included below, also
// defines ROD_CUTTING_VERSION_MAJOR, _MINOR and _PATCH.
#pragma once

#include <cstdint>
#include <limits>

#include "rod_cutting/export.hpp"

namespace rod_cutting {

// ROD_CUTTING_EXPORT marks the four functions as the library's whole interface:
// a shared library exports them alone, and on Windows its users import them
// from the DLL.

// Minus infinity: the starting best value of every solver, and the value a
// memo table starts with at every entry.
inline constexpr std::int32_t neg_infinity = std::numeric_limits<std::int32_t>::min();

// The longest rod the program's built-in price table can price; that table,
// like the program's memo table, has `max_length + 1` entries. It bounds only
// those tables: the solvers take any length that the caller's tables cover.
inline constexpr std::int32_t max_length = 10;

// The length the program solves, likewise no bound on the solvers.
inline constexpr std::int32_t rod_length = 10;

// brute_force_revenue()
//
// Returns the largest revenue obtainable by cutting a rod of length `n` into
// pieces priced by `prices`, where `prices[i]` is the price of a piece of
// length i (the uncut rod counts as one piece). It tries every length for the
// first piece and solves the rest afresh, so it makes 2^n calls in all: keep
// `n` small. The recursion is n + 1 calls deep.
//
// Preconditions: entries 1 to `n` of `prices` exist (entry 0 is never read),
// and the prices of every cutting of every length up to `n` sum within 32
// bits. A length of 0 returns 0 without reading `prices`; a negative length
// returns `neg_infinity` without reading it.
//
// Example:
//
//   const std::int32_t prices[] = {0, 1, 5, 8, 9};
//   rod_cutting::brute_force_revenue(prices, 4);   // 10: two pieces of 2
//   rod_cutting::brute_force_revenue(prices, 1);   // 1
//   rod_cutting::brute_force_revenue(prices, 0);   // 0
//   rod_cutting::brute_force_revenue(prices, -1);  // neg_infinity
[[nodiscard]] ROD_CUTTING_EXPORT std::int32_t brute_force_revenue(const std::int32_t* prices,
                                                                  std::int32_t n);

// memoized_revenue()
//
// Returns the same revenue as `brute_force_revenue(prices, n)`, computing each
// length once and remembering it in `memo`: 1 + n(n+1)/2 calls on a fresh
// table with non-negative prices. The recursion is n + 1 calls deep, so the
// longest length it can take is set by the caller's stack.
//
// `memo[k]` holds the best revenue for length k when it is 0 or more; a
// negative entry means "not computed yet". The call stores its result in
// `memo[n]` and in the entry of every shorter length it had to compute, so
// later calls on the same table reuse them. An entry that is 0 or more is
// trusted as it stands. A best revenue below 0 (only possible with negative
// prices) is stored but, being negative, is recomputed at every request.
//
// Preconditions: `memo` has at least `n + 1` entries, every one either
// `neg_infinity` (fill the whole table before the first call) or a result
// from an earlier call with the same `prices`; entries 1 to `n` of `prices`
// exist; the prices of every cutting of every length up to `n` sum within 32
// bits. A negative `n` returns `neg_infinity` and reads neither table.
//
// Example:
//
//   const std::int32_t prices[] = {0, 1, 5, 8, 9};
//   std::int32_t memo[5];
//   std::fill(std::begin(memo), std::end(memo), rod_cutting::neg_infinity);
//   rod_cutting::memoized_revenue(prices, memo, 4);  // 10
//   // memo now holds 0, 1, 5, 8, 10.
//   rod_cutting::memoized_revenue(prices, memo, 3);  // 8, read from memo[3]
//
// Not [[nodiscard]]: a call may be made only to fill `memo`.
ROD_CUTTING_EXPORT std::int32_t memoized_revenue(const std::int32_t* prices, std::int32_t* memo,
                                                 std::int32_t n);

// bottom_up_revenue()
//
// Returns the same revenue as `brute_force_revenue(prices, n)`, and records how
// to cut. It fills `revenue[k]` with the best revenue of every length k from 0
// to n, shorter lengths first, and `first_piece[k]` with the length of the
// first piece of a best cutting of every length k from 1 to n: of the first
// pieces that reach the best, the shortest. The pieces of a best cutting of n
// are then `first_piece[n]`, followed by those of `n - first_piece[n]`, down to
// 0, as `cut_pieces` lists them. It never recurses and allocates nothing, so
// any length its tables cover works on any stack. It takes each length from
// the best of the rod sold whole and about n/2 splits into two best cuttings,
// in the widest vector instructions the machine has: the tables are the same
// on every machine.
//
// Preconditions: `revenue` and `first_piece` have at least `n + 1` entries,
// which need no preparing; entries 1 to `n` of `prices` exist; the three
// tables do not overlap; the prices of every cutting of every length up to
// `n` sum within 32 bits. `first_piece[0]` is never written. A negative `n`
// returns `neg_infinity` and touches no table.
//
// Example:
//
//   const std::int32_t prices[] = {0, 1, 5, 8, 9};
//   std::int32_t revenue[5];
//   std::int32_t first_piece[5];
//   rod_cutting::bottom_up_revenue(prices, revenue, first_piece, 4);  // 10
//   // revenue now holds 0, 1, 5, 8, 10, and first_piece[1] to [4] hold
//   // 1, 2, 3, 2: a rod of 4 is cut as 2, and the 2 left as 2.
//
// Not [[nodiscard]]: a call may be made only to fill the tables.
ROD_CUTTING_EXPORT std::int32_t bottom_up_revenue(const std::int32_t* prices, std::int32_t* revenue,
                                                  std::int32_t* first_piece, std::int32_t n);

// cut_pieces()
//
// Lists the pieces of the best cutting of `n` that `bottom_up_revenue` recorded
// in `first_piece`, filled for n or for any longer length over the same prices:
// `first_piece[n]` into `pieces[0]`, then the first piece of what is left into
// `pieces[1]`, and so on down to 0. Returns their number.
//
// Returns -1, and writes nothing, when `n` is negative, or when the walk meets
// an entry that is not a length from 1 to what is left, as in a table not
// filled for n: it checks the whole walk before writing. It reads no entry of
// `first_piece` outside 1 to `n` and takes at most n steps, so it always ends.
//
// Preconditions: `first_piece` has at least `n + 1` entries, and `pieces` room
// for every piece, which does not overlap them: a cutting of n has at most n
// pieces, so n entries always do. A length of 0 returns 0 and a negative one
// -1; neither reads or writes a table.
//
// Example:
//
//   const std::int32_t prices[] = {0, 1, 5, 8, 9};
//   std::int32_t revenue[5];
//   std::int32_t first_piece[5];
//   std::int32_t pieces[4];
//   rod_cutting::bottom_up_revenue(prices, revenue, first_piece, 4);  // 10
//   rod_cutting::cut_pieces(first_piece, 4, pieces);  // 2: pieces holds 2, 2
//   rod_cutting::cut_pieces(first_piece, 3, pieces);  // 1: pieces holds 3
[[nodiscard]] ROD_CUTTING_EXPORT std::int32_t cut_pieces(const std::int32_t* first_piece,
                                                         std::int32_t n, std::int32_t* pieces);

}  // namespace rod_cutting
