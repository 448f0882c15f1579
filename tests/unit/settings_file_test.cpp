// "sorvel.dat": its lines as values, its exact bytes, and a write that never leaves half a file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "files/replace_file.h"
#include "test_support.h"
#include "tool/settings_file.h"

namespace {

const char kFullFile[] =
    "120\r\n-40\r\n7\r\n11\r\n4\r\n8\r\n0\r\n1.5\r\nL=\r\n mm\r\n-3\r\nabc\r\n2.25\r\n1000\r\n"
    "179.9\r\n\r\n1\r\n1\r\n1\r\n0\r\n1\r\n0\r\n2\r\n100\r\n30\r\n";

} // namespace

TEST(SettingsFile, ParsesTheFirst22LinesInTheirOrder) {
    const TSettings s = ParseSettings(kFullFile);
    EXPECT_EQ(s.WindowLeft, 120);
    EXPECT_EQ(s.WindowTop, -40);
    EXPECT_EQ(s.ListIndex, (std::array<int32_t, 5>{7, 11, 4, 8, 0}));
    EXPECT_EQ(s.EditText,
              (std::array<std::string, 9>{"1.5", "L=", " mm", "-3", "abc", "2.25", "1000", "179.9", ""}));
    EXPECT_EQ(s.RadioIndex, (std::array<int32_t, 2>{1, 1}));
    EXPECT_EQ(s.Checked, (std::array<bool, 4>{true, false, true, false}));
}

TEST(SettingsFile, ReadsMissingLinesAsEmpty) {
    const TSettings empty = ParseSettings("");
    EXPECT_EQ(empty.WindowLeft, 0);
    EXPECT_EQ(empty.WindowTop, 0);
    EXPECT_EQ(empty.ListIndex, (std::array<int32_t, 5>{}));
    EXPECT_EQ(empty.EditText, (std::array<std::string, 9>{}));
    EXPECT_EQ(empty.RadioIndex, (std::array<int32_t, 2>{}));
    EXPECT_EQ(empty.Checked, (std::array<bool, 4>{}));

    const TSettings shortFile = ParseSettings("10\r\n20\r\n3\r\n4\r\n5\r\n6\r\n1\r\n2.5");
    EXPECT_EQ(shortFile.WindowLeft, 10);
    EXPECT_EQ(shortFile.ListIndex, (std::array<int32_t, 5>{3, 4, 5, 6, 1}));
    EXPECT_EQ(shortFile.EditText[0], "2.5");
    EXPECT_EQ(shortFile.EditText[1], "");
    EXPECT_EQ(shortFile.Checked[3], false);
}

