// Reading when memory runs out: with every allocation after the Nth failing, for every N a read needs,
// the reader never crashes, says the read failed, and leaves a store that is whole.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/reader.h"
#include "tests/unit/scratch_folder.h"
#include "tests/unit/store_fingerprint.h"

namespace {

// Allocations still allowed; below 0 there is no limit. The test runs on one thread.
long gAllocationsLeft = -1;
long gAllocationsMade = 0;

// Allows n more allocations for as long as it lives, and counts what was made.
struct TAllocationLimit {
    explicit TAllocationLimit(long n) {
        gAllocationsLeft = n;
        gAllocationsMade = 0;
    }
    ~TAllocationLimit() { gAllocationsLeft = -1; }
};

// Every kind of line, a long text and a long header line, in a few hundred lines.
std::string HostFile() {
    std::string bytes =
        "hq\r\nhk 30\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 100\r\nhp1 1 2\r\nlgnWalls\r\nlynDoors\r\n";
    for (int i = 0; i < 40; ++i) {
        const std::string n = std::to_string(i);
        bytes += " -40496.8595011236 " + n + " 1 0\r\nlg" + std::to_string(i % 16) + "\r\nlc3\r\ncn\"$<font" +
                 n + ">\r\npl\r\n1 2 3 4\r\n#\r\nci 1 2 " + n + "\r\nci 1 2 3 4 5 6 7\r\npt 1 " + n +
                 "\r\npt 1 2 1 0 3\r\nch 0 0 1 0 \"text " + n + "\r\nmsg\r\n1 1 2 2\r\ncs 0 0 1 0 " + n +
                 "\r\nBL 1 2 \"a block name longer than any short string " + n +
                 "\r\nsl 1 2 3 4\r\nsc 1 2 3 4 5 6 7 8\r\n";
    }
    bytes +=
        "ch 0 0 1 0 \"" + std::string(3000, 'x') + "\r\nhk " + std::string(2000, '0') + "7\r\n9 8 7 6\r\n";
    return bytes;
}

} // namespace

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

TEST(ReaderOutOfMemory, FailsCleanlyAtEveryAllocation) {
    const std::string bytes = HostFile();
    long needed = 0;
    {
        InitExchangeData();
        const TAllocationLimit unlimited(-1);
        ASSERT_TRUE(ReadExchangeBytes(bytes, 256));
        needed = gAllocationsMade;
    }
    ASSERT_GT(needed, 20);
    const std::string whole = StoreFingerprint();
    const int32_t wholeCount = EntityOrderCount();
    for (long n = 0; n <= needed; ++n) {
        InitExchangeData();
        bool read = false;
        {
            const TAllocationLimit limit(n);
            read = ReadExchangeBytes(bytes, 256);
        }
        EXPECT_EQ(read, n == needed) << n;
        EXPECT_TRUE(OrderListNamesEveryRecordOnce()) << n;
        EXPECT_LE(EntityOrderCount(), wholeCount) << n;
        if (read) {
            EXPECT_EQ(StoreFingerprint(), whole);
        }
        FreeExchangeData();
    }
}

// The same through the file: the stream's own buffers may be the allocation that fails.
TEST(ReaderOutOfMemory, FailsCleanlyReadingTheFile) {
    TScratchFolder folder;
    folder.Write("JWC_TEMP.TXT", HostFile());
    const std::filesystem::path path = folder.Path / "JWC_TEMP.TXT";
    long needed = 0;
    {
        InitExchangeData();
        const TAllocationLimit unlimited(-1);
        ASSERT_TRUE(ReadExchangeFile(path));
        needed = gAllocationsMade;
    }
    for (long n = 0; n < needed; ++n) {
        InitExchangeData();
        bool read = true;
        {
            const TAllocationLimit limit(n);
            read = ReadExchangeFile(path);
        }
        EXPECT_FALSE(read) << n;
        EXPECT_TRUE(OrderListNamesEveryRecordOnce()) << n;
        FreeExchangeData();
    }
}
