// Inside the exchange unit: the entity lines of the exchange file, each turned into one record of the store.
#pragma once

#include <cstdint>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/line_tokenizer.h"

// Every stored entity consumes the "hhp" number and the z flags that were meant for it; any entity
// but a bare segment also ends a polyline and a dimension waiting for its text.
void EndEntity(bool endsGroups);

// Each stores one entity from a line the dispatcher matched (it has checked the token count),
// then resets the per-entity attributes. They may throw std::bad_alloc.
void StoreLineSegment(const TLineTokens& t);
void StoreSegment(double x1, double y1, double x2, double y2);
void StoreCircle(const TLineTokens& t);
void StoreCircle(double x, double y, double radius);
void StoreArc(const TLineTokens& t);
void StoreArc(const double (&values)[7]); // centre, radius, then the four values after it
void StoreText(const TLineTokens& t, int32_t kind);
void StorePoint(const TLineTokens& t);
void StorePoint(double x, double y);
void StoreMarker(const TLineTokens& t);
void StoreBlock(const TLineTokens& t);
void StoreSlSolid(const TLineTokens& t);
void StoreValueSolid(const TLineTokens& t, TEntityKind kind);
