// Reading and writing when memory runs out: with every allocation after the Nth failing, for every N a
// read needs, the reader never crashes, says the read failed, and leaves a store that is whole; the
// writer never leaves a part of its answer, nor a failure without a code.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <string>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/reader.h"
#include "tests/alloc/allocation_limit.h"
#include "tests/unit/scratch_folder.h"
#include "tests/unit/store_fingerprint.h"

namespace {

// Where the optimiser must store what a test allocates: an unused new may be left out altogether.
void* volatile gKept = nullptr;

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

// The limit holds for every form of new, not only the plain one. The checks run after the limit is
// gone: the test framework allocates too.
TEST(AllocationLimit, HoldsForEveryFormOfNew) {
    struct alignas(64) TWide {
        char Bytes[64];
    };
    const auto fails = [](auto allocate) {
        try {
            gKept = allocate();
            return false;
        } catch (const std::bad_alloc&) {
            return true;
        }
    };
    bool plain = false, array = false, wide = false;
    void* nothrowPlain = nullptr;
    void* nothrowWide = nullptr;
    {
        const TAllocationLimit none(0);
        plain = fails([] { return new int; });
        array = fails([] { return new int[4]; });
        wide = fails([] { return new TWide; });
        nothrowPlain = new (std::nothrow) int;
        nothrowWide = new (std::nothrow) TWide[2];
    }
    EXPECT_TRUE(plain && array && wide);
    EXPECT_EQ(nothrowPlain, nullptr);
    EXPECT_EQ(nothrowWide, nullptr);
}

TEST(ReaderOutOfMemory, FailsCleanlyAtEveryAllocation) {
    const std::string bytes = HostFile();
    long needed = 0;
    {
        InitExchangeData();
        const TAllocationLimit unlimited(-1);
        ASSERT_TRUE(ReadExchangeBytes(bytes, 256));
        needed = AllocationsMade();
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
        needed = AllocationsMade();
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

// Writing the drawing when memory runs out: the file is whole, or the host's own input, or gone, and
// a failure always carries a code, so the message never gives "success" as its reason.
TEST(WriterOutOfMemory, FailsWithACodeAndNeverLeavesAPart) {
    TScratchFolder folder;
    const std::string host = HostFile();
    const std::filesystem::path path = folder.Path / "JWC_TEMP.TXT";
    InitExchangeData();
    for (int i = 0; i < 40; ++i) AddLine(i, 0, i + 1, 0);
    const std::string first = "0 0 1 0\r\n";
    long needed = 0;
    {
        folder.Write("JWC_TEMP.TXT", host);
        const TAllocationLimit unlimited(-1);
        ASSERT_TRUE(WriteCommandFile(path));
        needed = AllocationsMade();
    }
    ASSERT_GT(needed, 2);
    for (long n = 0; n <= needed; ++n) {
        folder.Write("JWC_TEMP.TXT", host);
        TReplaceResult result;
        {
            const TAllocationLimit limit(n);
            result = WriteCommandFile(path);
        }
        const std::string left = folder.Has("JWC_TEMP.TXT") ? folder.Read("JWC_TEMP.TXT") : "(gone)";
        EXPECT_TRUE(result || n < needed) << n;
        if (result) {
            EXPECT_EQ(left.substr(0, first.size()), first) << n;
            EXPECT_EQ(result.SystemError, 0) << n;
        } else {
            EXPECT_TRUE(left == "(gone)" || left == host || left == "hq\r\n") << n;
            EXPECT_NE(result.SystemError, 0) << n;
        }
        // No temporary file of the write is left behind.
        EXPECT_EQ(NamesIn(folder.Path).size(), left == "(gone)" ? 0u : 1u) << n;
    }
    FreeExchangeData();
}
