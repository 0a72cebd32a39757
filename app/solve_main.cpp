#include <iostream>
#include <span>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "solve.hpp"

int main(int argc, char** argv) {
#ifdef _WIN32
  // The input's bytes as they are: a CR is a separator, not half a line end.
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  return rod_cutting::app::solve(std::span(argv + 1, argv + argc), std::cin, std::cout, std::cerr);
}
