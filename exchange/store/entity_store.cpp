// The entity store: one block-grown array per entity kind, the order list and the pending dimension line.
#include "exchange/store/entity_store.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#include "exchange/store/chunked_array.h"

namespace {

// What a run of texts shares: everything of a text record but its position, direction and text.
struct TTextStyle {
    TJwwEntHead Head;
    int32_t Kind = 0;
    int32_t CcCode = 0;
    int32_t TextType = 0;
    double Width = 0, Height = 0, Spacing = 0;
    TRecordText FontName;

    // Bit for bit, so that -0 and 0 (or two NaNs) never share a style.
    bool SameAs(const TJwwEntTxt& t) const {
        const TJwwEntHead& h = t.Head;
        return Head.HhpNumber == h.HhpNumber && Head.LayerGroup == h.LayerGroup && Head.Layer == h.Layer &&
               Head.Color == h.Color && Head.LineType == h.LineType && Head.LineWidth == h.LineWidth &&
               Head.ZFlags == h.ZFlags && Kind == t.Kind && CcCode == t.CcCode && TextType == t.TextType &&
               Bits(Width) == Bits(t.Width) && Bits(Height) == Bits(t.Height) &&
               Bits(Spacing) == Bits(t.Spacing) && FontName.Bytes == t.FontName.Bytes &&
               FontName.Length == t.FontName.Length;
    }
    static uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }
};

// A text record as stored. A drawing's texts are mostly short and come in runs of one style, and
// their direction is mostly (1, 0): a record names its style, keeps 0, 1 and -1 as two bits each,
// and puts its other values, then its text, in the arena. A line "ch 0 0 1 0 a" costs about
// 25 bytes this way, where a whole TJwwEntTxt takes 128.
struct TPackedText {
    const char* Bytes = nullptr; // the stored values, then the text
    uint32_t Style = 0;
    uint8_t Length = 0; // of the text
    uint8_t Forms = 0;  // two bits for each of X, Y, Dx and Dy, from the lowest
};

enum TValueForm : uint8_t { vfZero, vfOne, vfMinusOne, vfStored };

TValueForm FormOf(double v) {
    const uint64_t bits = std::bit_cast<uint64_t>(v);
    if (bits == std::bit_cast<uint64_t>(0.0)) return vfZero;
    if (bits == std::bit_cast<uint64_t>(1.0)) return vfOne;
    if (bits == std::bit_cast<uint64_t>(-1.0)) return vfMinusOne;
    return vfStored;
}

struct TEntityStore {
    TChunkedArray<TJwwEntLin> Lin;
    TChunkedArray<TJwwEntCir> Cir;
    TChunkedArray<TJwwEntArc> Arc;
    TChunkedArray<TPackedText> Txt;
    TChunkedArray<TTextStyle> TextStyles;
    TChunkedArray<TJwwEntPnt> Pnt;
    TChunkedArray<TJwwEntMrk> Mrk;
    TChunkedArray<TJwwEntDim> Dim;
    TChunkedArray<TJwwEntBlk> Blk;
    TChunkedArray<TJwwEntSl2> Sl2;
    TChunkedArray<TJwwEntSl3> Sl3;
    TChunkedArray<TJwwEntSl4> Sl4;
    TChunkedArray<TJwwEntSc> Sc;
    TChunkedArray<TJwwEntSe> Se;
    TChunkedArray<TJwwEntSo> So;
    TChunkedArray<TJwwEntSg> Sg;
    TChunkedArray<TEntityOrder> Order;
    TJwwEntLin PendingLine;
};

// Texts of all records, one after another in blocks that never move.
struct TTextArena {
    static constexpr size_t kBlockBytes = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> Blocks;
    char* Next = nullptr;
    size_t Left = 0;
    TRecordText LastFont; // the copy of the last font name kept

    // Room for n bytes (at most a few hundred); not zero-filled: every byte handed out is written first.
    char* Take(size_t n) {
        if (Left < n) {
            if (Blocks.size() == Blocks.capacity()) Blocks.reserve(Blocks.empty() ? 16 : 2 * Blocks.size());
            Blocks.emplace_back(new char[kBlockBytes]);
            Next = Blocks.back().get();
            Left = kBlockBytes;
        }
        char* taken = Next;
        Next += n;
        Left -= n;
        return taken;
    }
    TRecordText Keep(std::string_view text) {
        const size_t n = std::min<size_t>(text.size(), kMaxRecordText);
        if (n == 0) return TRecordText{};
        char* kept = Take(n);
        std::memcpy(kept, text.data(), n);
        return TRecordText{kept, static_cast<uint8_t>(n)};
    }
    void Clear() {
        std::vector<std::unique_ptr<char[]>>().swap(Blocks);
        Next = nullptr;
        Left = 0;
        LastFont = TRecordText{};
    }
};

TEntityStore gStore;
TTextArena gTexts;

