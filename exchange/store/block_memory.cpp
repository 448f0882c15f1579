// The store's block memory: small stores from the heap, large ones carved from 2 MiB slabs.
#include "exchange/store/block_memory.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr size_t kSlabBytes = size_t{2} << 20;
// Below this much a store takes its blocks from the heap, so a small file (or a fuzzer input)
// costs no slab at all.
constexpr size_t kHeapBytes = size_t{8} << 20;
constexpr size_t kAlignment = alignof(std::max_align_t);

struct TBlockMemory {
    std::vector<std::unique_ptr<std::byte[]>> Heap;
    std::vector<void*> Slabs;
    size_t HeapBytes = 0;
    std::byte* Next = nullptr;
    size_t Left = 0;

    // A large drawing makes tens of thousands of pages of records. On Linux its slabs are 2 MiB
    // aligned and marked for huge pages, so they cost a few hundred page faults rather than
    // tens of thousands; the unused part is at most one slab, the last.
    void* NewSlab() {
#if defined(__linux__)
        void* slab = nullptr;
        if (posix_memalign(&slab, kSlabBytes, kSlabBytes) != 0) throw std::bad_alloc();
        madvise(slab, kSlabBytes, MADV_HUGEPAGE);
        return slab;
#else
        return ::operator new(kSlabBytes);
#endif
    }
    static void FreeSlab(void* slab) {
#if defined(__linux__)
        free(slab);
#else
        ::operator delete(slab);
#endif
    }

    void* Allocate(size_t bytes) {
        bytes = (bytes + kAlignment - 1) / kAlignment * kAlignment;
        if (HeapBytes < kHeapBytes || bytes > kSlabBytes) {
            Heap.reserve(Heap.size() + 1);
            Heap.emplace_back(new std::byte[bytes]);
            HeapBytes += bytes;
            return Heap.back().get();
        }
        if (Left < bytes) {
            Slabs.reserve(Slabs.size() + 1);
            void* slab = NewSlab();
            Slabs.push_back(slab);
            Next = static_cast<std::byte*>(slab);
            Left = kSlabBytes;
        }
        void* block = Next;
        Next += bytes;
        Left -= bytes;
        return block;
    }

    void Release() {
        for (void* slab : Slabs) FreeSlab(slab);
        std::vector<void*>().swap(Slabs);
        std::vector<std::unique_ptr<std::byte[]>>().swap(Heap);
        HeapBytes = 0;
        Next = nullptr;
        Left = 0;
    }
};

// Never destroyed: the store's arrays may still be taken down after it at exit, and what is
// left then goes back with the process.
TBlockMemory& Memory() {
    static TBlockMemory* const memory = new TBlockMemory;
    return *memory;
}

} // namespace

void* AllocateBlockMemory(size_t bytes) {
    return Memory().Allocate(bytes);
}

void ReleaseBlockMemory() {
    Memory().Release();
}
