// Splits an exchange-file line into tokens: blanks and tabs separate, a quote or equals sign ends splitting.
#include "exchange/line_tokenizer.h"
#include "util/Sjis.h"

#include <array>
#include <cstdint>

namespace {

enum TByteClass : uint8_t { bcDrop, bcKeep, bcLead, bcQuote, bcEquals, bcBlank, bcTab };

constexpr std::array<uint8_t, 256> MakeByteClasses() {
    std::array<uint8_t, 256> c{};
    for (int b = 0; b < 256; ++b) {
        if (IsSjisLeadByte(static_cast<unsigned char>(b)))
            c[b] = bcLead;
        else if (b >= 0x20 && b <= 0xFD)
            c[b] = bcKeep;
        else
            c[b] = bcDrop;
    }
    c['"'] = bcQuote;
    c['='] = bcEquals;
    c[' '] = bcBlank;
    c['\t'] = bcTab;
    return c;
}

constexpr std::array<uint8_t, 256> kByteClass = MakeByteClasses();

} // namespace

void TokenizeExchangeLine(std::string_view line, char* scratch, TLineTokens& tokens) {
    const char* in = line.data();
    const size_t n = line.size();
    int32_t index = 0;
    bool splitting = true;
    char* start = scratch;
    char* out = scratch;
    for (size_t i = 0; i < n; ++i) {
        // Digits, letters and signs are nearly every byte the host writes: copy those runs first.
        while (kByteClass[static_cast<unsigned char>(in[i])] == bcKeep) {
            *out++ = in[i++];
            if (i == n) goto done;
        }
        const char b = in[i];
        switch (kByteClass[static_cast<unsigned char>(b)]) {
        case bcKeep:
            *out++ = b;
            break;
        case bcLead:
            // The trail byte is taken whatever it is, so it never splits, quotes or ends the line.
            if (i + 1 == n) break;
            *out++ = b;
            *out++ = in[++i];
            break;
        case bcQuote:
            if (splitting)
                splitting = false;
            else
                *out++ = b;
            break;
        case bcEquals:
            *out++ = b;
            splitting = false;
            break;
        case bcBlank:
        case bcTab:
            if (!splitting) {
                if (b == ' ') *out++ = b;
            } else if (out != start) {
                tokens.Items[index] = std::string_view(start, static_cast<size_t>(out - start));
                start = out;
                if (++index == 32) {
                    tokens.Count = 32;
                    return;
                }
            }
            break;
        default:
            break;
        }
    }
done:
    tokens.Items[index] = std::string_view(start, static_cast<size_t>(out - start));
    tokens.Count = index + 1;
}
