// The command-file renderer: where lines land, the marker shapes, texts, groups and skipped lines.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "render/Render.h"
#include "render/marker_shapes.h"
#include "render/svg_canvas.h"

namespace {

// Group 0 at 1:100, group 1 at 1:50, group 2 at 1:3; text type 3 is 3 wide, 4 high, 0.5 apart.
const char kHost[] = "hq\r\n"
                     "hs 100 50 3 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"
                     "hcw 1 1 3 1 1 1 1 1 1 1\r\n"
                     "hch 1 1 4 1 1 1 1 1 1 1\r\n"
                     "hcd 0 0 0.5 0 0 0 0 0 0 0\r\n"
                     "hp1 0 0\r\n"
                     "lg0\r\nly0\r\nlc1\r\nlt1\r\ncn1\r\n#\r\n";

std::string Render(const std::string& answer, TRenderReport* out = nullptr) {
    TRenderReport report;
    std::string svg = RenderCommandFile(kHost, answer, report);
    if (out) *out = report;
    return svg;
}

bool Has(const std::string& svg, const std::string& piece) {
    return svg.find(piece) != std::string::npos;
}

std::string MarkerBody(int code, TPaperPoint centre = {0, 0}, double size = 1, double angle = 0) {
    TSvgCanvas canvas;
    canvas.Depth = 0;
    DrawMarker(canvas, code, centre, size, angle);
    return canvas.Body;
}

} // namespace

TEST(SvgNumber, WritesAtMostThreeDecimalsWithoutTrailingZeros) {
    EXPECT_EQ(SvgNumber(0), "0");
    EXPECT_EQ(SvgNumber(2.5), "2.5");
    EXPECT_EQ(SvgNumber(-15), "-15");
    EXPECT_EQ(SvgNumber(12.3456), "12.346");
    EXPECT_EQ(SvgNumber(-3.14159), "-3.142");
    EXPECT_EQ(SvgNumber(1000000), "1000000");
    EXPECT_EQ(SvgNumber(0.0004), "0");
    EXPECT_EQ(SvgNumber(-0.0004), "0"); // never "-0"
    EXPECT_EQ(SvgNumber(1.0 / 3), "0.333");
    EXPECT_EQ(SvgNumber(0.1 + 0.2), "0.3");
}

TEST(RenderCommandFile, PutsLineEndsAtPaperMillimetresWithYUp) {
    const std::string svg = Render("lg0\r\n"
                                   " -1500 1000 2100 -500\r\n"
                                   "lg1\r\n"
                                   "100 200 300 -400\r\n"
                                   "lg2\r\n"
                                   "1 0 2 -1E1\r\n");
    EXPECT_TRUE(Has(svg, "<line x1=\"-15\" y1=\"-10\" x2=\"21\" y2=\"5\"/>")) << svg;
    EXPECT_TRUE(Has(svg, "<line x1=\"2\" y1=\"-4\" x2=\"6\" y2=\"8\"/>")) << svg;
    EXPECT_TRUE(Has(svg, "<line x1=\"0.333\" y1=\"0\" x2=\"0.667\" y2=\"3.333\"/>")) << svg;
    // x from -15 to 21 and y from -10 to 8, with 5 mm all round.
    EXPECT_TRUE(Has(svg, "width=\"46mm\" height=\"28mm\" viewBox=\"-20 -15 46 28\"")) << svg;
    EXPECT_TRUE(Has(svg, "<rect x=\"-20\" y=\"-15\" width=\"46\" height=\"28\" fill=\"white\"/>")) << svg;
}

TEST(RenderCommandFile, DrawsLineTypesAsDashPatterns) {
    const std::string svg = Render("lt1\r\n0 0 100 0\r\n"
                                   "lt2\r\n0 100 100 100\r\n"
                                   "lt5\r\n0 200 100 200\r\n"
                                   "lt9\r\n0 300 100 300\r\n"
                                   "lt77\r\n0 400 100 400\r\n");
    EXPECT_TRUE(Has(svg, "<line x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\"/>")) << svg;
    EXPECT_TRUE(Has(svg, "<line x1=\"0\" y1=\"-1\" x2=\"1\" y2=\"-1\" stroke-dasharray=\"0.6 0.6\"/>"))
        << svg;
    EXPECT_TRUE(Has(svg, "<line x1=\"0\" y1=\"-2\" x2=\"1\" y2=\"-2\" stroke-dasharray=\"6 1 0.6 1\"/>"))
        << svg;
    EXPECT_TRUE(Has(svg, "<line x1=\"0\" y1=\"-3\" x2=\"1\" y2=\"-3\" stroke-dasharray=\"0.3 0.9\"/>"))
        << svg;
    EXPECT_TRUE(Has(svg, "<line x1=\"0\" y1=\"-4\" x2=\"1\" y2=\"-4\"/>")) << svg; // unknown type: solid
}