TEST(SettingsFile, TurnsNegativeIndexesIntoZero) {
    EXPECT_EQ(ParseSettings("0\n0\n-1\n0\n-3\n").ListIndex, (std::array<int32_t, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(ParseSettings("0\n0\n0\n12\n0\n").ListIndex[1], 12);
    EXPECT_EQ(ParseSettings("\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n-7\n5\n").RadioIndex,
              (std::array<int32_t, 2>{0, 5}));
}

TEST(SettingsFile, ChecksABoxForAnyNumberButZero) {
    auto checked = [](const char* line) {
        return ParseSettings(std::string(18, '\n') + line + "\r\n").Checked[0];
    };
    EXPECT_TRUE(checked("1"));
    EXPECT_TRUE(checked("2"));
    EXPECT_TRUE(checked("-1"));
    EXPECT_FALSE(checked("0"));
    EXPECT_FALSE(checked("abc"));
    EXPECT_FALSE(checked(""));
}

TEST(SettingsFile, KeepsTextLinesWhole) {
    const std::string forty = "0123456789012345678901234567890123456789";
    EXPECT_EQ(ParseSettings("0\n0\n0\n0\n0\n0\n0\n1\n" + forty + "\n").EditText[1], forty);
    EXPECT_EQ(ParseSettings("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n \x81\x40"
                            "A \r\n")
                  .EditText[1],
              " \x81\x40"
              "A ");
    // Only the line feed ends a line, and only the one carriage return before it is dropped.
    EXPECT_EQ(ParseSettings("0\n0\n0\n0\n0\n0\n0\na\rb\r\r\n").EditText[0], "a\rb\r");
}

TEST(SettingsFile, WritesAll31LinesWithCrLf) {
    TSettings s;
    s.WindowLeft = -8;
    s.WindowTop = 1200;
    s.ListIndex = {7, 7, 1, 3, 2};
    s.EditText = {"1", "", "", "0.5", "2", "2", "3", "15", "2"};
    s.RadioIndex = {0, 1};
    s.Checked = {false, true, false, true};
    THostParameters host;
    host.HostLayerGroup = 2;
    host.GroupScale[2] = 0.5;
    host.AxisAngle = 30;
    host.Points.resize(100);
    host.Points[1] = {true, 0, 0, 0};
    host.Points[2] = {true, 100.25, -3, 0};
    host.Points[3] = {true, 50, 20, 0};
    host.Points[4] = {true, 9, 9, 0};
    EXPECT_EQ(FormatSettings(s, host),
              "-8\r\n1200\r\n7\r\n7\r\n1\r\n3\r\n2\r\n1\r\n\r\n\r\n0.5\r\n2\r\n2\r\n3\r\n15\r\n2\r\n"
              "0\r\n1\r\n0\r\n1\r\n0\r\n1\r\n"
              "2\r\n0.5\r\n30\r\n0\r\n0\r\n100.25\r\n-3\r\n50\r\n20\r\n");
}

TEST(SettingsFile, ReadsNothingFromAMissingOrUnreadableFile) {
    TScratchFolder folder;
    EXPECT_FALSE(ReadSettingsFile(folder.Path / "sorvel.dat"));
    EXPECT_FALSE(ReadSettingsFile(folder.Path));
    folder.Write("sorvel.dat", "");
    EXPECT_EQ(ReadSettingsFile(folder.Path / "sorvel.dat"), "");
}

TEST(SettingsFile, ReadsNoMoreThan22LinesOfAtMostTheCap) {
    TScratchFolder folder;
    const auto read = [&folder](const std::string& bytes) {
        folder.Write("sorvel.dat", bytes);
        return ReadSettingsFile(folder.Path / "sorvel.dat").value();
    };
    const std::string first22 = "120\r\n-40\r\n7\r\n11\r\n4\r\n8\r\n0\r\n1.5\r\nL=\r\n mm\r\n-3\r\nabc\r\n"
                                "2.25\r\n1000\r\n179.9\r\n\r\n1\r\n1\r\n1\r\n0\r\n1\r\n0\r\n";
    EXPECT_EQ(read(kFullFile), first22);
    EXPECT_EQ(read("1\r\n2"), "1\r\n2");
    // 20 MB without a line break: the first 4096 bytes are kept, nothing more.
    EXPECT_EQ(read(std::string(20'000'000, '7')), std::string(4096, '7'));
    EXPECT_EQ(read("5\r\n" + std::string(4095, 'a') + "\r\n6\r\n"),
              "5\r\n" + std::string(4095, 'a') + "\r\n6\r\n");
    // A longer line is cut at the cap (its CR goes with the rest of it), and the next lines still count.
    EXPECT_EQ(read("5\r\n" + std::string(5000, 'a') + "\r\n6\r\n"),
              "5\r\n" + std::string(4096, 'a') + "\n6\r\n");
}

// A hand-edited or damaged file with one huge line: every setting after it is restored all the same.
TEST(SettingsFile, AHugeLineHidesNoLaterSetting) {
    TScratchFolder folder;
    const std::string lines4to22 =
        "11\r\n4\r\n8\r\n0\r\n1.5\r\nL=\r\n mm\r\n-3\r\nabc\r\n2.25\r\n1000\r\n179.9\r\n"
        "\r\n1\r\n1\r\n1\r\n0\r\n1\r\n0\r\n";
    folder.Write("sorvel.dat",
                 "120\r\n-40\r\n" + std::string(100'000, '7') + "\r\n" + lines4to22 + "junk\r\n");
    const std::optional<std::string> bytes = ReadSettingsFile(folder.Path / "sorvel.dat");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 10 + 4096 + 1 + lines4to22.size());
    EXPECT_EQ(bytes->substr(bytes->size() - lines4to22.size()), lines4to22);
    const TSettings read = ParseSettings(*bytes);
    const TSettings expected = ParseSettings("120\r\n-40\r\n7\r\n" + lines4to22);
    EXPECT_EQ(read.WindowLeft, 120);
    EXPECT_EQ(read.WindowTop, -40);
    EXPECT_EQ(read.EditText, expected.EditText);
    EXPECT_EQ(read.RadioIndex, expected.RadioIndex);
    EXPECT_EQ(read.Checked, expected.Checked);
    EXPECT_EQ(std::vector<int32_t>(read.ListIndex.begin() + 1, read.ListIndex.end()),
              std::vector<int32_t>(expected.ListIndex.begin() + 1, expected.ListIndex.end()));
}

TEST(SettingsFile, WritesPastALeftoverTemporaryFolderAndNeverIntoAFolder) {
    TScratchFolder folder;
    THostParameters host;
    folder.Write("sorvel.dat", "old\r\n");
    std::filesystem::create_directory(TemporaryPathFor(folder.Path / "sorvel.dat"));
    EXPECT_TRUE(WriteSettingsFile(folder.Path / "sorvel.dat", TSettings{}, host));
    EXPECT_EQ(folder.Read("sorvel.dat").substr(0, 12), "0\r\n0\r\n0\r\n0\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(TemporaryPathFor(folder.Path / "sorvel.dat")));

    std::filesystem::create_directory(folder.Path / "taken");
    folder.Write("taken/inside", "x");
    EXPECT_FALSE(WriteSettingsFile(folder.Path / "taken", TSettings{}, host));
    EXPECT_EQ(folder.Read("taken/inside"), "x");
}
