// Record storage that grows in fixed blocks of 1000 without ever moving a stored record.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// The host may send hundreds of thousands of entities; copying one contiguous array at
// every block would be quadratic, so each block of 1000 records stays where it was made.
template <class T> struct TChunkedArray {
    static constexpr int32_t kBlock = 1000;
    std::vector<std::unique_ptr<T[]>> Blocks;
    int32_t Count = 0;

    int32_t Capacity() const { return static_cast<int32_t>(Blocks.size()) * kBlock; }
    T& operator[](int32_t i) { return Blocks[i / kBlock][i % kBlock]; }
    const T& operator[](int32_t i) const { return Blocks[i / kBlock][i % kBlock]; }
    // The next record, every field at its default; may throw std::bad_alloc, leaving the array
    // unchanged. Every record field has a default, so the block is default-initialised: "()"
    // would zero-fill the whole block first and then write the same zeros again.
    T& Append() {
        if (Count == Capacity()) {
            std::unique_ptr<T[]> block(new T[kBlock]);
            Blocks.push_back(std::move(block));
        }
        return (*this)[Count++];
    }
    void Clear() {
        Blocks.clear();
        Blocks.shrink_to_fit();
        Count = 0;
    }
};
