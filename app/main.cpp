#include <iostream>

#include "run.hpp"

int main() { return rod_cutting::app::run(std::cout, std::cerr); }
