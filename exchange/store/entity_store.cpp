// The entity store: one block-grown array per entity kind, the order list and the pending dimension line.
#include "exchange/store/entity_store.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "exchange/store/block_memory.h"
#include "exchange/store/chunked_array.h"

namespace {

struct TEntityStore {
    TChunkedArray<TJwwEntLin> Lin;
    TChunkedArray<TJwwEntCir> Cir;
    TChunkedArray<TJwwEntArc> Arc;
    TChunkedArray<TJwwEntTxt> Txt;
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

// Texts of all records, one after another in blocks that never move (freed with the record blocks).
struct TTextArena {
    static constexpr size_t kBlockBytes = 64 * 1024;
    char* Next = nullptr;
    size_t Left = 0;
    TRecordText LastFont; // the copy of the last font name kept

    TRecordText Keep(std::string_view text) {
        const size_t n = std::min<size_t>(text.size(), kMaxRecordText);
        if (n == 0) return TRecordText{};
        if (Left < n) {
            // Not zero-filled: every byte handed out is written first.
            Next = static_cast<char*>(AllocateBlockMemory(kBlockBytes));
            Left = kBlockBytes;
        }
        std::memcpy(Next, text.data(), n);
        const TRecordText kept{Next, static_cast<uint8_t>(n)};
        Next += n;
        Left -= n;
        return kept;
    }
    void Clear() {
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
template <class T> T& Add(TChunkedArray<T>& array, TEntityKind kind) {
    AppendOrder(kind, array.Count);
    try {
        T& record = array.Append();
        FillEntityHead(record.Head);
        return record;
    } catch (...) {
        gStore.Order.DropLast();
        throw;
    }
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
    gStore.Order.Clear();
    gStore.PendingLine = DefaultPendingLine();
    gTexts.Clear();
    ReleaseBlockMemory();
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
TJwwEntTxt& AddTextRecord() {
    return Add(gStore.Txt, ekTxt);
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
const TJwwEntTxt& TextEntity(int32_t index) {
    return At(gStore.Txt, index);
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
