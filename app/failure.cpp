#include "failure.hpp"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <ostream>

namespace rod_cutting::app {

// The line is put together on the stack and written whole: one write cannot be
// split by another process's output, and it needs no memory when there is none.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the words in the order they print
int report_failure(std::ostream& err, std::string_view program, std::string_view message,
                   int reason) {
  std::array<char, 160> line{};
  std::size_t used = 0;
  const auto append = [&line, &used](std::string_view part) {
    used += part.copy(line.data() + used, line.size() - 1 - used);  // leaves room for '\n'
  };
  append(program);
  append(": ");
  append(message);
  if (reason != 0) {
    append(": ");
    append(std::strerror(reason));
  }
  line.at(used++) = '\n';
  err.write(line.data(), static_cast<std::streamsize>(used)).flush();
  return 1;
}

int cannot_write(std::ostream& err, std::string_view program) {
  return report_failure(err, program, "cannot write to standard output", errno);
}

}  // namespace rod_cutting::app
