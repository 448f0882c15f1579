// The replaced global operator new and delete: in a file of their own, so that no caller sees the
// malloc under them and takes a delete for a mismatched free.
#include "tests/alloc/allocation_limit.h"

#include <cstdint>
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

namespace {

// True while the limit lets one more allocation through; counts it.
bool MayAllocate() {
    if (gAllocationsLeft == 0) return false;
    if (gAllocationsLeft > 0) --gAllocationsLeft;
    ++gAllocationsMade;
    return true;
}

void* Allocate(std::size_t size) {
    return MayAllocate() ? std::malloc(size == 0 ? 1 : size) : nullptr;
}

// An over-aligned block from malloc, the pointer malloc gave kept just before it (the C runtimes of
// Linux and Windows share no aligned allocation that free() takes back).
void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    if (!MayAllocate()) return nullptr;
    const std::size_t align = static_cast<std::size_t>(alignment);
    void* raw = std::malloc(size + align + sizeof(void*));
    if (raw == nullptr) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    void* aligned = reinterpret_cast<void*>((start + align - 1) & ~(align - 1));
    static_cast<void**>(aligned)[-1] = raw;
    return aligned;
}

void FreeAligned(void* p) {
    if (p != nullptr) std::free(static_cast<void**>(p)[-1]);
}

} // namespace

// Every form the library offers is replaced, so that none gets past the limit: the array, nothrow and
// over-aligned ones too (libstdc++ takes aligned blocks straight from the C runtime, and a sanitizer's
// runtime brings its own of each form).
void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, std::align_val_t alignment) {
    if (void* p = AllocateAligned(size, alignment)) return p;
    throw std::bad_alloc();
}

// clang-format off
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept { return AllocateAligned(size, alignment); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { FreeAligned(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { FreeAligned(p); }
// clang-format on
