// The durable file replacement on real files: the replace, the in-place write when the replace is
// refused, and what it never touches.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/replace_file.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

TEST(ReplaceFileContents, ReplacesTheTargetWholeAndLeavesNothingElse) {
    TScratchFolder folder;
    folder.Write("sorvel.dat", "old settings that are longer than the new ones\r\n");
    const TReplaceResult replaced = ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n");
    EXPECT_EQ(replaced.Way, TReplaceWay::Replaced);
    EXPECT_EQ(replaced.SystemError, 0);
    EXPECT_EQ(folder.Read("sorvel.dat"), "new\r\n");

    EXPECT_EQ(ReplaceFileContents(folder.Path / "JWC_TEMP.TXT", "hq\r\n").Way, TReplaceWay::Replaced);
    EXPECT_EQ(folder.Read("JWC_TEMP.TXT"), "hq\r\n");
    EXPECT_EQ(ReplaceFileContents(folder.Path / "empty", "").Way, TReplaceWay::Replaced);
    EXPECT_EQ(NamesIn(folder.Path), (std::vector<std::string>{"JWC_TEMP.TXT", "empty", "sorvel.dat"}));
}

TEST(ReplaceFileContents, NamesItsTemporaryFileBesideTheTargetAndNoLonger) {
    for (const char* name : {"JWC_TEMP.TXT", "sorvel.dat", "abcd"}) {
        const fs::path target = fs::path("C:/jww/Tarvel") / name;
        std::vector<fs::path> names;
        for (int attempt = 0; attempt < 36; ++attempt) {
            const fs::path temporary = TemporaryPathFor(target, attempt);
            EXPECT_EQ(temporary.parent_path(), target.parent_path()) << name;
            const std::string file = temporary.filename().string();
            EXPECT_LE(file.size(), target.filename().string().size()) << name;
            EXPECT_EQ(file[0], '~') << name;
            EXPECT_EQ(file.substr(file.size() - 2),
                      std::string("-") + "0123456789abcdefghijklmnopqrstuvwxyz"[attempt]);
            names.push_back(temporary);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()) << name;
    }
    // No room for a name of its own, and no attempt beyond the last.
    EXPECT_TRUE(TemporaryPathFor("C:/jww/abc").empty());
    EXPECT_TRUE(TemporaryPathFor("C:/jww/sorvel.dat", 36).empty());
    // One process, one name per attempt: the next write uses it again once the last one has removed it.
    EXPECT_EQ(TemporaryPathFor("a/sorvel.dat"), TemporaryPathFor("a/sorvel.dat", 0));
}

// A folder, or a file left by another run, at the temporary file's name: the write takes the next
// name and still replaces the target in one step; the other entries keep what they hold.
TEST(ReplaceFileContents, TakesTheNextNameWhenTheTemporaryNameIsTaken) {
    TScratchFolder folder;
    const fs::path target = folder.Path / "JWC_TEMP.TXT";
    folder.Write("JWC_TEMP.TXT", "hq\r\nhk 0\r\nhp1 0 0\r\nhp2 100 0\r\n");
    fs::create_directory(TemporaryPathFor(target, 0));
    WriteWholeFile(TemporaryPathFor(target, 0) / "inside", "theirs");
    WriteWholeFile(TemporaryPathFor(target, 1), "another run's half-written file");
    const TReplaceResult replaced = ReplaceFileContents(target, "lc1\r\n");
    EXPECT_EQ(replaced.Way, TReplaceWay::Replaced);
    EXPECT_EQ(folder.Read("JWC_TEMP.TXT"), "lc1\r\n");
    EXPECT_EQ(ReadWholeFile(TemporaryPathFor(target, 0) / "inside"), "theirs");
    EXPECT_EQ(ReadWholeFile(TemporaryPathFor(target, 1)), "another run's half-written file");
    EXPECT_EQ(NamesIn(folder.Path).size(), 3u);
}

