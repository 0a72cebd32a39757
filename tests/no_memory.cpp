// Linked into a copy of the program so that every allocation through malloc
// fails, as in an exhausted address space, until the program exits: code that
// runs at exit (the coverage runtime writing its counts) still gets memory.
// AddressSanitizer owns malloc, so this cannot stand in front of it.
#include <cstddef>
#include <cstdlib>

namespace {
bool exhausted = true;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
}  // namespace

// glibc's allocator, which this malloc stands in front of.
extern "C" void* __libc_malloc(std::size_t size);  // NOLINT(bugprone-reserved-identifier)

extern "C" void* malloc(std::size_t size) { return exhausted ? nullptr : __libc_malloc(size); }

// Handlers registered with atexit run before the coverage runtime's destructor.
[[gnu::constructor]] void refill_at_exit() {
  std::atexit([] { exhausted = false; });
}
