// Tests of the attribute commands: when each is sent and how its value is corrected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "test_support.h"

namespace {

using Lines = std::vector<std::string>;

using CommandWriterAttributes = ExchangeTest;

TEST_F(CommandWriterAttributes, SendsAValueOnceUntilTheCachesAreReset) {
    SetLineColor(5);
    SetLineColor(5);
    EXPECT_EQ(CommandList(), (Lines{"lc5"}));
    ResetCommandCaches();
    SetLineColor(5);
    SetLineColor(7);
    SetLineColor(7);
    EXPECT_EQ(CommandList(), (Lines{"lc5", "lc5", "lc7"}));
}

TEST_F(CommandWriterAttributes, SendsTheFirstValueEvenWhenItIsTheDefault) {
    SetLayerGroup(0);
    SetLayer(0);
    SetLineColor(1);
    SetLineType(1);
    SetTextType(1, 0, 0, 0, 0);
    SetCcCode(0);
    SetTextFont("<ＭＳ ゴシック>");
    SetPnColor(1);
    EXPECT_EQ(CommandList(),
              (Lines{"lg0", "ly0", "lc1", "lt1", "cn1", "cc0", "cn\"$<ＭＳ ゴシック>", "pn1"}));
}

TEST_F(CommandWriterAttributes, CachesEachAttributeSeparately) {
    SetLineType(2);
    SetPnColor(3);
    SetLineType(2);
    SetPnColor(3);
    SetLineType(-4);
    SetPnColor(12);
    SetLineType(-4);
    EXPECT_EQ(CommandList(), (Lines{"lt2", "pn3", "lt-4", "pn12"}));
}

TEST_F(CommandWriterAttributes, ANewLayerGroupSendsTheLayerAgain) {
    SetLayerGroup(2);
    SetLayer(3);
    SetLayerGroup(2);
    SetLayer(3);
    SetLayerGroup(3);
    SetLayer(3);
    EXPECT_EQ(CommandList(), (Lines{"lg2", "ly3", "lg3", "ly3"}));
}

TEST_F(CommandWriterAttributes, WritesLayerGroupAndLayerInUpperCaseHex) {
    SetLayerGroup(10);
    SetLayer(15);
    SetLayerGroup(11);
    SetLayer(12);
    EXPECT_EQ(CommandList(), (Lines{"lgA", "lyF", "lgB", "lyC"}));
}

TEST_F(CommandWriterAttributes, LineWidthFollowsTheHostAndStaysInRange) {
    SetLineWidth(5); // no "lw" line came from the host
    SetLineWidth(-1);
    EXPECT_EQ(CommandList(), (Lines{}));

    HostParameters().LineWidthSeen = true;
    HostParameters().HostLineWidth = 7;
    SetLineWidth(40000);
    SetLineWidth(-1);
    SetLineWidth(-5);
    SetLineWidth(30000);
    SetLineWidth(30001);
    SetLineWidth(0);
    EXPECT_EQ(CommandList(), (Lines{"lw0", "lw7", "lw0", "lw30000", "lw0"}));
}

TEST_F(CommandWriterAttributes, FreeSizeTextTypeIsSentWhenAnyOfItsValuesChanges) {
    SetTextType(0, 1, 3.5, 3.5, 0.5);
    SetTextType(0, 1, 3.5, 3.5, 0.5);
    SetTextType(0, 1, 3.5, 3.5, 0.75);
    SetTextType(0, 2, 3.5, 3.5, 0.75);
    SetTextType(0, 2, 4, 3.5, 0.75);
    SetTextType(0, 2, 4, 5, 0.75);
    SetTextType(4, 2, 4, 5, 0.75);
    SetTextType(4, 1, 1, 1, 1);
    SetTextType(0, 2, 4, 5, 0.75);
    EXPECT_EQ(CommandList(), (Lines{
                                 "cn0 3.5 3.5 0.5 1",
                                 "cn0 3.5 3.5 0.75 1",
                                 "cn0 3.5 3.5 0.75 2",
                                 "cn0 4 3.5 0.75 2",
                                 "cn0 4 5 0.75 2",
                                 "cn4",
                                 "cn0 4 5 0.75 2",
                             }));
}

TEST_F(CommandWriterAttributes, OutOfRangeTextTypeTakesTheHostTextType) {
    HostParameters().HostTextType = 3;
    SetTextType(11, 1, 2, 2, 0);
    SetTextType(-1, 1, 2, 2, 0);
    SetTextType(10, 1, 2, 2, 0);
    EXPECT_EQ(CommandList(), (Lines{"cn3", "cn10"}));
}

TEST_F(CommandWriterAttributes, OutOfRangeTextTypeTakesTheHostFreeSize) {
    HostParameters().HostTextType = 0;
    HostParameters().HostFreeText = TTextTypeSize{2.5, 2.5, 0.5, 3};
    SetTextType(11, 9, 7, 7, 7);
    SetTextType(0, 3, 2.5, 2.5, 0.5);
    SetTextType(-2, 1, 1, 1, 1);
    EXPECT_EQ(CommandList(), (Lines{"cn0 2.5 2.5 0.5 3"}));
}

TEST_F(CommandWriterAttributes, CcCodeOutsideZeroToEightBecomesZero) {
    SetCcCode(9);
    SetCcCode(-1);
    SetCcCode(8);
    SetCcCode(0);
    SetCcCode(100);
    EXPECT_EQ(CommandList(), (Lines{"cc0", "cc8", "cc0"}));
}

TEST_F(CommandWriterAttributes, EmptyFontNameMeansTheHostFont) {
    HostParameters().HostFontName = "<ＭＳ 明朝>";
    SetTextFont("");
    SetTextFont("<>");
    SetTextFont("<ＭＳ 明朝>");
    SetTextFont("<ＭＳ 明朝>/");
    SetTextFont("<>");
    EXPECT_EQ(CommandList(), (Lines{"cn\"$<ＭＳ 明朝>", "cn\"$<ＭＳ 明朝>/", "cn\"$<ＭＳ 明朝>"}));
}

TEST_F(CommandWriterAttributes, ResetPutsTheDefaultsBackAndForcesEveryAttribute) {
    HostParameters().LineWidthSeen = true;
    SetLayerGroup(4);
    SetLayer(5);
    SetLineColor(6);
    SetTextType(0, 3, 9, 9, 9);
    SetTextFont("<x>");
    AttributeState().SolidColor = 7;
    ResetCommandCaches();

    const TAttributeState& state = AttributeState();
    EXPECT_EQ(state.LayerGroup, 0);
    EXPECT_EQ(state.Layer, 0);
    EXPECT_EQ(state.LineColor, 1);
    EXPECT_EQ(state.LineType, 1);
    EXPECT_EQ(state.LineWidth, 0);
    EXPECT_EQ(state.TextType, 1);
    EXPECT_EQ(state.FreeText.Width, 2);
    EXPECT_EQ(state.FreeText.Height, 2);
    EXPECT_EQ(state.FreeText.Spacing, 0);
    EXPECT_EQ(state.FreeText.Color, 1);
    EXPECT_EQ(state.CcCode, 0);
    EXPECT_EQ(state.FontName, "<ＭＳ ゴシック>");
    EXPECT_EQ(state.PnColor, 1);
    EXPECT_EQ(state.SolidColor, 0);
    for (bool force : state.Force) EXPECT_TRUE(force);

    SetLineWidth(0);
    SetTextType(0, 1, 2, 2, 0);
    EXPECT_EQ(CommandList().back(), "cn0 2 2 0 1");
    EXPECT_EQ(CommandList()[CommandList().size() - 2], "lw0");
}

TEST_F(CommandWriterAttributes, ZFlagsAreSentInBitOrder) {
    AddZFlags(4);
    EXPECT_EQ(CommandList(), (Lines{"z3"}));
    AddZFlags(4);
    AddZFlags(0);
    AddZFlags(8);
    AddZFlags(24);
    AddZFlags(31);
    EXPECT_EQ(CommandList(), (Lines{"z3", "z3", "z4", "z5", "z1", "z2", "z3", "z5"}));
}

} // namespace
