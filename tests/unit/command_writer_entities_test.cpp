// Tests of the entity commands and of the command list they fill.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "exchange/writer/command_list.h"
#include "test_support.h"

namespace {

using Lines = std::vector<std::string>;

using CommandWriterEntities = ExchangeTest;

TEST_F(CommandWriterEntities, LineIsDroppedOnlyWhenBothEndsCoincide) {
    AddLine(0, 0, 100, 50.5);
    AddLine(1, 1, 1.000000001, 1);
    AddLine(-3, 2, -3, 2);
    AddLine(1, 1, 1, 1.00000002);
    AddLine(-1.25, 0, -1.25, -7);
    EXPECT_EQ(CommandList(), (Lines{"0 0 100 50.5", "1 1 1 1.00000002", "-1.25 0 -1.25 -7"}));
}

TEST_F(CommandWriterEntities, PointCorrectsCodeAndScale) {
    AddPoint(12, 10, 20, 0, 90);
    AddPoint(-8, 1, 2, 0.5, 0);
    AddPoint(-7, 1, 2, 0.5, 0);
    AddPoint(11, 0, 0, 1e-9, 45);
    AddPoint(0, 0, 0, -2, 0);
    EXPECT_EQ(CommandList(), (Lines{
                                 "pt 10 20 1 90 -3",
                                 "pt 1 2 0.5 0 -3",
                                 "pt 1 2 0.5 0 -7",
                                 "pt 0 0 1 45 11",
                                 "pt 0 0 -2 0 0",
                             }));
}

TEST_F(CommandWriterEntities, TextIsAHeadAndTheUnchangedText) {
    AddText(2, " 12 ", 0, 0, 10, 0);
    AddText(2, "寸法", -5.5, 3, 0, 1);
    EXPECT_EQ(CommandList(), (Lines{"cs 0 0 10 0 \"", " 12 ", "cs -5.5 3 0 1 \"", "寸法"}));
}

TEST_F(CommandWriterEntities, BlankOrDirectionlessTextIsDropped) {
    AddText(2, "　 ", 0, 0, 10, 0);
    AddText(2, "", 0, 0, 10, 0);
    AddText(2, "\t", 0, 0, 10, 0);
    AddText(2, "a", 0, 0, 0, 0);
    AddText(2, "a", 0, 0, 1e-8, -1e-8);
    EXPECT_EQ(CommandList(), (Lines{}));
    AddText(2, "a", 0, 0, 0, 2e-8);
    EXPECT_EQ(CommandList(), (Lines{"cs 0 0 0 2E-8 \"", "a"}));
}

TEST_F(CommandWriterEntities, TextKindChoosesTheKeyword) {
    const int kinds[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int kind : kinds) AddText(kind, "x", 1, 2, 3, 4);
    Lines heads;
    for (std::size_t i = 0; i < CommandList().size(); i += 2) heads.push_back(CommandList()[i]);
    EXPECT_EQ(heads, (Lines{
                         "ch 1 2 3 4 \"",
                         "ch 1 2 3 4 \"",
                         "cv 1 2 3 4 \"",
                         "cs 1 2 3 4 \"",
                         "cr 1 2 3 4 \"",
                         "co 1 2 3 4 \"",
                         "cp 1 2 3 4 \"",
                         "ct 1 2 3 4 \"",
                         "ck 1 2 3 4 \"",
                         "cz 1 2 3 4 \"",
                         "c2 1 2 3 4 \"",
                         "ch 1 2 3 4 \"",
                     }));
}

TEST_F(CommandWriterEntities, DimensionIsMessageLineAndText) {
    AddDimension("1,234.5mm", 0, 0, 1234.5, 0, 600, 100, 1, 0);
    EXPECT_EQ(CommandList(), (Lines{"msg", "0 0 1234.5 0", "cs 600 100 1 0 \"", "1,234.5mm"}));
}

TEST_F(CommandWriterEntities, DimensionWithoutTextShowsItsRoundedLength) {
    const struct {
        double X2, Y2;
        const char* Text;
    } cases[] = {
        {1234.5, 0, "1234.5"},
        {3, 4, "5"},
        {1, 1, "1.41421356"},
        {0.123456789, 0, "0.12345679"},
        {-0.123456784, 0, "0.12345678"},
        {0, 1e-8, "1E-8"},
    };
    for (const auto& c : cases) {
        ClearCommandList();
        AddDimension(" 　", 0, 0, c.X2, c.Y2, 0, 0, 1, 0);
        ASSERT_EQ(CommandList().size(), 4u) << c.Text;
        EXPECT_EQ(CommandList()[3], c.Text);
    }
}

TEST_F(CommandWriterEntities, DegenerateDimensionIsDropped) {
    AddDimension("", 5, 5, 5.000000001, 5, 0, 0, 1, 0);
    AddDimension("10", 0, 0, 10, 0, 0, 0, 0, 1e-9);
    EXPECT_EQ(CommandList(), (Lines{}));
}

TEST_F(CommandWriterEntities, EntriesAreCutTo255Bytes) {
    AddCommand(std::string(300, 'a'));
    AddText(2, std::string(255, 'b') + "c", 0, 0, 1, 0);
    ASSERT_EQ(CommandList().size(), 3u);
    EXPECT_EQ(CommandList()[0], std::string(255, 'a'));
    EXPECT_EQ(CommandList()[2], std::string(255, 'b'));
}

TEST_F(CommandWriterEntities, CutCountsBytesEvenInsideADoubleByteCharacter) {
    std::string kana;
    for (int i = 0; i < 128; ++i) kana += "あ";
    AddCommand(kana);
    AddCommand("a" + kana);
    ASSERT_EQ(CommandList().size(), 2u);
    EXPECT_EQ(CommandList()[0].size(), 255u);
    EXPECT_EQ(CommandList()[1].size(), 255u);
    EXPECT_EQ(CommandList()[0].substr(251), "\xa0\x82\xa0\x82");
    EXPECT_EQ(CommandList()[1].substr(251), "\x82\xa0\x82\xa0");
}

TEST_F(CommandWriterEntities, EntryNeverHoldsALineBreakOrIsEmpty) {
    AddCommand("");
    AddCommand("\r\n");
    AddCommand("a\r\nhq");
    AddText(2, "1\n2", 0, 0, 1, 0);
    EXPECT_EQ(CommandList(), (Lines{"ahq", "cs 0 0 1 0 \"", "12"}));
}

TEST_F(CommandWriterEntities, StorageGrowsInStepsOfAThousand) {
    AddCommand("x");
    EXPECT_EQ(CommandList().capacity(), 1000u);
    for (int i = 1; i < 1000; ++i) AddCommand("x");
    EXPECT_EQ(CommandList().capacity(), 1000u);
    AddCommand("x");
    EXPECT_EQ(CommandList().size(), 1001u);
    EXPECT_EQ(CommandList().capacity(), 2000u);
    ClearCommandList();
    EXPECT_EQ(CommandList().size(), 0u);
    EXPECT_EQ(CommandList().capacity(), 0u);
}

} // namespace
