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
    const TReplaceResult replaced =
        ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n", TStake::KeepOld);
    EXPECT_EQ(replaced.Way, TReplaceWay::Replaced);
    EXPECT_EQ(replaced.SystemError, 0);
    EXPECT_EQ(folder.Read("sorvel.dat"), "new\r\n");

    EXPECT_EQ(ReplaceFileContents(folder.Path / "JWC_TEMP.TXT", "hq\r\n", TStake::PlaceNew).Way,
              TReplaceWay::Replaced);
    EXPECT_EQ(folder.Read("JWC_TEMP.TXT"), "hq\r\n");
    EXPECT_EQ(ReplaceFileContents(folder.Path / "empty", "", TStake::KeepOld).Way, TReplaceWay::Replaced);
    EXPECT_EQ(NamesIn(folder.Path), (std::vector<std::string>{"JWC_TEMP.TXT", "empty", "sorvel.dat"}));
}

// The target's name, ".tarvel-", the process number in base 36, "-", the attempt and ".tmp".
TEST(ReplaceFileContents, NamesItsTemporaryFileForTheTargetBesideIt) {
    for (const char* name : {"JWC_TEMP.TXT", "sorvel.dat", "a"}) {
        const fs::path target = fs::path("C:/jww/Tarvel") / name;
        const std::string head = std::string(name) + ".tarvel-";
        std::vector<fs::path> names;
        for (int attempt = 0; attempt < 36; ++attempt) {
            const fs::path temporary = TemporaryPathFor(target, attempt);
            EXPECT_EQ(temporary.parent_path(), target.parent_path()) << name;
            const std::string file = temporary.filename().string();
            ASSERT_GT(file.size(), head.size() + 6) << file;
            EXPECT_EQ(file.substr(0, head.size()), head);
            const std::string tail =
                std::string("-") + "0123456789abcdefghijklmnopqrstuvwxyz"[attempt] + ".tmp";
            EXPECT_EQ(file.substr(file.size() - 6), tail);
            const std::string process = file.substr(head.size(), file.size() - 6 - head.size());
            EXPECT_TRUE(process.size() >= 1 && process.size() <= 7) << file;
            EXPECT_EQ(process.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz"), std::string::npos)
                << file;
            names.push_back(temporary);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()) << name;
    }
    EXPECT_TRUE(TemporaryPathFor("C:/jww/sorvel.dat", 36).empty());
    // One process, one name per attempt: the next write uses it again once the last one has removed it.
    EXPECT_EQ(TemporaryPathFor("a/sorvel.dat"), TemporaryPathFor("a/sorvel.dat", 0));
}

// A folder at the temporary file's name: the write takes the next name and still replaces the target
// in one step; the folder keeps what it holds.
TEST(ReplaceFileContents, TakesTheNextNameWhenTheTemporaryNameIsTaken) {
    TScratchFolder folder;
    const fs::path target = folder.Path / "JWC_TEMP.TXT";
    folder.Write("JWC_TEMP.TXT", "hq\r\nhk 0\r\nhp1 0 0\r\nhp2 100 0\r\n");
    fs::create_directory(TemporaryPathFor(target, 0));
    WriteWholeFile(TemporaryPathFor(target, 0) / "inside", "theirs");
    const TReplaceResult replaced = ReplaceFileContents(target, "lc1\r\n", TStake::PlaceNew);
    EXPECT_EQ(replaced.Way, TReplaceWay::Replaced);
    EXPECT_EQ(folder.Read("JWC_TEMP.TXT"), "lc1\r\n");
    EXPECT_EQ(ReadWholeFile(TemporaryPathFor(target, 0) / "inside"), "theirs");
    EXPECT_EQ(NamesIn(folder.Path).size(), 2u);
}

// The clean-up never removes a folder, nor a link of our name, nor the file a link leads to, however
// old they look.
TEST(ReplaceFileContents, NeverRemovesAFolderOrALinkOfItsName) {
    TScratchFolder folder, elsewhere;
    const fs::path target = folder.Path / "sorvel.dat";
    const auto anHourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::create_directory(TemporaryPathFor(target, 1));
    elsewhere.Write("precious.txt", "the user's");
    fs::last_write_time(elsewhere.Path / "precious.txt", anHourAgo);
    std::error_code linked;
    fs::create_symlink(elsewhere.Path / "precious.txt", TemporaryPathFor(target, 2), linked);
    const bool haveLink = !linked && fs::is_symlink(TemporaryPathFor(target, 2));
    folder.Write("sorvel.dat", "old\r\n");

    EXPECT_TRUE(ReplaceFileContents(target, "new\r\n", TStake::KeepOld));
    EXPECT_EQ(folder.Read("sorvel.dat"), "new\r\n");
    EXPECT_TRUE(fs::is_directory(TemporaryPathFor(target, 1)));
    EXPECT_EQ(elsewhere.Read("precious.txt"), "the user's");
    if (haveLink) {
        EXPECT_TRUE(fs::is_symlink(TemporaryPathFor(target, 2)));
    }
    EXPECT_EQ(NamesIn(folder.Path).size(), haveLink ? 3u : 2u);
    // Wine makes no link for CreateSymbolicLinkW; the end-to-end cases put a real one in its way.
    if (!haveLink) GTEST_SKIP() << "no symbolic link can be made here";
}

TEST(ReplaceFileContents, NeverWritesIntoAFolderAtTheTarget) {
    TScratchFolder folder;
    fs::create_directory(folder.Path / "sorvel.dat");
    folder.Write("sorvel.dat/inside", "x");
    const TReplaceResult failed = ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n", TStake::KeepOld);
    EXPECT_EQ(failed.Way, TReplaceWay::Failed);
    EXPECT_FALSE(failed.TargetDamaged);
    EXPECT_NE(failed.SystemError, 0);
    EXPECT_EQ(folder.Read("sorvel.dat/inside"), "x");
    EXPECT_EQ(NamesIn(folder.Path), (std::vector<std::string>{"sorvel.dat"}));
    EXPECT_EQ(NamesIn(folder.Path / "sorvel.dat"), (std::vector<std::string>{"inside"}));
}

TEST(ReplaceFileContents, FailsInAMissingFolderWithoutMakingIt) {
    TScratchFolder folder;
    const TReplaceResult failed =
        ReplaceFileContents(folder.Path / "missing" / "sorvel.dat", "x", TStake::PlaceNew);
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
        EXPECT_EQ(ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n", TStake::KeepOld).Way,
                  TReplaceWay::Overwritten);
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
        const TReplaceResult failed =
            ReplaceFileContents(folder.Path / "sorvel.dat", "new\r\n", TStake::KeepOld);
        EXPECT_EQ(failed.Way, TReplaceWay::Failed);
        EXPECT_EQ(failed.SystemError, ERROR_SHARING_VIOLATION);
        EXPECT_FALSE(failed.TargetDamaged);
    }
    EXPECT_EQ(folder.Read("sorvel.dat"), "old\r\n");
    EXPECT_EQ(NamesIn(folder.Path), (std::vector<std::string>{"sorvel.dat"}));
}

#endif

} // namespace
