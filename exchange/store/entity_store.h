// Inside the exchange unit: emptying the entity store, and new records of each kind, already listed in
// the order list and headed.
#pragma once

#include "exchange/JwwGaibu.h"

void ClearEntityStore();

// Each appends the order pair, grows the kind's storage and fills the header from the
// running attributes; std::bad_alloc leaves the store as it was.
TJwwEntLin& AddLineRecord();
TJwwEntCir& AddCircleRecord();
TJwwEntArc& AddArcRecord();
TJwwEntTxt& AddTextRecord();
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
