#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iosfwd>
#include <memory>
#include <string_view>

namespace rod_cutting::app {

// report_failure()
//
// Writes "PROGRAM: MESSAGE" to `err`, then ": " and the system's text for
// `reason` where it is not 0, and a line feed, in one write that needs no
// memory; returns 1, the exit status of a run that could not finish.
int report_failure(std::ostream& err, std::string_view program, std::string_view message,
                   int reason = 0);

// cannot_write()
//
// report_failure() for standard output, with errno's reason.
int cannot_write(std::ostream& err, std::string_view program);

struct free_memory {
  void operator()(std::int32_t* entries) const noexcept {
    std::free(entries);  // NOLINT(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
  }
};
using memory = std::unique_ptr<std::int32_t, free_memory>;

// allocate()
//
// Returns a table of `entries` 32-bit entries, or null where memory has run
// out: exhausted, malloc returns null, where new would throw and might find no
// room for the exception.
inline memory allocate(std::size_t entries) {
  // NOLINTNEXTLINE(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
  return memory(static_cast<std::int32_t*>(std::malloc(entries * sizeof(std::int32_t))));
}

}  // namespace rod_cutting::app
