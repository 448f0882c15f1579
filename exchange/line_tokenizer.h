// Inside the exchange unit: splitting one exchange-file line into at most 32 tokens.
#pragma once

#include <string_view>

#include "exchange/entity_store.h"

// Writes the kept bytes of the line's tokens into scratch, which must have room for
// line.size() bytes, and points the tokens into it. Tokens beyond the 32nd are dropped.
// Every byte of the line belongs to it, a line feed included (dropped as a control byte).
void TokenizeExchangeLine(std::string_view line, char* scratch, TLineTokens& tokens);

// Tokenizes the first line of [begin, end) where it lies: the kept bytes move down over the
// dropped ones and the tokens point into the range. The line ends at the first line feed or at
// end; a CR right before the line feed is not part of it. Returns the byte after the line feed
// (or end). The reader's block buffer is read this way, with no copy of the bytes.
char* TokenizeExchangeFileLine(char* begin, char* end, TLineTokens& tokens);

// Applies one tokenized line to the host parameters, the attributes and the entity store.
// Throws std::bad_alloc when the store cannot grow; the reader turns that into a failed read.
void ApplyExchangeTokens(const TLineTokens& tokens);
