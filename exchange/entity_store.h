// Inside the exchange unit: emptying the entity store and adding the entities of the exchange file.
#pragma once

#include <cstdint>
#include <string_view>

#include "exchange/JwwGaibu.h"

// The tokens of one exchange-file line; Count is at most 32.
struct TLineTokens {
    std::string_view Items[32];
    int32_t Count = 0;
    std::string_view operator[](int32_t i) const { return i < Count ? Items[i] : std::string_view(); }
};

void ClearEntityStore();

// Each stores one entity from a line the dispatcher matched (it has checked the token count),
// then resets the per-entity attributes. They may throw std::bad_alloc.
void StoreLineSegment(const TLineTokens& t);
void StoreCircle(const TLineTokens& t);
void StoreArc(const TLineTokens& t);
void StoreText(const TLineTokens& t, int32_t kind);
void StorePoint(const TLineTokens& t);
void StoreMarker(const TLineTokens& t);
void StoreBlock(const TLineTokens& t);
void StoreSlSolid(const TLineTokens& t);
void StoreValueSolid(const TLineTokens& t, TEntityKind kind);
