// The bottom-up solver's variants, one for each instruction set this build
// compiles it for. bottom_up_revenue() runs the fastest this machine has; the
// tests run each. Internal: neither installed nor exported.
#pragma once

#include <cstdint>
#include <span>

namespace rod_cutting::detail {

// A variant's solver: bottom_up_revenue() for an `n` of 0 or more.
using bottom_up_function = std::int32_t (*)(const std::int32_t* prices, std::int32_t* revenue,
                                            std::int32_t* first_piece, std::int32_t n);

struct bottom_up_variant {
  const char* name;  // the instruction set: "avx512", "avx2" or "baseline"
  bottom_up_function solve;
};

// bottom_up_variants()
//
// Returns the variants of this build that this machine runs, the fastest
// first: "avx512" and "avx2", which x86-64 ELF builds by GCC or Clang make,
// where the machine has them, then "baseline", portable C++, which runs
// anywhere.
std::span<const bottom_up_variant> bottom_up_variants();

}  // namespace rod_cutting::detail
