// Record storage that grows in fixed blocks of 1000 without ever moving a stored record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

// The host may send hundreds of thousands of entities; copying one contiguous array at
// every block would be quadratic, so each block of 1000 records stays where it was made.
// A block is raw memory from the heap: a record is made only when it is appended, so no block is filled
// with defaults ahead of time (which would touch every page of it twice) and the pages of records never
// made are never touched at all.
template <class T> struct TChunkedArray {
    static constexpr int32_t kBlock = 1000;
    struct TBlock {
        alignas(T) std::byte Bytes[sizeof(T) * kBlock];
    };
    std::vector<std::unique_ptr<TBlock>> Blocks;
    int32_t Count = 0;
    // Where the next record goes, and how many more fit in the last block: appending is the hot
    // path of a large drawing, and this spares it the division of Raw.
    T* Next = nullptr;
    int32_t Left = 0;

    TChunkedArray() = default;
    TChunkedArray(const TChunkedArray&) = delete;
    TChunkedArray& operator=(const TChunkedArray&) = delete;
    ~TChunkedArray() { Clear(); }

    int32_t Capacity() const { return static_cast<int32_t>(Blocks.size()) * kBlock; }
    T& operator[](int32_t i) { return *std::launder(static_cast<T*>(Raw(i))); }
    const T& operator[](int32_t i) const { return *std::launder(static_cast<const T*>(Raw(i))); }
    // The next record, every field at its default; may throw std::bad_alloc, leaving the array
    // unchanged.
    T& Append() {
        if (Left == 0) {
            // Room for the pointer first, so that nothing can fail once the block is made.
            if (Blocks.size() == Blocks.capacity()) Blocks.reserve(Blocks.empty() ? 16 : 2 * Blocks.size());
            Blocks.emplace_back(new TBlock);
            Next = reinterpret_cast<T*>(Blocks.back()->Bytes);
            Left = kBlock;
        }
        T* record = ::new (Next) T;
        ++Next;
        --Left;
        ++Count;
        return *record;
    }
    // Takes back the last record appended.
    void DropLast() {
        if constexpr (!std::is_trivially_destructible_v<T>) (*this)[Count - 1].~T();
        --Next;
        ++Left;
        --Count;
    }
    // Records without a destructor of their own simply go with their blocks.
    void Clear() {
        if constexpr (!std::is_trivially_destructible_v<T>)
            for (int32_t i = 0; i < Count; ++i) (*this)[i].~T();
        Blocks.clear();
        Blocks.shrink_to_fit();
        Count = 0;
        Next = nullptr;
        Left = 0;
    }

  private:
    void* Raw(int32_t i) const { return Blocks[i / kBlock]->Bytes + sizeof(T) * (i % kBlock); }
};
