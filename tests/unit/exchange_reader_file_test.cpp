// Reading JWC_TEMP.TXT from disk: line ends, odd bytes, long lines and missing files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/reader.h"
#include "store_fingerprint.h"
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
// and a buffer that grows for lines longer than a block, read as one whole file reads.
TEST_F(ExchangeReaderFile, EveryBlockSizeReadsTheSameLines) {
    const std::string bytes = "hk 30\r\nlgA\r\n -40496.8595011236 19256.2733412202 1 0\r\n"
                              "ch 1.5 2 1 0 \"\x90\xA1\x96\x40 12\r\n1 2 3 4 \r\npt 7 8\r\n9 8 7 6";
    for (size_t block = 1; block <= 64; ++block) {
        InitExchangeData();
        ASSERT_TRUE(ReadExchangeBytes(bytes, block));
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

// Plain segments, circles, arcs and points are read by quick paths and every other line through the
// tokenizer and the keyword table; blocks of any size must give, value for value, what the same lines
// handed over one by one (the general way only) give, whatever lines the blocks begin and end in.
TEST_F(ExchangeReaderFile, BlocksOfAnySizeReadWhatLineByLineReads) {
    std::string bytes = "hk 30\r\nhs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\r\nhp1ln 1.5 -2\r\n";
    for (int i = 0; i < 400; ++i) {
        const std::string n = std::to_string(i);
        bytes += " -40496.8595011236 " + n + ".25 1 0\r\n";
        bytes += "lg" + std::to_string(i % 16) + "\r\nly" + std::to_string(i % 7) + "\r\nlc" +
                 std::to_string(1 + i % 9) + "\r\nlt" + std::to_string(i % 5) + "\r\n";
        bytes += "pl\r\n1 2 3 4\r\n5 6 7 " + n + "\r\n#\r\nhhp" + n + "ci\r\nz2\r\n";
        bytes += "ci " + n + ".125 -2 3\r\nci 1 2 3 0.5 1 0 1.5" + n + "\r\npt 7 -" + n + ".0625\r\n";
        bytes += "pt 1 2 1 0 " + std::to_string(i % 12) + "\r\n";
        bytes +=
            "ch 1.5 2 1 0 \"text " + n + "\r\nmsg\r\n1 1 2 2\r\n3 3 4 " + n + "\r\ncs 0 0 1 0 " + n + "\r\n";
        bytes += "BL 1 2 \"block " + n + "\r\nsl 1 2 3 4\r\n";
        if (i % 50 == 7) bytes += "ch 0 0 1 0 \"" + std::string(3000 + static_cast<size_t>(i), 'x') + "\r\n";
        if (i % 64 == 9) bytes += "hk " + std::string(5000, '0') + "45\r\n";
    }
    bytes += "9 8 7 6"; // no line feed at the end

    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        ParseExchangeLine(std::string_view(bytes).substr(start, end - start - (bytes[end - 1] == '\r')));
    ParseExchangeLine(std::string_view(bytes).substr(start));
    const std::string expected = StoreFingerprint();
    ASSERT_EQ(EntityCount(ekDim), 400);
    ASSERT_EQ(EntityCount(ekArc), 400);
    ASSERT_EQ(EntityCount(ekMrk), 400);
    for (size_t block : {1u, 7u, 100u, 1000u, 4096u, 65536u, 1u << 20}) {
        InitExchangeData();
        ASSERT_TRUE(ReadExchangeBytes(bytes, block)) << block;
        EXPECT_EQ(StoreFingerprint(), expected) << block;
    }
}

// After a line longer than the block the reader goes back to blocks of the size asked for, and a read
// error ends the reading with the lines before it applied.
TEST_F(ExchangeReaderFile, BlocksKeepTheirSizeAfterALongLineAndAReadErrorStopsTheReading) {
    const std::string longLine = "ch 0 0 1 0 \"" + std::string(5000, 'x') + "\n";
    std::string bytes = "hk 1\n" + longLine;
    for (int i = 0; i < 100; ++i) bytes += "1 2 3 " + std::to_string(i) + "\n";
    std::string_view rest = bytes;
    std::vector<size_t> rooms;
    size_t afterLongLine = 0; // the calls made until the long line was handed over whole
    const bool read = ReadExchangeBlocks(64, [&](char* to, size_t room) -> std::ptrdiff_t {
        rooms.push_back(room);
        const size_t n = std::min(room, rest.size());
        std::memcpy(to, rest.data(), n);
        rest.remove_prefix(n);
        if (afterLongLine == 0 && bytes.size() - rest.size() >= 5 + longLine.size())
            afterLongLine = rooms.size();
        return static_cast<std::ptrdiff_t>(n);
    });
    ASSERT_TRUE(read);
    EXPECT_EQ(EntityCount(ekTxt), 1);
    EXPECT_EQ(EntityCount(ekLin), 100);
    EXPECT_GE(*std::max_element(rooms.begin(), rooms.end()), 4096u); // the long line took a large buffer
    ASSERT_GT(afterLongLine, 0u);
    for (size_t i = afterLongLine; i < rooms.size(); ++i) EXPECT_LE(rooms[i], 64u) << i;

    InitExchangeData();
    int calls = 0;
    EXPECT_FALSE(ReadExchangeBlocks(8, [&](char* to, size_t room) -> std::ptrdiff_t {
        if (++calls == 3) return -1;
        const std::string_view block = "1 2 3 4\n";
        std::memcpy(to, block.data(), std::min(room, block.size()));
        return static_cast<std::ptrdiff_t>(std::min(room, block.size()));
    }));
    EXPECT_EQ(EntityCount(ekLin), 2);
}
