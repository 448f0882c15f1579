// Inside the exchange unit: emptying the entity store, and new records of each kind, already listed in
// the order list and headed.
#pragma once

#include <string_view>

#include "exchange/JwwGaibu.h"

void ClearEntityStore();

// Each appends the order pair, grows the kind's storage and fills the header from the
// running attributes; std::bad_alloc leaves the store as it was.
TJwwEntLin& AddLineRecord();
TJwwEntCir& AddCircleRecord();
TJwwEntArc& AddArcRecord();
// A text is stored packed (TextEntity unpacks it): its text is copied, so it may be any bytes the caller
// holds, cut to kMaxRecordText; its font name must be one the store keeps (KeepFontName).
void AddTextRecord(const TJwwEntTxt& text);
TJwwEntPnt& AddPointRecord();
TJwwEntMrk& AddMarkerRecord();
TJwwEntDim& AddDimensionRecord();
TJwwEntBlk& AddBlockRecord();
TJwwEntSl2& AddSolid2Record();
TJwwEntSl3& AddSolid3Record();
TJwwEntSl4& AddSolid4Record();
TJwwEntSc& AddScRecord();
TJwwEntSe& AddSeRecord();
TJwwEntSo& AddSoRecord();
TJwwEntSg& AddSgRecord();
TJwwEntLin& MutablePendingDimensionLine();

// The text in the store's arena, cut to kMaxRecordText bytes; may throw std::bad_alloc.
TRecordText KeepRecordText(std::string_view text);
// The same for a font name: a run of texts in one font shares one copy of its name.
TRecordText KeepFontName(std::string_view fontName);
