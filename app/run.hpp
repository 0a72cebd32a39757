#pragma once

#include <iosfwd>

namespace rod_cutting::app {

// run()
//
// The whole program: solves the built-in instance by both solvers and writes
// the report to `out`, one line per solver, flushing each line as it is
// written. Returns the exit status: 0 after a complete report, or 1 after one
// line on `err` when `out` cannot be written or the memo table cannot be
// allocated.
//
// `main` passes `std::cout` and `std::cerr`; tests pass streams they watch.
[[nodiscard]] int run(std::ostream& out, std::ostream& err);

}  // namespace rod_cutting::app
