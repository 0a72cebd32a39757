#include "run.hpp"

#include <array>
#include <cerrno>
#include <cstdint>
#include <new>
#include <ostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "rod_cutting/revenue.hpp"

namespace rod_cutting::app {
namespace {

constexpr int failure = 1;

// Flushing each line at once lets a reader see the first answer while the
// second is still being computed.
bool write_line(std::ostream& out, std::string_view label, std::int32_t value) {
  errno = 0;  // so that a reason found after the flush belongs to this write
  out << label << value << '\n' << std::flush;
  return !out.fail();
}

int report_failure(std::ostream& err, std::string_view message, int reason = 0) {
  err << "rod_cutting: " << message;
  if (reason != 0) {
    err << ": " << std::generic_category().message(reason);
  }
  err << '\n' << std::flush;
  return failure;
}

int cannot_write(std::ostream& err) {
  return report_failure(err, "cannot write to standard output", errno);
}

}  // namespace

// Output first, errors second, as with any Unix tool's descriptors.
int run(std::ostream& out, std::ostream& err) {  // NOLINT(bugprone-easily-swappable-parameters)
  const std::array<std::int32_t, max_length + 1> price_table{0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};

  if (!write_line(out, "Brute Force : ", brute_force_revenue(price_table.data(), rod_length))) {
    return cannot_write(err);
  }

  std::vector<std::int32_t> memo_table;
  try {
    memo_table.assign(price_table.size(), neg_infinity);
  } catch (const std::bad_alloc&) {
    return report_failure(err, "out of memory");
  }

  if (!write_line(out, "Dynamic Programming : ",
                  memoized_revenue(price_table.data(), memo_table.data(), rod_length))) {
    return cannot_write(err);
  }
  return 0;
}

}  // namespace rod_cutting::app
