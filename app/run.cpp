#include "run.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

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

// The line is put together on the stack and written whole: one write cannot be
// split by another process's output, and it needs no memory when there is none.
int report_failure(std::ostream& err, std::string_view message, int reason = 0) {
  std::array<char, 160> line{};
  std::size_t used = 0;
  const auto append = [&line, &used](std::string_view part) {
    used += part.copy(line.data() + used, line.size() - 1 - used);  // leaves room for '\n'
  };
  append("rod_cutting: ");
  append(message);
  if (reason != 0) {
    append(": ");
    append(std::strerror(reason));
  }
  line.at(used++) = '\n';
  err.write(line.data(), static_cast<std::streamsize>(used)).flush();
  return failure;
}

int cannot_write(std::ostream& err) {
  return report_failure(err, "cannot write to standard output", errno);
}

struct free_memory {
  void operator()(std::int32_t* entries) const noexcept {
    std::free(entries);  // NOLINT(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
  }
};
using memory = std::unique_ptr<std::int32_t, free_memory>;

// Exhausted, malloc returns null; new would throw and may find no room for the exception.
memory allocate(std::size_t entries) {
  // NOLINTNEXTLINE(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
  return memory(static_cast<std::int32_t*>(std::malloc(entries * sizeof(std::int32_t))));
}

}  // namespace

// Output first, errors second, as with any Unix tool's descriptors.
int run(std::ostream& out, std::ostream& err) {  // NOLINT(bugprone-easily-swappable-parameters)
  const std::array<std::int32_t, max_length + 1> price_table{0, 1, 5, 8, 9, 10, 17, 17, 20, 24, 30};

  if (!write_line(out, "Brute Force : ", brute_force_revenue(price_table.data(), rod_length))) {
    return cannot_write(err);
  }

  const memory memo_table = allocate(price_table.size());
  if (!memo_table) {
    return report_failure(err, "out of memory");
  }
  std::fill_n(memo_table.get(), price_table.size(), neg_infinity);

  if (!write_line(out, "Dynamic Programming : ",
                  memoized_revenue(price_table.data(), memo_table.get(), rod_length))) {
    return cannot_write(err);
  }
  return 0;
}

}  // namespace rod_cutting::app
