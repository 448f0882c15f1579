// Reading JWC_TEMP.TXT from disk: line ends, odd bytes, long lines and missing files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/reader.h"
#include "test_support.h"

namespace {

class ExchangeReaderFile : public testing::Test {
  protected:
    void SetUp() override { InitExchangeData(); }
    void TearDown() override { FreeExchangeData(); }
    void Write(const std::string& bytes) { WriteWholeFile(path, bytes); }
    TScratchFolder folder;
    std::filesystem::path path = folder.Path / "JWC_TEMP.TXT";
};

// What a read leaves: the order list, every segment, text, circle and point, the pending dimension
// line and the host's angle, in one string to compare.
std::string StoreFingerprint() {
    std::string s;
    const auto add = [&s](double v) { s.append(reinterpret_cast<const char*>(&v), sizeof v); };
    for (int32_t i = 0; i < EntityOrderCount(); ++i)
        s += std::to_string(EntityOrderAt(i).Kind) + ":" + std::to_string(EntityOrderAt(i).Index) + " ";
    for (int32_t i = 0; i < EntityCount(ekLin); ++i) {
        const TJwwEntLin& l = LineEntity(i);
        for (double v : {l.X1, l.Y1, l.X2, l.Y2}) add(v);
        s += std::to_string(l.PolylineNo) + std::to_string(l.Head.Color);
    }
    for (int32_t i = 0; i < EntityCount(ekTxt); ++i) {
        const TJwwEntTxt t = TextEntity(i);
        s += t.Text.View();
        add(t.X);
    }
    for (int32_t i = 0; i < EntityCount(ekCir); ++i) add(CircleEntity(i).Radius);
    for (int32_t i = 0; i < EntityCount(ekPnt); ++i) add(PointEntity(i).Y);
    for (int32_t i = 0; i < EntityCount(ekDim); ++i) s += DimensionEntity(i).Text.Text.View();
    add(PendingDimensionLine().X1);
    add(HostParameters().AxisAngle);
    return s;
}

} // namespace

TEST_F(ExchangeReaderFile, ReadsAHostFile) {
    Write("hq\r\nhk 30\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 100\r\nhp1-  34262.8515141222 19199.8914568925\r\n"
          "lgF\r\nly0\r\nlc2\r\nlt1\r\ncn1\r\ncn\"$<ＭＳ ゴシック>\r\n#\r\n -40496.8595011236 "
          "19256.2733412202 0 0\r\n"
          "ch 0 0 1 0 \"寸法\r\n");
    EXPECT_TRUE(ReadExchangeFile(path));
    const THostParameters& host = HostParameters();
    EXPECT_EQ(host.AxisAngle, 30);
    EXPECT_EQ(host.GroupScale[15], 100);
    EXPECT_EQ(host.Points[1].X, 34262.8515141222);
    EXPECT_EQ(host.HostLayerGroup, 15);
    EXPECT_EQ(host.HostLineColor, 2);
    EXPECT_EQ(host.HostFontName, "<ＭＳ ゴシック>");
    ASSERT_EQ(EntityCount(ekLin), 1);
    EXPECT_EQ(LineEntity(0).X1, -40496.8595011236);
    EXPECT_EQ(LineEntity(0).Head.LayerGroup, 15);
    ASSERT_EQ(EntityCount(ekTxt), 1);
    EXPECT_EQ(TextEntity(0).Text.View(), "\x90\xA1\x96\x40");
}