TEST(RenderCommandFile, IgnoresLayerColourAndFlags) {
    const std::string plain = Render("0 0 100 0\r\n");
    EXPECT_EQ(Render("ly5\r\nlc7\r\npn3\r\nlw5\r\nz3\r\nz5\r\n0 0 100 0\r\n"), plain);
}

TEST(DrawMarker, GivesEachCodeItsOwnShape) {
    std::set<std::string> shapes;
    for (int code = -7; code <= 11; ++code) {
        if (code == 0) continue;
        const std::string body = MarkerBody(code);
        EXPECT_FALSE(body.empty()) << code;
        EXPECT_TRUE(shapes.insert(body).second) << "code " << code << " looks like another: " << body;
    }
    for (int code : {0, 12, -8, 1000}) {
        TSvgCanvas canvas;
        EXPECT_FALSE(DrawMarker(canvas, code, {0, 0}, 1, 0)) << code;
        EXPECT_TRUE(canvas.Body.empty()) << code;
    }
}

TEST(DrawMarker, DrawsTheShapesAtTheirNominalSize) {
    EXPECT_EQ(MarkerBody(5),
              "<path d=\"M-1.25 1.25 L1.25 1.25 L1.25 -1.25 L-1.25 -1.25 Z\" fill=\"black\"/>\n");
    EXPECT_EQ(MarkerBody(2),
              "<path d=\"M-1.25 1.25 L1.25 1.25 L1.25 -1.25 L-1.25 -1.25 Z\" fill=\"white\"/>\n");
    EXPECT_EQ(MarkerBody(-5), "<path d=\"M-1.25 1.25 L1.25 1.25 L1.25 -1.25 L-1.25 -1.25 Z\"/>\n");
    EXPECT_EQ(MarkerBody(7), "<circle cx=\"0\" cy=\"0\" r=\"1.25\" fill=\"black\"/>\n");
    EXPECT_EQ(MarkerBody(3), "<circle cx=\"0\" cy=\"0\" r=\"1.25\" fill=\"white\"/>\n");
    EXPECT_EQ(MarkerBody(-2), "<circle cx=\"0\" cy=\"0\" r=\"1.25\"/>\n");
    EXPECT_EQ(MarkerBody(-3), "<circle cx=\"0\" cy=\"0\" r=\"0.3\" fill=\"black\"/>\n");
    EXPECT_EQ(MarkerBody(10), "<line x1=\"-1.25\" y1=\"1.25\" x2=\"1.25\" y2=\"-1.25\"/>\n");
    // The three arrows: tip on the point, 7.5 long, 2.5 wide; blanked, filled, unfilled, open.
    EXPECT_EQ(MarkerBody(1), "<path d=\"M0 0 L-7.5 -1.25 L-7.5 1.25 Z\" fill=\"white\"/>\n");
    EXPECT_EQ(MarkerBody(6), "<path d=\"M0 0 L-7.5 -1.25 L-7.5 1.25 Z\" fill=\"black\"/>\n");
    EXPECT_EQ(MarkerBody(11), "<path d=\"M0 0 L-7.5 -1.25 L-7.5 1.25 Z\"/>\n");
    EXPECT_EQ(MarkerBody(9), "<path d=\"M-7.5 -1.25 L0 0 L-7.5 1.25\"/>\n");
}

TEST(DrawMarker, TurnsAndScalesAboutThePoint) {
    // Pointing up the paper (90 degrees), twice the size: the body hangs below the tip.
    EXPECT_EQ(MarkerBody(6, {10, 20}, 2, 90), "<path d=\"M10 -20 L7.5 -5 L12.5 -5 Z\" fill=\"black\"/>\n");
    // Pointing left (180): the body lies to the right, as at the start of a dimension line.
    EXPECT_EQ(MarkerBody(6, {0, 0}, 1, 180), "<path d=\"M0 0 L7.5 1.25 L7.5 -1.25 Z\" fill=\"black\"/>\n");
    EXPECT_EQ(MarkerBody(5, {0, 0}, 1, 45),
              "<path d=\"M0 1.768 L1.768 0 L0 -1.768 L-1.768 0 Z\" fill=\"black\"/>\n");
    EXPECT_EQ(MarkerBody(7, {0, 0}, -3, 0), "<circle cx=\"0\" cy=\"0\" r=\"3.75\" fill=\"black\"/>\n");
}

