// Inside the exchange unit: the file reader's block loop, which a test or the fuzzer can feed from memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

// Puts at most room bytes at to and answers how many: 0 at the end, -1 for a read error.
using TFillBlock = std::function<std::ptrdiff_t(char* to, size_t room)>;

// Reads blocks of blockSize bytes through fill and applies every line of them, on the calling thread,
// in one pass: true once the end is reached, false after a read error or when memory ran out (the
// lines before it stay applied). ReadExchangeFile reads the file this way.
bool ReadExchangeBlocks(size_t blockSize, const TFillBlock& fill);

// Reads bytes as ReadExchangeFile reads the file's, handed over at most blockSize bytes at a time, so
// every line seam a block can make is reached with small inputs (the fuzzer's check).
bool ReadExchangeBytes(std::string_view bytes, size_t blockSize);