TEST_F(ExchangeReaderFile, LinesEndAtLineFeedsOnly) {
    // LF and CR LF end lines; a lone CR stays inside its line and is dropped there, so "0\r4"
    // is the one token "04" and the third line is the segment 3 0 0 4.
    Write("1 0 0 0\n2 0 0 0\r\n3 0 0 0\r4\r\r\n5 0 0 0");
    EXPECT_TRUE(ReadExchangeFile(path));
    ASSERT_EQ(EntityCount(ekLin), 4);
    EXPECT_EQ(LineEntity(0).X1, 1);
    EXPECT_EQ(LineEntity(1).X1, 2);
    EXPECT_EQ(LineEntity(2).X1, 3);
    EXPECT_EQ(LineEntity(2).X2, 0);
    EXPECT_EQ(LineEntity(2).Y2, 4);
    EXPECT_EQ(LineEntity(3).X1, 5);

    // A file with only CRs as line ends is one long line: "10", "20", "30", "4".
    InitExchangeData();
    Write("10 2\r0 3\r0 4\r");
    EXPECT_TRUE(ReadExchangeFile(path));
    ASSERT_EQ(EntityCount(ekLin), 1);
    EXPECT_EQ(LineEntity(0).X1, 10);
    EXPECT_EQ(LineEntity(0).Y1, 20);
    EXPECT_EQ(LineEntity(0).X2, 30);
    EXPECT_EQ(LineEntity(0).Y2, 4);

    // As two lines these would set colour 5 and then 7; as the one token "lc5lc7" the colour
    // text is "5lc7", which reads as 0.
    InitExchangeData();
    Write("lc5\rlc7\r");
    EXPECT_TRUE(ReadExchangeFile(path));
    EXPECT_EQ(HostParameters().HostLineColor, 0);
    EXPECT_EQ(AttributeState().LineColor, 0);

    // The CR of a CR LF is not part of the line, so a lead byte before it is the last byte and
    // goes; a lead byte before a lone CR takes that CR as its second byte.
    InitExchangeData();
    Write("ch 0 0 1 0 \"a\x82\r\nch 0 0 1 0 \"b\x82\rc\r\nch 0 0 1 0 \"d\x82\r\r\n");
    EXPECT_TRUE(ReadExchangeFile(path));
    ASSERT_EQ(EntityCount(ekTxt), 3);
    EXPECT_EQ(TextEntity(0).Text.View(), "a");
    EXPECT_EQ(TextEntity(1).Text.View(), "b\x82\rc");
    EXPECT_EQ(TextEntity(2).Text.View(), "d\x82\r");
}

TEST_F(ExchangeReaderFile, DropsNulBytesInsideLines) {
    Write(std::string("hk 4\0"
                      "5\n1 2\0 3 4\n",
                      16));
    EXPECT_TRUE(ReadExchangeFile(path));
    EXPECT_EQ(HostParameters().AxisAngle, 45);
    ASSERT_EQ(EntityCount(ekLin), 1);
    EXPECT_EQ(LineEntity(0).Y1, 2);
}

TEST_F(ExchangeReaderFile, LinesLongerThanTheReadBlock) {
    // A text of 3 MB, then lines split across the 1 MB block edges at every offset.
    std::string bytes = "ch 0 0 1 0 \"" + std::string(3 << 20, 'x') + "\r\n";
    while (bytes.size() < (5u << 20)) bytes += "1 2 3 4\r\n";
    Write(bytes);
    EXPECT_TRUE(ReadExchangeFile(path));
    ASSERT_EQ(EntityCount(ekTxt), 1);
    EXPECT_EQ(TextEntity(0).Text.View(), std::string(255, 'x'));
    const int32_t lines = EntityCount(ekLin);
    EXPECT_EQ(lines, static_cast<int32_t>((bytes.size() - (3 << 20) - 14) / 9));
    EXPECT_EQ(LineEntity(lines - 1).Y2, 4);
    EXPECT_EQ(EntityOrderCount(), lines + 1);
}

TEST_F(ExchangeReaderFile, CrLfSplitAcrossBlocksIsOneLineEnd) {
    // The CR is the last byte of the first 1 MB block, its LF the first of the next.
    Write("hk " + std::string((1 << 20) - 5, '0') + "7\r\n1 2 3 4\n");
    EXPECT_TRUE(ReadExchangeFile(path));
    EXPECT_EQ(HostParameters().AxisAngle, 7);
    EXPECT_EQ(EntityCount(ekLin), 1);

    // A lead byte before the pair is the line's last byte and goes ("7" stays a number), whether
    // the block ends after the CR or after the lead byte itself.
    for (const size_t zeros : {(1u << 20) - 6, (1u << 20) - 5}) {
        InitExchangeData();
        Write("hk " + std::string(zeros, '0') + "7\x82\r\n1 2 3 4\n");
        EXPECT_TRUE(ReadExchangeFile(path));
        EXPECT_EQ(HostParameters().AxisAngle, 7) << zeros;
        EXPECT_EQ(EntityCount(ekLin), 1) << zeros;
    }
}