TEST(RenderCommandFile, KeepsMarkersAtTheirPaperSize) {
    const std::string svg = Render("pt 100 200 1 0 7\r\npt 100 200 0 0 5\r\npt 300 400\r\n");
    EXPECT_TRUE(Has(svg, "<circle cx=\"1\" cy=\"-2\" r=\"1.25\" fill=\"black\"/>")) << svg;
    // A size factor of 0 reads as 1, as the tool's writer makes it.
    EXPECT_TRUE(Has(svg, "<path d=\"M-0.25 -0.75 L2.25 -0.75 L2.25 -3.25 L-0.25 -3.25 Z\" fill=\"black\"/>"))
        << svg;
    EXPECT_TRUE(Has(svg, "<circle cx=\"3\" cy=\"-4\" r=\"0.3\" fill=\"black\"/>")) << svg; // a plain point
}

TEST(SjisToUtf8, ConvertsCodePage932) {
    EXPECT_EQ(SjisToUtf8("3600"), "3600");
    EXPECT_EQ(SjisToUtf8("\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e"),
              "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF"); // ＭＳ ゴシック
    EXPECT_EQ(SjisToUtf8("\x90\xa1\x96\x40"), "\xE5\xAF\xB8\xE6\xB3\x95");                  // 寸法
    EXPECT_EQ(SjisToUtf8("\x82\x52\x81\x43\x82\x55"), "\xEF\xBC\x93\xEF\xBC\x8C\xEF\xBC\x96"); // ３，６
    EXPECT_EQ(SjisToUtf8("\x82\x8d"), "\xEF\xBD\x8D");                                         // ｍ
    EXPECT_EQ(SjisToUtf8("\xb1"), "\xEF\xBD\xB1");         // half-width katakana ｱ
    EXPECT_EQ(SjisToUtf8("C:\\jww"), "C:\\jww");           // 0x5C stays a backslash
    EXPECT_EQ(SjisToUtf8("\x87\x40"), "\xE2\x91\xA0");     // NEC row 13: ①
    EXPECT_EQ(SjisToUtf8("a\x85\x40z"), "a\xEF\xBF\xBDz"); // no character there
    EXPECT_EQ(SjisToUtf8("a\x82"), "a\xEF\xBF\xBD");       // lead byte at the end
    EXPECT_EQ(SjisToUtf8("a\x01\x1f\tb\x7f"), "a\tb\x7f"); // controls XML cannot hold
}

TEST(XmlEscape, EscapesMarkupCharacters) {
    EXPECT_EQ(XmlEscape("3600"), "3600");
    EXPECT_EQ(XmlEscape("A&B"), "A&amp;B");
    EXPECT_EQ(XmlEscape("<x>"), "&lt;x&gt;");
    EXPECT_EQ(XmlEscape("\"q\" 'a'"), "&quot;q&quot; 'a'");
    EXPECT_EQ(XmlEscape("&amp;"), "&amp;amp;");
}

TEST(RenderCommandFile, WritesTextsInTheirTypeSizeAndDirection) {
    const std::string svg = Render("cn\"$<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>\r\n"
                                   "cn3\r\n"
                                   "ch 100 200 10 0 \"A&B<C>\r\n"
                                   "cs 0 0 0 10 \"\x90\xa1\x96\x40\r\n"
                                   "cn\"$<x'y\"z\\&>/\r\n"
                                   "cn0 2 5 0 1\r\n"
                                   "cs 0 0 -10 0 \" a  b\r\n");
    const std::string gothic = "font-family=\"'\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83"
                               "\xE3\x82\xAF', 'MS Gothic', 'IPAGothic', 'IPAexGothic', 'Noto Sans CJK JP', "
                               "sans-serif\"";
    // Six single-byte characters of width 1.5 with 0.25 between them.
    EXPECT_TRUE(
        Has(svg, "<text x=\"1\" y=\"-2\" " + gothic +
                     " font-size=\"4\" textLength=\"10.25\" lengthAdjust=\"spacingAndGlyphs\" fill=\"black\" "
                     "stroke=\"none\">A&amp;B&lt;C&gt;</text>"))
        << svg;
    // Two double-byte characters of width 3 with 0.5 between, turned to read upwards.
    EXPECT_TRUE(
        Has(svg, "<text x=\"0\" y=\"0\" transform=\"rotate(-90 0 0)\" " + gothic +
                     " font-size=\"4\" textLength=\"6.5\" lengthAdjust=\"spacingAndGlyphs\" fill=\"black\" "
                     "stroke=\"none\">\xE5\xAF\xB8\xE6\xB3\x95</text>"))
        << svg;
    // A free-size text in an italic font whose name holds quotes and markup characters.
    EXPECT_TRUE(Has(svg,
                    "<text x=\"0\" y=\"0\" transform=\"rotate(-180 0 0)\" font-family=\"'xyz&amp;', 'MS "
                    "Gothic', 'IPAGothic', 'IPAexGothic', 'Noto Sans CJK JP', sans-serif\" font-size=\"5\" "
                    "font-style=\"italic\" textLength=\"5\" lengthAdjust=\"spacingAndGlyphs\" "
                    "xml:space=\"preserve\" fill=\"black\" stroke=\"none\"> a  b</text>"))
        << svg;
}