TJwwEntLin DefaultPendingLine() {
    TJwwEntLin line;
    line.Head.Color = 1;
    line.Head.LineType = 1;
    line.X2 = 1;
    return line;
}

// Reading past the end answers an empty record rather than touching memory the store does not own.
template <class T> const T& At(const TChunkedArray<T>& array, int32_t index) {
    static const T empty{};
    if (index < 0 || index >= array.Count) return empty;
    return array[index];
}

// Order first, then the record: if the order list cannot grow, no unlisted record is left behind.
template <class T> T& AddListed(TChunkedArray<T>& array, TEntityKind kind) {
    AppendOrder(kind, array.Count);
    try {
        return array.Append();
    } catch (...) {
        gStore.Order.DropLast();
        throw;
    }
}

template <class T> T& Add(TChunkedArray<T>& array, TEntityKind kind) {
    T& record = AddListed(array, kind);
    FillEntityHead(record.Head);
    return record;
}

template <class F> auto WithArray(TEntityKind kind, F f) {
    switch (kind) {
    case ekLin:
        return f(gStore.Lin);
    case ekCir:
        return f(gStore.Cir);
    case ekArc:
        return f(gStore.Arc);
    case ekTxt:
        return f(gStore.Txt);
    case ekPnt:
        return f(gStore.Pnt);
    case ekMrk:
        return f(gStore.Mrk);
    case ekDim:
        return f(gStore.Dim);
    case ekBlk:
        return f(gStore.Blk);
    case ekSl2:
        return f(gStore.Sl2);
    case ekSl3:
        return f(gStore.Sl3);
    case ekSl4:
        return f(gStore.Sl4);
    case ekSc:
        return f(gStore.Sc);
    case ekSe:
        return f(gStore.Se);
    case ekSo:
        return f(gStore.So);
    case ekSg:
        return f(gStore.Sg);
    }
    return f(gStore.Lin);
}

bool IsEntityKind(TEntityKind kind) {
    return kind >= ekLin && kind <= ekSg;
}

} // namespace

void ClearEntityStore() {
    for (int k = ekLin; k <= ekSg; ++k) WithArray(static_cast<TEntityKind>(k), [](auto& a) { a.Clear(); });
    gStore.TextStyles.Clear();
    gStore.Order.Clear();
    gStore.PendingLine = DefaultPendingLine();
    gTexts.Clear();
}

TRecordText KeepRecordText(std::string_view text) {
    return gTexts.Keep(text);
}

TRecordText KeepFontName(std::string_view fontName) {
    const std::string_view cut = fontName.substr(0, kMaxRecordText);
    if (gTexts.LastFont.View() != cut) gTexts.LastFont = gTexts.Keep(cut);
    return gTexts.LastFont;
}

void AppendOrder(int32_t kind, int32_t index) {
    gStore.Order.Append() = TEntityOrder{kind, index};
}

void FillEntityHead(TJwwEntHead& head) {
    const TAttributeState& a = AttributeState();
    head.HhpNumber = a.HhpNumber;
    head.LayerGroup = a.LayerGroup;
    head.Layer = a.Layer;
    head.Color = a.LineColor;
    head.LineType = a.LineType;
    head.LineWidth = a.LineWidth;
    head.ZFlags = a.ZFlags;
}

TJwwEntLin& AddLineRecord() {
    return Add(gStore.Lin, ekLin);
}
TJwwEntCir& AddCircleRecord() {
    return Add(gStore.Cir, ekCir);
}
TJwwEntArc& AddArcRecord() {
    return Add(gStore.Arc, ekArc);
}
void AddTextRecord(const TJwwEntTxt& text) {
    const double values[4] = {text.X, text.Y, text.Dx, text.Dy};
    TValueForm form[4];
    uint8_t forms = 0;
    size_t stored = 0;
    for (int i = 0; i < 4; ++i) {
        form[i] = FormOf(values[i]);
        forms |= static_cast<uint8_t>(form[i] << (2 * i));
        if (form[i] == vfStored) ++stored;
    }
    const size_t length = std::min<size_t>(text.Text.Length, kMaxRecordText);
    // The bytes and the style come before the record: a failed allocation leaves at most unused arena
    // bytes or an unused style, never a half-made record.
    char* bytes = gTexts.Take(stored * sizeof(double) + length);
    char* at = bytes;
    for (int i = 0; i < 4; ++i) {
        if (form[i] != vfStored) continue;
        std::memcpy(at, &values[i], sizeof(double));
        at += sizeof(double);
    }
    if (length > 0) std::memcpy(at, text.Text.Bytes, length);
    TChunkedArray<TTextStyle>& styles = gStore.TextStyles;
    if (styles.Count == 0 || !styles[styles.Count - 1].SameAs(text)) {
        TTextStyle& style = styles.Append();
        style.Head = text.Head;
        style.Kind = text.Kind;
        style.CcCode = text.CcCode;
        style.TextType = text.TextType;
        style.Width = text.Width;
        style.Height = text.Height;
        style.Spacing = text.Spacing;
        style.FontName = text.FontName;
    }
    AddListed(gStore.Txt, ekTxt) =
        TPackedText{bytes, static_cast<uint32_t>(styles.Count - 1), static_cast<uint8_t>(length), forms};
}
TJwwEntPnt& AddPointRecord() {
    return Add(gStore.Pnt, ekPnt);
}
TJwwEntMrk& AddMarkerRecord() {
    return Add(gStore.Mrk, ekMrk);
}
TJwwEntDim& AddDimensionRecord() {
    return Add(gStore.Dim, ekDim);
}
TJwwEntBlk& AddBlockRecord() {
    return Add(gStore.Blk, ekBlk);
}
TJwwEntSl2& AddSolid2Record() {
    return Add(gStore.Sl2, ekSl2);
}
TJwwEntSl3& AddSolid3Record() {
    return Add(gStore.Sl3, ekSl3);
}
TJwwEntSl4& AddSolid4Record() {
    return Add(gStore.Sl4, ekSl4);
}
TJwwEntSc& AddScRecord() {
    return Add(gStore.Sc, ekSc);
}
TJwwEntSe& AddSeRecord() {
    return Add(gStore.Se, ekSe);
}
TJwwEntSo& AddSoRecord() {
    return Add(gStore.So, ekSo);
}
TJwwEntSg& AddSgRecord() {
    return Add(gStore.Sg, ekSg);
}
TJwwEntLin& MutablePendingDimensionLine() {
    return gStore.PendingLine;
}

