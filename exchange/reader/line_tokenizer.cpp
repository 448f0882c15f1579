// Splits an exchange-file line into tokens: blanks and tabs separate, a quote or equals sign ends splitting.
#include "exchange/reader/line_tokenizer.h"
#include "exchange/reader/plain_bytes.h"
#include "util/sjis_bytes.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

enum TByteClass : uint8_t { bcDrop, bcKeep, bcLead, bcQuote, bcEquals, bcBlank, bcTab, bcLineFeed };

constexpr std::array<uint8_t, 256> MakeByteClasses(bool lineFeedEndsLine) {
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
    if (lineFeedEndsLine) c['\n'] = bcLineFeed;
    return c;
}

// A line handed over whole keeps a line feed as a control byte; in the file it ends the line.
constexpr std::array<uint8_t, 256> kLineByteClass = MakeByteClasses(false);
constexpr std::array<uint8_t, 256> kFileByteClass = MakeByteClasses(true);

// In the file a lead byte right before the line end (LF, or the CR of a CR LF) is the line's
// last byte, so it is dropped rather than paired with the line end.
bool IsLineEnd(const char* p, const char* end) {
    return *p == '\n' || (*p == '\r' && p + 1 < end && p[1] == '\n');
}

const char* AfterLineFeed(const char* p, const char* end) {
    const void* lf = std::memchr(p, '\n', static_cast<size_t>(end - p));
    return lf ? static_cast<const char*>(lf) + 1 : end;
}

// One pass over the bytes: classify, copy down and split. out never passes in, so the kept
// bytes can be written over the line itself; until the first dropped byte of a token they
// already stand where they belong and are not written at all. Only the bytes of one token
// need to be contiguous, so each token starts afresh after the separators before it.
template <bool kFile> char* TokenizeInPlace(char* const begin, char* const end, TLineTokens& tokens) {
    const std::array<uint8_t, 256>& classes = kFile ? kFileByteClass : kLineByteClass;
    int32_t index = 0;
    bool splitting = true;
    char* in = begin;
    char* out = begin;
    char* start = begin;
    while (in < end) {
        // Digits, letters and signs are nearly every byte the host writes: take those runs first.
        if (out == in) {
            in += plain_bytes::SkipPlain(in, end) - in;
            while (in < end && classes[static_cast<unsigned char>(*in)] == bcKeep) ++in;
            out = in;
        } else {
            const char* from = in;
            plain_bytes::MovePlainWords(from, out, end);
            in += from - in;
            while (in < end && classes[static_cast<unsigned char>(*in)] == bcKeep) *out++ = *in++;
        }
        if (in == end) break;
        const char b = *in++;
        switch (classes[static_cast<unsigned char>(b)]) {
        case bcLineFeed:
            tokens.Items[index] = std::string_view(start, static_cast<size_t>(out - start));
            tokens.Count = index + 1;
            return in;
        case bcLead:
            // The trail byte is taken whatever it is, so it never splits, quotes or ends a token.
            if (in == end || (kFile && IsLineEnd(in, end))) break;
            *out++ = b;
            *out++ = *in++;
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
                break;
            }
            if (out != start) {
                tokens.Items[index] = std::string_view(start, static_cast<size_t>(out - start));
                if (++index == 32) {
                    tokens.Count = 32;
                    return kFile ? const_cast<char*>(AfterLineFeed(in, end)) : end;
                }
            }
            // The next token starts where it stands: the separators before it are dropped
            // without moving the bytes after them down.
            start = out = in;
            break;
        default:
            break;
        }
    }
    tokens.Items[index] = std::string_view(start, static_cast<size_t>(out - start));
    tokens.Count = index + 1;
    return end;
}

} // namespace

void TokenizeExchangeLine(std::string_view line, char* scratch, TLineTokens& tokens) {
    if (!line.empty()) std::memcpy(scratch, line.data(), line.size());
    TokenizeInPlace<false>(scratch, scratch + line.size(), tokens);
}

char* TokenizeExchangeFileLine(char* begin, char* end, TLineTokens& tokens) {
    return TokenizeInPlace<true>(begin, end, tokens);
}
