// The replaced global operator new and delete: in a file of their own, so that no caller sees the
// malloc under them and takes a delete for a mismatched free.
#include "tests/alloc/allocation_limit.h"

#include <cstdlib>
#include <new>

namespace {

long gAllocationsLeft = -1;
long gAllocationsMade = 0;

} // namespace

TAllocationLimit::TAllocationLimit(long n) {
    gAllocationsLeft = n;
    gAllocationsMade = 0;
}

TAllocationLimit::~TAllocationLimit() {
    gAllocationsLeft = -1;
}

long AllocationsMade() {
    return gAllocationsMade;
}

void* operator new(std::size_t size) {
    if (gAllocationsLeft == 0) throw std::bad_alloc();
    if (gAllocationsLeft > 0) --gAllocationsLeft;
    ++gAllocationsMade;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
