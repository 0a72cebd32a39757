// The bottom-up solver's variants, one for each instruction set this build
// compiles its kernel for, and the choice among them. bottom_up_revenue() runs
// the first that this machine may run; the tests run each, and hand the choice
// machines of their own. Internal: neither installed nor exported.
#pragma once

#include <cstdint>
#include <span>

namespace rod_cutting::detail {

// What a variant's code may use: instruction sets, as the processor reports
// them, and the registers whose state the operating system saves.
enum feature : std::uint32_t {
  sse3 = 1U << 0U,
  ssse3 = 1U << 1U,
  sse4_1 = 1U << 2U,
  sse4_2 = 1U << 3U,
  popcnt = 1U << 4U,
  xsave = 1U << 5U,
  avx = 1U << 6U,
  avx2 = 1U << 7U,
  fma = 1U << 8U,
  f16c = 1U << 9U,
  avx512f = 1U << 10U,
  // The register states the operating system saves (XCR0): of the 128-bit and
  // 256-bit registers, then of the masks and the 512-bit ones.
  sse_state = 1U << 11U,
  avx_state = 1U << 12U,
  opmask_state = 1U << 13U,
  zmm_hi256_state = 1U << 14U,
  hi16_zmm_state = 1U << 15U,
};
using feature_set = std::uint32_t;

// A variant's solver: bottom_up_revenue() for an `n` of 0 or more.
using bottom_up_function = std::int32_t (*)(const std::int32_t* prices, std::int32_t* revenue,
                                            std::int32_t* first_piece, std::int32_t n);

struct bottom_up_variant {
  const char* name;   // "avx512", "avx2" or "baseline"
  feature_set needs;  // every feature its code may use, the compiler's implied ones too
  bottom_up_function solve;
};

// bottom_up_variants()
//
// Returns every variant of this build, the fastest first: "avx512" and "avx2"
// in an x86-64 build by GCC or Clang, then "baseline", which needs nothing.
std::span<const bottom_up_variant> bottom_up_variants();

// machine_features()
//
// Returns the features of the machine this runs on, read once as the library
// is loaded (empty before that, so that the baseline runs).
feature_set machine_features();

// runnable_variants()
//
// Returns the variants whose every feature is in `machine`, in
// bottom_up_variants()' order: never none, since the baseline needs nothing.
// Each variant needs less than the one before it, so these are the last ones.
std::span<const bottom_up_variant> runnable_variants(feature_set machine);

}  // namespace rod_cutting::detail
