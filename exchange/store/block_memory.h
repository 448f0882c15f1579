// Inside the exchange unit: the memory of the store's record blocks, given back all at once.
#pragma once

#include <cstddef>

// Room for one block of records, not zero-filled, aligned for any record; throws std::bad_alloc.
// Nothing is freed block by block: ReleaseBlockMemory gives back every block at once.
void* AllocateBlockMemory(size_t bytes);
void ReleaseBlockMemory();
