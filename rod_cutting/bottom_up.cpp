#include "rod_cutting/bottom_up.hpp"

#include <array>
#include <type_traits>

#if ROD_CUTTING_X86_VARIANTS
#include <cpuid.h>
#endif

namespace rod_cutting::detail {

// Each instruction set's kernel, compiled from bottom_up_kernel.cpp.
namespace kernels {
using kernel = std::remove_pointer_t<bottom_up_function>;
namespace baseline {
kernel solve;
}  // namespace baseline
#if ROD_CUTTING_X86_VARIANTS
namespace avx2 {
kernel solve;
}  // namespace avx2
namespace avx512 {
kernel solve;
}  // namespace avx512
#endif
}  // namespace kernels

namespace {

#if ROD_CUTTING_X86_VARIANTS
// -mavx2 brings AVX and the SSE sets below it, with XSAVE by GCC and POPCNT by
// GCC's SSE4.2; -mavx512f brings FMA and F16C by Clang.
constexpr feature_set avx2_needs =
    sse3 | ssse3 | sse4_1 | sse4_2 | popcnt | xsave | avx | avx2 | sse_state | avx_state;
constexpr feature_set avx512_needs =
    avx2_needs | fma | f16c | avx512f | opmask_state | zmm_hi256_state | hi16_zmm_state;
#endif

constexpr std::array variants {
#if ROD_CUTTING_X86_VARIANTS
  bottom_up_variant{"avx512", avx512_needs, kernels::avx512::solve},
      bottom_up_variant{"avx2", avx2_needs, kernels::avx2::solve},
#endif
      bottom_up_variant{"baseline", 0, kernels::baseline::solve},
};

#if ROD_CUTTING_X86_VARIANTS
struct cpuid_bit {
  unsigned int bit;
  feature_set feature;
};
// CPUID leaf 1's ECX, and leaf 7's EBX.
constexpr std::array leaf1_ecx{cpuid_bit{0, sse3},    cpuid_bit{9, ssse3},   cpuid_bit{12, fma},
                               cpuid_bit{19, sse4_1}, cpuid_bit{20, sse4_2}, cpuid_bit{23, popcnt},
                               cpuid_bit{26, xsave},  cpuid_bit{28, avx},    cpuid_bit{29, f16c}};
constexpr std::array leaf7_ebx{cpuid_bit{5, avx2}, cpuid_bit{16, avx512f}};
constexpr std::array xcr0_bits{cpuid_bit{1, sse_state}, cpuid_bit{2, avx_state},
                               cpuid_bit{5, opmask_state}, cpuid_bit{6, zmm_hi256_state},
                               cpuid_bit{7, hi16_zmm_state}};
constexpr unsigned int osxsave_bit = 27;  // in leaf 1's ECX
constexpr unsigned int leaf7 = 7;

// No branch but the loop's, so that one machine's tests reach every branch.
feature_set features_in(unsigned int reg, std::span<const cpuid_bit> bits) {
  feature_set features = 0;
  for (const auto& [bit, feature] : bits) {
    features |= ((reg >> bit) & 1U) * feature;
  }
  return features;
}

// The processor's own report (CPUID), and which register states the operating
// system saves (XCR0, readable where OSXSAVE says so).
feature_set read_features() {
  unsigned int eax = 0;
  unsigned int ebx = 0;
  unsigned int ecx = 0;
  unsigned int edx = 0;
  const auto highest_leaf = static_cast<unsigned int>(__get_cpuid_max(0U, nullptr));
  __cpuid(1, eax, ebx, ecx, edx);
  feature_set features = features_in(ecx, leaf1_ecx);
  if (((ecx >> osxsave_bit) & 1U) != 0) {  // GCOVR_EXCL_BR_LINE: set on every machine tested
    unsigned int low = 0;
    unsigned int high = 0;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    features |= features_in(low, xcr0_bits);
  }
  __cpuid_count(leaf7, 0, eax, ebx, ecx, edx);
  ebx *= static_cast<unsigned int>(highest_leaf >= leaf7);  // a missing leaf reads as another
  return features | features_in(ebx, leaf7_ebx);
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