// A crash or a power cut between making the temporary file and putting it in place leaves it behind.
// The next write removes such a file once it is older than any run takes, and goes the atomic way;
// a fresh one (another run's, still being written) and anything not of the tool's pattern stay.
TEST(ReplaceFileContents, RemovesOnlyItsOwnStaleTemporaries) {
    TScratchFolder folder;
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const std::vector<std::string> stale = {"~1z141z3-0", "~a-z", "~0-0"};
    const std::vector<std::string> kept = {"~abc",       "~ABC-0", "~abc-0.txt", "~abcdefgh-0", "~abc--",
                                           "readme.txt", "x~a-0",  "~a-0x",      "~$memo.txt"};
    for (const std::string& name : stale) folder.Write(name, "left by a dead run");
    for (const std::string& name : kept) folder.Write(name, "someone else's");
    fs::create_directory(folder.Path / "~old-1");
    for (const auto& entry : fs::directory_iterator(folder.Path))
        if (entry.is_regular_file()) fs::last_write_time(entry.path(), anHourAgo);
    folder.Write("~fresh-0", "another run's, being written");
    folder.Write("sorvel.dat", "old\r\n");

    const TReplaceResult replaced = ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n");
    EXPECT_EQ(replaced.Way, TReplaceWay::Replaced);
    EXPECT_EQ(folder.Read("sorvel.dat"), "new\r\n");
    for (const std::string& name : stale) EXPECT_FALSE(folder.Has(name)) << name;
    for (const std::string& name : kept) EXPECT_EQ(folder.Read(name), "someone else's") << name;
    EXPECT_TRUE(fs::is_directory(folder.Path / "~old-1"));
    EXPECT_EQ(folder.Read("~fresh-0"), "another run's, being written");
}

TEST(ReplaceFileContents, NeverWritesIntoAFolderAtTheTarget) {
    TScratchFolder folder;
    fs::create_directory(folder.Path / "sorvel.dat");
    folder.Write("sorvel.dat/inside", "x");
    const TReplaceResult failed = ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n");
    EXPECT_EQ(failed.Way, TReplaceWay::Failed);
    EXPECT_FALSE(failed.TargetDamaged);
    EXPECT_NE(failed.SystemError, 0);
    EXPECT_EQ(folder.Read("sorvel.dat/inside"), "x");
    EXPECT_EQ(NamesIn(folder.Path), (std::vector<std::string>{"sorvel.dat"}));
    EXPECT_EQ(NamesIn(folder.Path / "sorvel.dat"), (std::vector<std::string>{"inside"}));
}

TEST(ReplaceFileContents, FailsInAMissingFolderWithoutMakingIt) {
    TScratchFolder folder;
    const TReplaceResult failed = ReplaceFileContents(folder.Path / "missing" / "sorvel.dat", "x");
    EXPECT_EQ(failed.Way, TReplaceWay::Failed);
    EXPECT_NE(failed.SystemError, 0);
    EXPECT_FALSE(fs::exists(folder.Path / "missing"));
}

#ifdef _WIN32

// Another program holds the target open for reading (a viewer, a scanner, a sync client).
struct THeldFile {
    HANDLE Handle;
    THeldFile(const fs::path& path, DWORD share)
        : Handle(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~THeldFile() { CloseHandle(Handle); }
};

TEST(ReplaceFileContents, OverwritesAHeldFileInPlace) {
    TScratchFolder folder;
    folder.Write("sorvel.dat", "old settings, longer than the new ones\r\n");
    {
        const THeldFile held(folder.Path / "sorvel.dat", FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_NE(held.Handle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n").Way, TReplaceWay::Overwritten);
    }
    EXPECT_EQ(folder.Read("sorvel.dat"), "new\r\n");
    EXPECT_EQ(NamesIn(folder.Path), (std::vector<std::string>{"sorvel.dat"}));
}

TEST(ReplaceFileContents, FailsOnAFileHeldWithoutSharingAndLeavesIt) {
    TScratchFolder folder;
    folder.Write("sorvel.dat", "old\r\n");
    {
        const THeldFile held(folder.Path / "sorvel.dat", 0);
        ASSERT_NE(held.Handle, INVALID_HANDLE_VALUE);
        const TReplaceResult failed = ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n");
        EXPECT_EQ(failed.Way, TReplaceWay::Failed);
        EXPECT_EQ(failed.SystemError, ERROR_SHARING_VIOLATION);
        EXPECT_FALSE(failed.TargetDamaged);
    }
    EXPECT_EQ(folder.Read("sorvel.dat"), "old\r\n");
    EXPECT_EQ(NamesIn(folder.Path), (std::vector<std::string>{"sorvel.dat"}));
}

#endif

} // namespace
