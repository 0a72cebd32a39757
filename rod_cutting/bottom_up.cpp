#include "rod_cutting/bottom_up.hpp"

#include <array>

#if ROD_CUTTING_X86_VARIANTS
#include <cpuid.h>
#endif

namespace rod_cutting::detail {

// Each instruction set's kernel, compiled from bottom_up_kernel.cpp.
// NOLINTBEGIN(bugprone-easily-swappable-parameters): bottom_up_revenue()'s order
namespace kernels {
namespace baseline {
std::int32_t solve(const std::int32_t* prices, std::int32_t* revenue, std::int32_t* first_piece,
                   std::int32_t n);
}  // namespace baseline
#if ROD_CUTTING_X86_VARIANTS
namespace avx2 {
std::int32_t solve(const std::int32_t* prices, std::int32_t* revenue, std::int32_t* first_piece,
                   std::int32_t n);
}  // namespace avx2
namespace avx512 {
std::int32_t solve(const std::int32_t* prices, std::int32_t* revenue, std::int32_t* first_piece,
                   std::int32_t n);
}  // namespace avx512
#endif
}  // namespace kernels
// NOLINTEND(bugprone-easily-swappable-parameters)

namespace {

#if ROD_CUTTING_X86_VARIANTS
// -mavx2 brings AVX and the SSE sets below it, with XSAVE by GCC and POPCNT by
// GCC's SSE4.2; -mavx512f brings FMA and F16C by Clang.
constexpr feature_set avx2_needs =
    sse3 | ssse3 | sse4_1 | sse4_2 | popcnt | xsave | avx | avx2 | ymm_state;
constexpr feature_set avx512_needs = avx2_needs | fma | f16c | avx512f | zmm_state;
#endif

constexpr std::array variants {
#if ROD_CUTTING_X86_VARIANTS
  bottom_up_variant{"avx512", avx512_needs, kernels::avx512::solve},
      bottom_up_variant{"avx2", avx2_needs, kernels::avx2::solve},
#endif
      bottom_up_variant{"baseline", 0, kernels::baseline::solve},
};

#if ROD_CUTTING_X86_VARIANTS
// No branch here, so that one machine's tests reach every line's branches.
constexpr feature_set when(std::uint64_t reg, unsigned int bit, feature_set features) {
  return static_cast<feature_set>((reg >> bit) & 1U) * features;
}

// The processor's own report (CPUID), and which register states the operating
// system saves (XCR0, readable where it says so by OSXSAVE).
feature_set read_features() {
  unsigned int eax = 0;
  unsigned int ebx = 0;
  unsigned int ecx = 0;
  unsigned int edx = 0;
  const unsigned int highest_leaf = __get_cpuid_max(0, nullptr);
  __cpuid(1, eax, ebx, ecx, edx);
  const feature_set leaf1 = when(ecx, 0, sse3) | when(ecx, 9, ssse3) | when(ecx, 12, fma) |
                            when(ecx, 19, sse4_1) | when(ecx, 20, sse4_2) | when(ecx, 23, popcnt) |
                            when(ecx, 26, xsave) | when(ecx, 28, avx) | when(ecx, 29, f16c);
  std::uint64_t xcr0 = 0;
  if (((ecx >> 27U) & 1U) != 0) {  // GCOVR_EXCL_BR_LINE: every x86-64 system tested sets it
    unsigned int low = 0;
    unsigned int high = 0;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    xcr0 = (std::uint64_t{high} << 32U) | low;
  }
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  ebx *= static_cast<unsigned int>(highest_leaf >= 7);  // a missing leaf reads as another
  constexpr std::uint64_t ymm = 0x6;                    // SSE and AVX state
  constexpr std::uint64_t zmm = ymm | 0xe0;             // and the opmask and upper ZMM states
  return leaf1 | when(ebx, 5, avx2) | when(ebx, 16, avx512f) |
         when(static_cast<std::uint64_t>((xcr0 & ymm) == ymm), 0, ymm_state) |
         when(static_cast<std::uint64_t>((xcr0 & zmm) == zmm), 0, zmm_state);
}
#else
feature_set read_features() { return 0; }
#endif

// Read as the library loads. A static initializer that runs first sees no
// feature yet, and so the baseline, which runs anywhere.
const feature_set this_machine = read_features();

}  // namespace

std::span<const bottom_up_variant> bottom_up_variants() { return variants; }

feature_set machine_features() { return this_machine; }

std::span<const bottom_up_variant> runnable_variants(feature_set machine) {
  std::span<const bottom_up_variant> runnable = variants;
  while ((runnable.front().needs & ~machine) != 0) {
    runnable = runnable.subspan(1);
  }
  return runnable;
}

}  // namespace rod_cutting::detail