// The same bytes handed over in blocks of every small size: every line seam a block can make,
// and a buffer that grows for lines longer than a block, read as one whole file reads, on one
// thread and on two.
TEST_F(ExchangeReaderFile, EveryBlockSizeReadsTheSameLines) {
    const std::string bytes = "hk 30\r\nlgA\r\n -40496.8595011236 19256.2733412202 1 0\r\n"
                              "ch 1.5 2 1 0 \"\x90\xA1\x96\x40 12\r\n1 2 3 4 \r\npt 7 8\r\n9 8 7 6";
    for (size_t block = 1; block <= 128; ++block) {
        // As a small file is read, and as a large one, on two threads.
        InitExchangeData();
        ASSERT_TRUE(ReadExchangeBytes(bytes, (block + 1) / 2, block % 2 == 0));
        EXPECT_EQ(HostParameters().AxisAngle, 30) << block;
        ASSERT_EQ(EntityCount(ekLin), 2) << block;
        EXPECT_EQ(LineEntity(0).X1, -40496.8595011236) << block;
        EXPECT_EQ(LineEntity(0).Head.LayerGroup, 10) << block;
        EXPECT_EQ(LineEntity(1).X1, 9) << block;
        ASSERT_EQ(EntityCount(ekTxt), 1) << block;
        EXPECT_EQ(TextEntity(0).Text.View(), "\x90\xA1\x96\x40 12") << block;
        EXPECT_EQ(TextEntity(0).X, 1.5) << block;
        ASSERT_EQ(EntityCount(ekPnt), 1) << block;
        EXPECT_EQ(PointEntity(0).Y, 8) << block;
        EXPECT_EQ(EntityOrderCount(), 4) << block;
    }
}

TEST_F(ExchangeReaderFile, EmptyFileKeepsTheDefaults) {
    Write("");
    EXPECT_TRUE(ReadExchangeFile(path));
    EXPECT_EQ(HostParameters().GroupScale[0], 1);
    EXPECT_EQ(EntityOrderCount(), 0);
}

TEST_F(ExchangeReaderFile, MissingFileOrFolderFails) {
    EXPECT_FALSE(ReadExchangeFile(folder.Path / "NOT_THERE.TXT"));
    EXPECT_FALSE(ReadExchangeFile(folder.Path));
    EXPECT_EQ(HostParameters().AxisAngle, 0);
    EXPECT_EQ(HostParameters().TextTypes[1].Width, 3);
    EXPECT_FALSE(HostParameters().Points[1].IsSet);
}

TEST_F(ExchangeReaderFile, ReadsAPathWithJapaneseFolderName) {
    // The path is taken as it is; the folder name here is UTF-8 on the native side.
    const std::filesystem::path japanese = folder.Path / std::filesystem::path(u8"外部変形");
    std::filesystem::create_directories(japanese);
    WriteWholeFile(japanese / "JWC_TEMP.TXT", "hk 12\r\n");
    EXPECT_TRUE(ReadExchangeFile(japanese / "JWC_TEMP.TXT"));
    EXPECT_EQ(HostParameters().AxisAngle, 12);
}

// Bare segments are most of a large file and are read in one pass; every line that only looks
// like one must still come out as the keyword table reads it.
TEST_F(ExchangeReaderFile, BareSegmentsAndLinesThatOnlyLookLikeThem) {
    Write(" -40496.8595011236 19256.2733412202 1 0\r\n"
          "1\t2  3 4\r\n"
          "1 2 3 4 \r\n"
          "-0 +5. .25 1234567890123456789\n"
          "1 2 3 4x\n"
          "1 2 3 4 5\n"
          "1 2 3\n"
          "1 2\r3 4 5\n"
          "1 2 3 12345678901234567890\n"
          "1 2 3 1e2\n"
          "1 2 3 \"4\n"
          "9 8 7 6");
    ASSERT_TRUE(ReadExchangeFile(path));
    ASSERT_EQ(EntityCount(ekLin), 9);
    const double expected[9][4] = {{-40496.8595011236, 19256.2733412202, 1, 0},
                                   {1, 2, 3, 4}, // not "1 2 3 4 ": a blank at the end makes a fifth token
                                   {0, 5, 0.25, 1234567890123456789.0},
                                   {1, 2, 3, 0},  // "4x" is no number
                                   {1, 23, 4, 5}, // the CR inside the line is dropped, not a blank
                                   {1, 2, 3, 12345678901234567890.0},
                                   {1, 2, 3, 100},
                                   {1, 2, 3, 4}, // the quote only ends the splitting
                                   {9, 8, 7, 6}};
    for (int32_t i = 0; i < 9; ++i) {
        const TJwwEntLin& l = LineEntity(i);
        EXPECT_EQ(l.X1, expected[i][0]) << i;
        EXPECT_EQ(l.Y1, expected[i][1]) << i;
        EXPECT_EQ(l.X2, expected[i][2]) << i;
        EXPECT_EQ(l.Y2, expected[i][3]) << i;
    }
    EXPECT_FALSE(std::signbit(LineEntity(2).X1));
}