int32_t EntityCount(TEntityKind kind) {
    return IsEntityKind(kind) ? WithArray(kind, [](auto& a) { return a.Count; }) : 0;
}
int32_t EntityCapacity(TEntityKind kind) {
    return IsEntityKind(kind) ? WithArray(kind, [](auto& a) { return a.Capacity(); }) : 0;
}

const TJwwEntLin& LineEntity(int32_t index) {
    return At(gStore.Lin, index);
}
const TJwwEntCir& CircleEntity(int32_t index) {
    return At(gStore.Cir, index);
}
const TJwwEntArc& ArcEntity(int32_t index) {
    return At(gStore.Arc, index);
}
TJwwEntTxt TextEntity(int32_t index) {
    TJwwEntTxt text;
    if (index < 0 || index >= gStore.Txt.Count) return text;
    const TPackedText& packed = gStore.Txt[index];
    const TTextStyle& style = gStore.TextStyles[static_cast<int32_t>(packed.Style)];
    text.Head = style.Head;
    text.Kind = style.Kind;
    text.CcCode = style.CcCode;
    text.TextType = style.TextType;
    text.Width = style.Width;
    text.Height = style.Height;
    text.Spacing = style.Spacing;
    text.FontName = style.FontName;
    const char* at = packed.Bytes;
    double* values[4] = {&text.X, &text.Y, &text.Dx, &text.Dy};
    for (int i = 0; i < 4; ++i) {
        switch (static_cast<TValueForm>((packed.Forms >> (2 * i)) & 3)) {
        case vfZero:
            *values[i] = 0.0;
            break;
        case vfOne:
            *values[i] = 1.0;
            break;
        case vfMinusOne:
            *values[i] = -1.0;
            break;
        case vfStored:
            std::memcpy(values[i], at, sizeof(double));
            at += sizeof(double);
            break;
        }
    }
    if (packed.Length > 0) text.Text = TRecordText{at, packed.Length};
    return text;
}
const TJwwEntPnt& PointEntity(int32_t index) {
    return At(gStore.Pnt, index);
}
const TJwwEntMrk& MarkerEntity(int32_t index) {
    return At(gStore.Mrk, index);
}
const TJwwEntDim& DimensionEntity(int32_t index) {
    return At(gStore.Dim, index);
}
const TJwwEntBlk& BlockEntity(int32_t index) {
    return At(gStore.Blk, index);
}
const TJwwEntSl2& Solid2Entity(int32_t index) {
    return At(gStore.Sl2, index);
}
const TJwwEntSl3& Solid3Entity(int32_t index) {
    return At(gStore.Sl3, index);
}
const TJwwEntSl4& Solid4Entity(int32_t index) {
    return At(gStore.Sl4, index);
}
const TJwwEntSc& ScEntity(int32_t index) {
    return At(gStore.Sc, index);
}
const TJwwEntSe& SeEntity(int32_t index) {
    return At(gStore.Se, index);
}
const TJwwEntSo& SoEntity(int32_t index) {
    return At(gStore.So, index);
}
const TJwwEntSg& SgEntity(int32_t index) {
    return At(gStore.Sg, index);
}
int32_t EntityOrderCount() {
    return gStore.Order.Count;
}
TEntityOrder EntityOrderAt(int32_t position) {
    return At(gStore.Order, position);
}
const TJwwEntLin& PendingDimensionLine() {
    return gStore.PendingLine;
}
