// Inside the exchange unit: the effects of the header, attribute and point lines of the exchange file.
#pragma once

#include <cstdint>
#include <string_view>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/line_tokenizer.h"

inline bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Each returns false when the line's token count does not fit, so later rules are tried.
bool ApplyHeaderLine(const TLineTokens& t);

void ApplyLayerGroupLine(const TLineTokens& t);
void ApplyLayerLine(const TLineTokens& t);
void ApplyColorLine(const TLineTokens& t);
void ApplyLineTypeLine(const TLineTokens& t);
void ApplyLineWidthLine(const TLineTokens& t);
void ApplyFontLine(const TLineTokens& t);
void ApplyTextTypeLine(const TLineTokens& t);
void ApplyIndicatedPointLine(const TLineTokens& t);
void ApplyEntityNumberLine(const TLineTokens& t);
