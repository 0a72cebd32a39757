#pragma once

#include <iosfwd>
#include <span>

namespace rod_cutting::app {

// solve()
//
// The whole rod_cutting_solve program: reads prices from `in`, which it trusts
// in nothing, solves the rod that `args` (the arguments after the program's
// name) ask for, and writes the answer to `out`. Returns the exit status: 0
// after an answer, or `--help` or `--version`; 2 after one line on `err` for
// bad input or usage, with nothing on `out`; 1 after one line on `err` when
// `out` cannot be written or memory runs out.
//
// `main` passes its own arguments, standard input in binary mode, `std::cout`
// and `std::cerr`; the fuzzer passes streams it watches. It allocates nothing
// before `solve`, which reports any allocation that fails.
[[nodiscard]] int solve(std::span<const char* const> args, std::istream& in, std::ostream& out,
                        std::ostream& err);

}  // namespace rod_cutting::app
