// Reads the exchange file in large blocks, one pass on the calling thread, and applies each line where
// it lies in the block.
#include "exchange/reader/reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/entity_lines.h"
#include "exchange/reader/line_dispatch.h"
#include "exchange/reader/line_tokenizer.h"
#include "exchange/reader/token_numbers.h"

namespace {

constexpr size_t kBlockSize = 1 << 20;

// The byte after the last line feed of [begin, end), or nothing: every line before it is complete.
// Only the bytes read last are looked at: those kept from before hold no line feed, so a long line
// is searched once, not again at every block.
char* AfterLastLineFeed(char* begin, char* searchFrom, char* end) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    char* p = end;
    // Eight bytes to a word, back to the word that holds a line feed.
    for (; p - searchFrom >= 8; p -= 8) {
        uint64_t word;
        std::memcpy(&word, p - 8, 8);
        const uint64_t x = word ^ (kOnes * '\n'); // a zero byte where a line feed is
        if (((x - kOnes) & ~x & (kOnes * 0x80)) != 0) break;
    }
    for (; p > searchFrom; --p)
        if (p[-1] == '\n') return p;
    return begin;
}

bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

// Reads plain decimals to the end of the line, each after at least one separator (the first one
// too when a keyword stands before it), and answers how many, with p past the line feed. Anything
// else in the line (another separator, a control byte, a longer number, a blank before the line
// end, which makes an empty token of its own) or more than most numbers answers -1, and the line
// goes the general way. The line ends at a line feed, after an optional CR, or at end.
int ReadPlainNumbers(const char*& p, const char* end, double* values, int most, bool afterKeyword) {
    for (int count = 0;;) {
        const char* const before = p;
        while (p < end && IsSeparator(*p)) ++p;
        if ((count > 0 || afterKeyword) && p == before) return -1;
        if (count == most) return -1;
        p = ReadPlainDecimal(p, end, values[count]);
        if (p == nullptr) return -1;
        ++count;
        if (p < end && *p == '\r' && end - p >= 2 && p[1] == '\n') ++p;
        if (p == end) return count;
        if (*p == '\n') {
            ++p;
            return count;
        }
    }
}

// Most lines of a large drawing are bare segments (four plain decimals), circles, arcs and points.
// Such a line is read and stored here in one pass, with nothing moved; the store gets what the tokens
// and the keyword table would have given it. Any other line answers nullptr and goes the general way.
// Returns the byte after the line's line feed.
const char* StorePlainEntity(const char* p, const char* end) {
    if (end - p > 2 && ((p[0] == 'c' && p[1] == 'i') || (p[0] == 'p' && p[1] == 't'))) {
        const bool circle = p[0] == 'c';
        double v[7];
        const char* after = p + 2;
        const int count = ReadPlainNumbers(after, end, v, 7, true);
        if (circle && count == 3)
            StoreCircle(v[0], v[1], v[2]);
        else if (circle && count == 7)
            StoreArc(v);
        else if (!circle && count == 2)
            StorePoint(v[0], v[1]);
        else
            return nullptr;
        return after;
    }
    double v[4];
    const char* after = p;
    if (ReadPlainNumbers(after, end, v, 4, false) != 4) return nullptr;
    StoreSegment(v[0], v[1], v[2], v[3]);
    return after;
}

// Applies the first line of [p, end): a plain entity is stored at once, any other line is tokenized
// where it lies and applied. Returns the byte after its line feed.
char* ApplyLine(char* p, char* end, TLineTokens& tokens) {
    if (const char* next = StorePlainEntity(p, end)) return p + (next - p);
    char* const next = TokenizeExchangeFileLine(p, end, tokens);
    ApplyExchangeTokens(tokens);
    return next;
}

} // namespace

// Every line is applied as it is found. A line ends at a line feed only; the CR of a CR LF is not part
// of it, while any other CR stays in the line (the tokenizer drops it). The unfinished line at the end
// of a block starts the next one, so a line or a CR LF split across two blocks is still seen whole. A
// line longer than the block goes on in a buffer twice as large, which gives way to one of the block
// size again once the line is done: a long line costs about its length, and the blocks stay the size
// asked for.
bool ReadExchangeBlocks(size_t blockSize, const TFillBlock& fill) {
    try {
        blockSize = std::max<size_t>(blockSize, 1);
        std::unique_ptr<char[]> buffer(new char[blockSize]);
        size_t capacity = blockSize;
        size_t kept = 0; // bytes of an unfinished line at the start of the buffer
        TLineTokens tokens;
        for (;;) {
            const std::ptrdiff_t got = fill(buffer.get() + kept, capacity - kept);
            if (got < 0) return false;
            const bool atEof = got == 0;
            char* const begin = buffer.get();
            char* const end = begin + kept + static_cast<size_t>(got);
            char* const complete = atEof ? end : AfterLastLineFeed(begin, begin + kept, end);
            for (char* p = begin; p < complete;) p = ApplyLine(p, complete, tokens);
            if (atEof) return true;
            kept = static_cast<size_t>(end - complete);
            size_t wanted = blockSize;
            while (wanted <= kept) wanted *= 2;
            if (wanted != capacity) {
                // Not zero-filled: every byte handed on was first read from the file.
                std::unique_ptr<char[]> moved(new char[wanted]);
                if (kept > 0) std::memcpy(moved.get(), complete, kept);
                buffer = std::move(moved);
                capacity = wanted;
            } else if (kept > 0) {
                std::memmove(begin, complete, kept);
            }
        }
    } catch (...) {
        // Out of memory ends the reading; the lines before it stay applied.
        return false;
    }
}

bool ReadExchangeFile(const std::filesystem::path& path) {
    try {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec) || std::filesystem::is_directory(path, ec)) return false;
        std::ifstream in(path, std::ios::in | std::ios::binary);
        if (!in.is_open()) return false;
        return ReadExchangeBlocks(kBlockSize, [&in](char* to, size_t room) -> std::ptrdiff_t {
            in.read(to, static_cast<std::streamsize>(room));
            if (in.bad()) return -1;
            return static_cast<std::ptrdiff_t>(in.gcount());
        });
    } catch (...) {
        // Out of memory or a stream failure ends the reading; what was stored so far stays.
        return false;
    }
}

bool ReadExchangeBytes(std::string_view bytes, size_t blockSize) {
    return ReadExchangeBlocks(blockSize, [&bytes](char* to, size_t room) -> std::ptrdiff_t {
        const size_t n = std::min(room, bytes.size());
        if (n > 0) std::memcpy(to, bytes.data(), n);
        bytes.remove_prefix(n);
        return static_cast<std::ptrdiff_t>(n);
    });
}
