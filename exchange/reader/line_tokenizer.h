// Inside the exchange unit: splitting one exchange-file line into at most 32 tokens.
#pragma once

#include <cstdint>
#include <string_view>

// The tokens of one exchange-file line; Count is at most 32.
struct TLineTokens {
    std::string_view Items[32];
    int32_t Count = 0;
    std::string_view operator[](int32_t i) const { return i < Count ? Items[i] : std::string_view(); }
};

// Writes the kept bytes of the line's tokens into scratch, which must have room for
// line.size() bytes, and points the tokens into it. Tokens beyond the 32nd are dropped.
// Every byte of the line belongs to it, a line feed included (dropped as a control byte).
void TokenizeExchangeLine(std::string_view line, char* scratch, TLineTokens& tokens);

// Tokenizes the first line of [begin, end) where it lies: the kept bytes move down over the
// dropped ones and the tokens point into the range. The line ends at the first line feed or at
// end; a CR right before the line feed is not part of it. Returns the byte after the line feed
// (or end). The reader's block buffer is read this way, with no copy of the bytes.
char* TokenizeExchangeFileLine(char* begin, char* end, TLineTokens& tokens);
