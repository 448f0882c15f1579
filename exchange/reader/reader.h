// Inside the exchange unit: the file reader's block loop, fed from memory.
#pragma once

#include <cstddef>
#include <string_view>

// Reads bytes as ReadExchangeFile reads the file's, handed over at most blockSize bytes at a
// time, so every line seam a block can make is reached with small inputs (the fuzzer's check).
// twoThreads reads them as a large file is read: parsed on a second thread, applied on this one.
bool ReadExchangeBytes(std::string_view bytes, size_t blockSize, bool twoThreads = false);
