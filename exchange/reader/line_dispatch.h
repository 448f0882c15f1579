// Inside the exchange unit: the keyword table that applies each tokenized line of the exchange file.
#pragma once

#include "exchange/reader/line_tokenizer.h"

// Applies one tokenized line to the host parameters, the attributes and the entity store.
// Throws std::bad_alloc when the store cannot grow; the reader turns that into a failed read.
void ApplyExchangeTokens(const TLineTokens& tokens);
