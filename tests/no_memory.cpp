// Linked into a copy of the program so that every allocation fails: the way to
// watch the program meet an exhausted heap without exhausting one.
#include <cstddef>
#include <new>

void* operator new(std::size_t /*size*/) { throw std::bad_alloc(); }
