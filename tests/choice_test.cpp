// Which bottom-up variant a machine runs: only one whose every feature it has,
// and of those the fastest; and this machine's features as its processor and
// operating system report them, read apart from the library.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "rod_cutting/bottom_up.hpp"

namespace {

namespace detail = rod_cutting::detail;
using detail::feature_set;

constexpr feature_set everything = ~feature_set{0};
// A Zen 3: AVX2 and FMA, no AVX-512.
constexpr feature_set zen3 = detail::sse3 | detail::ssse3 | detail::sse4_1 | detail::sse4_2 |
                             detail::popcnt | detail::xsave | detail::avx | detail::avx2 |
                             detail::fma | detail::f16c | detail::sse_state | detail::avx_state;

// What the machines run first where the build has the x86-64 variants, as one
// by GCC or Clang has; other builds have the baseline alone.
struct machine {
  const char* name;
  feature_set features;
  const char* first;
};
const std::vector<machine> machines{
    {"none", 0, "baseline"},
    {"zen3", zen3, "avx2"},
    {"zen3 whose system saves no ymm", zen3 & ~detail::avx_state, "baseline"},
    {"zen3 without popcnt", zen3 & ~detail::popcnt, "baseline"},
    {"all", everything, "avx512"},
    {"avx512f without avx2", everything & ~detail::avx2, "baseline"},
    {"avx512f whose system saves no zmm", everything & ~detail::hi16_zmm_state, "avx2"},
    {"avx512f whose system saves no masks", everything & ~detail::opmask_state, "avx2"},
    {"avx512f without fma", everything & ~detail::fma, "avx2"},
    {"avx512f without f16c", everything & ~detail::f16c, "avx2"},
};

TEST(Choice, OffersOnlyWhatAMachineHasFastestFirst) {
  const auto variants = detail::bottom_up_variants();
  const bool x86_variants = variants.size() > 1;
  // Each variant needs less than the one before it, and the last needs nothing.
  for (std::size_t i = 1; i < variants.size(); ++i) {
    EXPECT_TRUE((variants[i].needs & ~variants[i - 1].needs) == 0 &&
                variants[i].needs != variants[i - 1].needs)
        << variants[i].name << " after " << variants[i - 1].name;
  }
  EXPECT_EQ(variants.back().needs, 0U) << variants.back().name;

  for (const auto& [name, features, first] : machines) {
    const auto offered = detail::runnable_variants(features);
    for (const auto& variant : offered) {
      EXPECT_EQ(variant.needs & ~features, 0U) << name << " is offered " << variant.name;
    }
    EXPECT_STREQ(offered.front().name, x86_variants ? first : "baseline") << name;
  }
}

#if defined(__x86_64__)
// The flags Linux reports for each feature: it lists none that it does not let programs use.
struct flag {
  feature_set feature;
  const char* name;
};
const std::vector<flag> flags{
    {detail::sse3, "pni"},      {detail::ssse3, "ssse3"},    {detail::sse4_1, "sse4_1"},
    {detail::sse4_2, "sse4_2"}, {detail::popcnt, "popcnt"},  {detail::xsave, "xsave"},
    {detail::avx, "avx"},       {detail::avx2, "avx2"},      {detail::fma, "fma"},
    {detail::f16c, "f16c"},     {detail::avx512f, "avx512f"}};

TEST(Choice, ThisMachineRunsItsBest) {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line) && line.rfind("flags", 0) != 0) {
  }
  if (line.empty()) {
    GTEST_SKIP() << "no /proc/cpuinfo to check the machine's features against";
  }
  std::istringstream words(line);
  const std::vector<std::string> reported{std::istream_iterator<std::string>(words), {}};
  feature_set expected = 0;
  for (const auto& [feature, name] : flags) {
    expected |= std::ranges::count(reported, name) != 0 ? feature : 0U;
  }
  if ((expected & detail::xsave) != 0) {  // Linux turns OSXSAVE on with XSAVE
    unsigned int low = 0;
    unsigned int high = 0;
    asm("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    for (const auto& [bit, state] : {std::pair{1U, detail::sse_state},
                                     {2U, detail::avx_state},
                                     {5U, detail::opmask_state},
                                     {6U, detail::zmm_hi256_state},
                                     {7U, detail::hi16_zmm_state}}) {
      expected |= ((low >> bit) & 1U) != 0 ? feature_set{state} : 0;
    }
  }
  EXPECT_EQ(detail::machine_features(), expected) << line;

  const auto runnable = [&](const auto& variant) { return (variant.needs & ~expected) == 0; };
  EXPECT_STREQ(detail::runnable_variants(detail::machine_features()).front().name,
               std::ranges::find_if(detail::bottom_up_variants(), runnable)->name);
}
#endif

}  // namespace
