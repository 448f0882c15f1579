// Tests of writing the command list into the exchange file: exact bytes, and no file after a failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>
#include <string>

#include "exchange/JwwGaibu.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

using CommandWriterFile = ExchangeTest;

TEST_F(CommandWriterFile, EmptyListWritesHq) {
    TScratchFolder folder;
    fs::path file = folder.Path / "JWC_TEMP.TXT";
    WriteWholeFile(file, "hq\r\nhk 0\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n#\r\n");
    EXPECT_TRUE(WriteCommandFile(file));
    EXPECT_EQ(ReadWholeFile(file), "hq\r\n");
    EXPECT_EQ(NamesIn(folder.Path).size(), 1u);
}

TEST_F(CommandWriterFile, WritesTheCommandsOfADimension) {
    TScratchFolder folder;
    fs::path file = folder.Path / "JWC_TEMP.TXT";
    SetLayerGroup(1);
    SetLayer(10);
    SetLineColor(2);
    AddLine(0, 0, 0, -12.5);
    SetTextType(3, 0, 0, 0, 0);
    AddText(2, "始点=-12.5", 1.5, 2, 1, 0);
    AddZFlags(4);
    AddDimension("", 0, 0, 100, 0, 50, 5, 1, 0);
    AddPoint(1, 0, 0, 1, 180);
    EXPECT_TRUE(WriteCommandFile(file));
    EXPECT_EQ(ReadWholeFile(file), "lg1\r\n"
                                   "lyA\r\n"
                                   "lc2\r\n"
                                   "0 0 0 -12.5\r\n"
                                   "cn3\r\n"
                                   "cs 1.5 2 1 0 \"\x8e\x6e\x93\x5f=-12.5\r\n"
                                   "z3\r\n"
                                   "msg\r\n"
                                   "0 0 100 0\r\n"
                                   "cs 50 5 1 0 \"100\r\n"
                                   "pt 0 0 1 180 1\r\n");
}

TEST_F(CommandWriterFile, JoinsOnlyPairsAndEndsWithoutLineEndAfterAQuote) {
    TScratchFolder folder;
    fs::path file = folder.Path / "JWC_TEMP.TXT";
    AddCommand("a\"");
    AddCommand("b\"");
    AddCommand("c");
    AddCommand("d\"");
    EXPECT_TRUE(WriteCommandFile(file));
    EXPECT_EQ(ReadWholeFile(file), "a\"b\"\r\nc\r\nd\"");
}

TEST_F(CommandWriterFile, WritesIntoAFolderWithAJapaneseName) {
    TScratchFolder folder;
    fs::path inner = folder.Path / fs::path(u8"外部変形");
    fs::create_directory(inner);
    AddCommand("lc1");
    EXPECT_TRUE(WriteCommandFile(inner / "JWC_TEMP.TXT"));
    EXPECT_EQ(ReadWholeFile(inner / "JWC_TEMP.TXT"), "lc1\r\n");
}

TEST_F(CommandWriterFile, FailureLeavesNoFileBehind) {
    TScratchFolder folder;
    AddCommand("lc1");

    fs::path missing = folder.Path / "missing" / "JWC_TEMP.TXT";
    EXPECT_FALSE(WriteCommandFile(missing));
    EXPECT_FALSE(fs::exists(missing.parent_path()));

    WriteWholeFile(folder.Path / "plain", "x");
    EXPECT_FALSE(WriteCommandFile(folder.Path / "plain" / "JWC_TEMP.TXT"));
    EXPECT_EQ(ReadWholeFile(folder.Path / "plain"), "x");

    fs::path directory = folder.Path / "JWC_TEMP.TXT";
    fs::create_directory(directory);
    EXPECT_FALSE(WriteCommandFile(directory));
    EXPECT_TRUE(fs::is_directory(directory));
    EXPECT_EQ(NamesIn(folder.Path).size(), 2u); // "plain" and the folder; nothing of ours
}

TEST_F(CommandWriterFile, ALeftoverFolderOfTheOldTemporaryNameIsNoObstacle) {
    TScratchFolder folder;
    fs::path file = folder.Path / "JWC_TEMP.TXT";
    WriteWholeFile(file, "hq\r\n#\r\n");
    fs::create_directory(folder.Path / "JWC_TEMP.TXT.new");
    AddCommand("lc1");
    EXPECT_TRUE(WriteCommandFile(file));
    EXPECT_EQ(ReadWholeFile(file), "lc1\r\n");
    EXPECT_TRUE(fs::is_directory(folder.Path / "JWC_TEMP.TXT.new"));
    EXPECT_EQ(NamesIn(folder.Path).size(), 2u);
}

#ifdef _WIN32
// Held open with no sharing at all, the file can be neither replaced, nor written, nor removed: the
// host's own input stays, and its first line "hq" draws nothing.
TEST_F(CommandWriterFile, AFileNobodyMayTouchKeepsTheHostsInput) {
    TScratchFolder folder;
    fs::path file = folder.Path / "JWC_TEMP.TXT";
    WriteWholeFile(file, "hq\r\nhp1 0 0\r\n#\r\n");
    AddCommand("lc1");
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const TReplaceResult result = WriteCommandFile(file);
    CloseHandle(held);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.SystemError, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadWholeFile(file), "hq\r\nhp1 0 0\r\n#\r\n");
    EXPECT_EQ(NamesIn(folder.Path).size(), 1u);
}
#endif

} // namespace
