// libFuzzer target for the exchange file: any bytes read safely, texts round-trip, the store stays
// consistent.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/reader.h"
#include "exchange/reader/token_numbers.h"
#include "tests/unit/store_fingerprint.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

TARVEL_NOT_FUZZED bool Finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

TARVEL_NOT_FUZZED void CheckHead(const TJwwEntHead& h) {
    Check(h.LayerGroup >= 0 && h.LayerGroup <= 15);
    Check(h.Layer >= 0 && h.Layer <= 15);
    Check(h.ZFlags >= 0 && h.ZFlags <= 31);
}

TARVEL_NOT_FUZZED void CheckText(const TJwwEntTxt& t) {
    CheckHead(t.Head);
    Check(t.Kind >= 0 && t.Kind <= 9);
    Check(t.CcCode >= 0 && t.CcCode <= 8);
    Check(t.Text.Length <= kMaxRecordText && t.FontName.Length <= kMaxRecordText);
    Check(Finite({t.Width, t.Height, t.Spacing, t.X, t.Y, t.Dx, t.Dy}));
}

TARVEL_NOT_FUZZED void CheckLine(const TJwwEntLin& l) {
    CheckHead(l.Head);
    Check(Finite({l.X1, l.Y1, l.X2, l.Y2}));
}

template <class T, size_t N> TARVEL_NOT_FUZZED bool FiniteArray(const std::array<double, N>& values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// Every stored value is finite and in range, and the order list names each record exactly once.
TARVEL_NOT_FUZZED void CheckStore() {
    Check(OrderListNamesEveryRecordOnce());
    for (int32_t i = 0; i < EntityCount(ekLin); ++i) CheckLine(LineEntity(i));
    for (int32_t i = 0; i < EntityCount(ekCir); ++i) {
        const auto& c = CircleEntity(i);
        CheckHead(c.Head);
        Check(Finite({c.X, c.Y, c.Radius}));
    }
    for (int32_t i = 0; i < EntityCount(ekArc); ++i) {
        const auto& a = ArcEntity(i);
        CheckHead(a.Head);
        Check(Finite({a.X, a.Y, a.Radius}) && FiniteArray<double>(a.Values));
    }
    for (int32_t i = 0; i < EntityCount(ekTxt); ++i) CheckText(TextEntity(i));
    for (int32_t i = 0; i < EntityCount(ekPnt); ++i) Check(Finite({PointEntity(i).X, PointEntity(i).Y}));
    for (int32_t i = 0; i < EntityCount(ekMrk); ++i) {
        const auto& m = MarkerEntity(i);
        Check(Finite({m.X, m.Y, m.Scale, m.Angle}));
    }
    for (int32_t i = 0; i < EntityCount(ekDim); ++i) {
        CheckLine(DimensionEntity(i).Line);
        CheckText(DimensionEntity(i).Text);
        Check(DimensionEntity(i).Text.Kind == 2);
    }
    for (int32_t i = 0; i < EntityCount(ekBlk); ++i) Check(Finite({BlockEntity(i).X, BlockEntity(i).Y}));
    for (int32_t i = 0; i < EntityCount(ekSl2); ++i) {
        const auto& s = Solid2Entity(i);
        Check(Finite({s.X1, s.Y1, s.X2, s.Y2}));
    }
    for (int32_t i = 0; i < EntityCount(ekSl3); ++i) {
        const auto& s = Solid3Entity(i);
        Check(Finite({s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3}));
    }
    for (int32_t i = 0; i < EntityCount(ekSl4); ++i) {
        const auto& s = Solid4Entity(i);
        Check(Finite({s.X1, s.Y1, s.X2, s.Y2, s.X3, s.Y3, s.X4, s.Y4}));
    }
    for (int32_t i = 0; i < EntityCount(ekSc); ++i) Check(FiniteArray<double>(ScEntity(i).Values));
    for (int32_t i = 0; i < EntityCount(ekSe); ++i) Check(FiniteArray<double>(SeEntity(i).Values));
    for (int32_t i = 0; i < EntityCount(ekSo); ++i) Check(FiniteArray<double>(SoEntity(i).Values));
    for (int32_t i = 0; i < EntityCount(ekSg); ++i) Check(FiniteArray<double>(SgEntity(i).Values));
    CheckLine(PendingDimensionLine());

    const THostParameters& host = HostParameters();
    const TAttributeState& a = AttributeState();
    Check(host.HostLayerGroup >= 0 && host.HostLayerGroup <= 15 && host.HostLayer >= 0 &&
          host.HostLayer <= 15);
    Check(a.LayerGroup >= 0 && a.LayerGroup <= 15 && a.Layer >= 0 && a.Layer <= 15);
    Check(a.CcCode >= 0 && a.CcCode <= 8);
    Check(Finite({host.AxisAngle, host.PaperWidth, host.PaperHeight}) &&
          FiniteArray<double>(host.GroupScale));
    for (const TIndicatedPoint& p : host.Points) Check(Finite({p.X, p.Y}) && p.Kind >= 0 && p.Kind <= 4);
    Check(!host.Points[0].IsSet);
}

// What the reader keeps of bytes that follow an opening quote: whole two-byte characters,
// printable bytes; no tabs, control bytes, 0xFE or 0xFF; a lone last lead byte goes.
TARVEL_NOT_FUZZED std::string KeptQuotedBytes(std::string_view bytes) {
    std::string kept;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool lead = (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
        if (lead) {
            if (i + 1 < bytes.size()) kept += bytes.substr(i++, 2);
        } else if (b >= 0x20 && b <= 0xFD) {
            kept += static_cast<char>(b);
        }
    }
    return kept.substr(0, kMaxRecordText);
}

// Lines end at LF; the CR of a CR LF is not part of the line, any other CR is.
TARVEL_NOT_FUZZED std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        const size_t stop = i > start && bytes[i - 1] == '\r' ? i - 1 : i;
        lines.push_back(bytes.substr(start, stop - start));
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The quick path for coordinates gives exactly the bits of the general number reader.
    const double quick = TokenToReal(bytes.substr(0, 40)), general = TextToFloat(bytes.substr(0, 40));
    Check(std::memcmp(&quick, &general, sizeof quick) == 0);

    // Any text after an opening quote comes back as the text of the entity, with exactly the bytes kept.
    InitExchangeData();
    ParseExchangeLine("ch 0 0 1 0 \"" + std::string(bytes));
    Check(EntityCount(ekTxt) == 1 && TextEntity(0).Kind == 0);
    Check(TextEntity(0).Text.View() == KeptQuotedBytes(bytes));

    // Lines fed one by one.
    InitExchangeData();
    for (std::string_view line : SplitLines(bytes)) ParseExchangeLine(line);
    CheckStore();
    const std::string byLines = StoreFingerprint();

    // The same bytes through the file reader's block loop give the same store, value for value: the
    // quick paths for plain segments, circles, arcs and points against the general way. Small blocks, a
    // different size for each input, put the block seams (and the buffer's growth for a line longer
    // than a block) inside lines of every kind; no file is written, which would cost more than the rest.
    InitExchangeData();
    Check(ReadExchangeBytes(bytes, 1 + size % 97));
    CheckStore();
    Check(StoreFingerprint() == byLines);
    FreeExchangeData();
    return 0;
}
