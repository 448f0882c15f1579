// The durable file replacement on real files: the replace, the in-place write when the replace is
// refused, and what it never touches.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"
#include "util/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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
    for (const char* name : {"JWC_TEMP.TXT", "sorvel.dat", "ab", "x"}) {
        const fs::path target = fs::path("C:/jww/Tarvel") / name;
        const fs::path temporary = TemporaryPathFor(target);
        EXPECT_EQ(temporary.parent_path(), target.parent_path()) << name;
        EXPECT_LE(temporary.filename().native().size(), target.filename().native().size()) << name;
        EXPECT_NE(temporary.filename(), target.filename()) << name;
        EXPECT_EQ(temporary.filename().string()[0], '~') << name;
    }
    // One process, one name: the next write uses it again once the last one has removed it.
    EXPECT_EQ(TemporaryPathFor("a/sorvel.dat"), TemporaryPathFor("a/sorvel.dat"));
}

// A folder, or a file left by another run, at the temporary file's name: the write goes over the
// target in place, and the other entry keeps what it holds.
TEST(ReplaceFileContents, OverwritesInPlaceWhenTheTemporaryNameIsTaken) {
    TScratchFolder folder;
    const fs::path target = folder.Path / "JWC_TEMP.TXT";
    const fs::path temporary = TemporaryPathFor(target);
    folder.Write("JWC_TEMP.TXT", "hq\r\nhk 0\r\nhp1 0 0\r\nhp2 100 0\r\n");
    fs::create_directory(temporary);
    WriteWholeFile(temporary / "inside", "theirs");
    const TReplaceResult overwritten = ReplaceFileContents(target, "lc1\r\n");
    EXPECT_EQ(overwritten.Way, TReplaceWay::Overwritten);
    EXPECT_FALSE(overwritten.TargetDamaged);
    EXPECT_EQ(folder.Read("JWC_TEMP.TXT"), "lc1\r\n");
    EXPECT_EQ(ReadWholeFile(temporary / "inside"), "theirs");

    fs::remove_all(temporary);
    WriteWholeFile(temporary, "another run's half-written file");
    EXPECT_EQ(ReplaceFileContents(target, "lc2\r\nlc3\r\n").Way, TReplaceWay::Overwritten);
    EXPECT_EQ(folder.Read("JWC_TEMP.TXT"), "lc2\r\nlc3\r\n");
    EXPECT_EQ(ReadWholeFile(temporary), "another run's half-written file");
    EXPECT_EQ(NamesIn(folder.Path).size(), 2u);
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