// Circles, arcs and points of plain decimals are read in the same pass; lines that only look
// like them still come out as the keyword table reads them.
TEST_F(ExchangeReaderFile, PlainCirclesArcsAndPointsAndLinesThatOnlyLookLikeThem) {
    Write("ci -1.5 2.25 3\r\n"
          "ci 1 2 3 4 5 6 7\n"
          "pt 10 20\r\n"
          "ci\t4 5  6\n"
          "ci 1 2 3 \r\n"        // a blank at the end makes a fifth token: nothing
          "ci 7 8 9e0\n"         // not a plain decimal, still a circle
          "cix 1 2 3\n"          // no keyword: four tokens make a segment
          "pt 1 2 3\n"           // no point: four tokens make a segment
          "ci 1 2 3 4 5 6 7 8\n" // eight numbers: still an arc of the first seven
          "ci 1 2\r3\n"          // the CR inside the line is dropped: "ci 1 23", nothing
          "ci1 2 3\n"            // no keyword, three tokens: nothing
          "pt 5 6");
    ASSERT_TRUE(ReadExchangeFile(path));
    ASSERT_EQ(EntityCount(ekCir), 3);
    ASSERT_EQ(EntityCount(ekArc), 2);
    ASSERT_EQ(EntityCount(ekPnt), 2);
    ASSERT_EQ(EntityCount(ekLin), 2);
    EXPECT_EQ(EntityOrderCount(), 9);
    const double circles[3][3] = {{-1.5, 2.25, 3}, {4, 5, 6}, {7, 8, 9}};
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(CircleEntity(i).X, circles[i][0]) << i;
        EXPECT_EQ(CircleEntity(i).Y, circles[i][1]) << i;
        EXPECT_EQ(CircleEntity(i).Radius, circles[i][2]) << i;
    }
    for (int32_t i = 0; i < 2; ++i) {
        const TJwwEntArc& a = ArcEntity(i);
        EXPECT_EQ(a.X, 1) << i;
        EXPECT_EQ(a.Y, 2) << i;
        EXPECT_EQ(a.Radius, 3) << i;
        EXPECT_EQ(a.Values[0], 4) << i;
        EXPECT_EQ(a.Values[1], 5) << i;
        EXPECT_EQ(a.Values[2], 6) << i;
        EXPECT_EQ(a.Values[3], 7) << i;
    }
    EXPECT_EQ(PointEntity(0).X, 10);
    EXPECT_EQ(PointEntity(0).Y, 20);
    EXPECT_EQ(PointEntity(1).X, 5);
    EXPECT_EQ(PointEntity(1).Y, 6);
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(LineEntity(i).X1, 0) << i;
        EXPECT_EQ(LineEntity(i).Y1, 1) << i;
        EXPECT_EQ(LineEntity(i).X2, 2) << i;
        EXPECT_EQ(LineEntity(i).Y2, 3) << i;
    }
    const TEntityKind order[9] = {ekCir, ekArc, ekPnt, ekCir, ekCir, ekLin, ekLin, ekArc, ekPnt};
    for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(EntityOrderAt(i).Kind, order[i]) << i;
}

// A large file is read on two threads, one finding the lines and one applying them: the store must
// come out exactly as on one thread, whatever lines the blocks begin and end in.
TEST_F(ExchangeReaderFile, TwoThreadsReadWhatOneThreadReads) {
    std::string bytes = "hk 30\r\n";
    for (int i = 0; i < 400; ++i) {
        const std::string n = std::to_string(i);
        bytes += " -40496.8595011236 " + n + ".25 1 0\r\n";
        bytes += "lc" + std::to_string(1 + i % 9) + "\r\npl\r\n1 2 3 4\r\n5 6 7 " + n + "\r\n#\r\n";
        bytes += "ci " + n + " 2 3\r\nci 1 2 3 0.5 1 0 1.5\r\npt 7 " + n + "\r\n";
        bytes += "ch 1.5 2 1 0 \"text " + n + "\r\nmsg\r\n1 1 2 2\r\n3 3 4 " + n + "\r\ncs 0 0 1 0 " + n + "\r\n";
        if (i % 50 == 7) bytes += "ch 0 0 1 0 \"" + std::string(3000 + static_cast<size_t>(i), 'x') + "\r\n";
        if (i % 64 == 9) bytes += "hk " + std::string(5000, '0') + "45\r\n";
    }
    bytes += "9 8 7 6"; // no line feed at the end
    ASSERT_TRUE(ReadExchangeBytes(bytes, 4096));
    const std::string expected = StoreFingerprint();
    ASSERT_EQ(EntityCount(ekDim), 400);
    for (size_t block : {1u, 7u, 100u, 1000u, 4096u, 65536u}) {
        InitExchangeData();
        ASSERT_TRUE(ReadExchangeBytes(bytes, block, true)) << block;
        EXPECT_EQ(StoreFingerprint(), expected) << block;
    }
}