TEST(RenderCommandFile, GroupsTheDimensionEntity) {
    const std::string svg = Render("cn3\r\nmsg\r\n0 0 1000 0\r\ncs 500 200 10 0 \"1000\r\n0 0 0 100\r\n");
    EXPECT_TRUE(Has(svg, "    <g class=\"dimension\">\n"
                         "      <line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\"/>\n"
                         "      <text x=\"5\" y=\"-2\" "))
        << svg;
    EXPECT_TRUE(Has(svg, ">1000</text>\n    </g>\n    <line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"-1\"/>\n"))
        << svg;
}

TEST(RenderCommandFile, SkipsAndCountsWhatItDoesNotUnderstand) {
    TRenderReport report;
    const std::string svg = Render("foo\r\n"
                                   "1 2 3\r\n"
                                   "1 2 3 x\r\n"
                                   "hs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"
                                   "pt 1 2 3\r\n"
                                   "ci 0 0 500 0 90 1 0\r\n"
                                   "BL 1 2 door\r\n"
                                   "sl 0 0 500 0 500 500\r\n"
                                   "pt 0 0 1 0 99\r\n"
                                   "cv 0 0 1 0 \"x\r\n"
                                   "ch 0 0\r\n"
                                   "\r\n"
                                   "0 0 100 0\r\n",
                                   &report);
    EXPECT_EQ(report.Skipped, 12);
    EXPECT_FALSE(report.NotDrawn);
    EXPECT_TRUE(Has(svg,
                    "  <g fill=\"none\" stroke=\"black\" stroke-width=\"0.2\" stroke-linecap=\"round\" "
                    "stroke-linejoin=\"round\">\n    <line x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\"/>\n  </g>\n"))
        << svg;

    EXPECT_EQ(Render("0 0 100 0\r\nci 0 0 100\r\n", &report).find("<circle cx=\"0\" cy=\"0\" r=\"1\"/>") !=
                  std::string::npos,
              true);
    EXPECT_EQ(report.Skipped, 0);
}

TEST(RenderCommandFile, DrawsNothingWhenTheAnswerSaysHq) {
    TRenderReport report;
    EXPECT_EQ(Render("hq\r\n", &report),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10mm\" height=\"10mm\" "
              "viewBox=\"-5 -5 10 10\">\n"
              "  <rect x=\"-5\" y=\"-5\" width=\"10\" height=\"10\" fill=\"white\"/>\n"
              "  <g fill=\"none\" stroke=\"black\" stroke-width=\"0.2\" "
              "stroke-linecap=\"round\" stroke-linejoin=\"round\">\n"
              "  </g>\n"
              "</svg>\n");
    EXPECT_TRUE(report.NotDrawn);
    Render("0 0 100 0\r\nhq\r\n", &report);
    EXPECT_TRUE(report.NotDrawn);
}

TEST(RenderCommandFile, SurvivesEveryByteAndHugeNumbers) {
    std::string junk;
    for (int b = 0; b < 256; ++b) junk += static_cast<char>(b);
    TRenderReport report;
    const std::string svg = Render(
        junk + "\r\n\"" + junk + "\r\nch 0 0 1 0 \"" + junk + "\r\n1e308 -1e308 1e308 1e308\r\n", &report);
    EXPECT_TRUE(Has(svg, "</svg>\n"));
    EXPECT_GE(report.Skipped, 2);
}
