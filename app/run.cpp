#include "run.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "failure.hpp"
#include "rod_cutting/revenue.hpp"

namespace rod_cutting::app {
namespace {

constexpr std::string_view program = "rod_cutting";

// Flushing each line at once lets a reader see the first answer while the
// second is still being computed.
bool write_line(std::ostream& out, std::string_view label, std::int32_t value) {
  errno = 0;  // so that a reason found after the flush belongs to this write
  out << label << value << '\n' << std::flush;
  return !out.fail();
}

}  // namespace

// Output first, errors second, as with any Unix tool's descriptors.
int run(std::ostream& out, std::ostream& err) {  // NOLINT(bugprone-easily-swappable-parameters)
  const std::array<std::int32_t, max_length + 1> price_table{0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};

  if (!write_line(out, "Brute Force : ", brute_force_revenue(price_table.data(), rod_length))) {
    return cannot_write(err, program);
  }

  const memory memo_table = allocate(price_table.size());
  if (!memo_table) {
    return report_failure(err, program, "out of memory");
  }
  std::fill_n(memo_table.get(), price_table.size(), neg_infinity);

  if (!write_line(out, "Dynamic Programming : ",
                  memoized_revenue(price_table.data(), memo_table.get(), rod_length))) {
    return cannot_write(err, program);
  }
  return 0;
}

}  // namespace rod_cutting::app
