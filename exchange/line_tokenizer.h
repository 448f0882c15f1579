// Inside the exchange unit: splitting one exchange-file line into at most 32 tokens.
#pragma once

#include <string_view>

#include "exchange/entity_store.h"

// Writes the kept bytes of the line's tokens into scratch, which must have room for
// line.size() bytes, and points the tokens into it. Tokens beyond the 32nd are dropped.
void TokenizeExchangeLine(std::string_view line, char* scratch, TLineTokens& tokens);

// Applies one tokenized line to the host parameters, the attributes and the entity store.
// Throws std::bad_alloc when the store cannot grow; the reader turns that into a failed read.
void ApplyExchangeTokens(const TLineTokens& tokens);
