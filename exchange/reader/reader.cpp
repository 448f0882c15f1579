// Reads the exchange file in large blocks and tokenizes each line where it lies in the block.
#include "exchange/reader/reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <system_error>

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
// Such a line is read here in one pass, with nothing moved; the store gets what the tokens and the
// keyword table would have given it. Any other line answers nullptr and goes the general way.
// Returns the byte after the line's line feed.
const char* ReadPlainEntity(const char* p, const char* end) {
    double v[7];
    if (end - p > 2 && ((p[0] == 'c' && p[1] == 'i') || (p[0] == 'p' && p[1] == 't'))) {
        const bool circle = p[0] == 'c';
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
    const char* after = p;
    if (ReadPlainNumbers(after, end, v, 4, false) != 4) return nullptr;
    StoreSegment(v[0], v[1], v[2], v[3]);
    return after;
}

struct TLineFeeder {
    // One token list for every line: the tokenizer sets the count and the tokens below it.
    TLineTokens Tokens;

    // Hands on every complete line of [begin, end) and returns where the unfinished rest starts;
    // [begin, fresh) is the rest of the block before, which holds no line feed.
    // A line ends at a line feed only; the CR of a CR LF is not part of it, while any other CR
    // stays in the line (the tokenizer drops it). An unfinished line waits for the next block,
    // so a CR LF split across two blocks is still seen as one pair.
    char* Lines(char* begin, char* fresh, char* end, bool atEof) {
        char* const complete = atEof ? end : AfterLastLineFeed(begin, fresh, end);
        char* p = begin;
        while (p < complete) {
            if (const char* next = ReadPlainEntity(p, complete)) {
                p += next - p;
                continue;
            }
            p = TokenizeExchangeFileLine(p, complete, Tokens);
            ApplyExchangeTokens(Tokens);
        }
        return p;
    }
};

// Reads blocks through fill(buffer, room), which answers the bytes it put there (0 at the end)
// or -1 for a read error. A line longer than the buffer doubles it, so one line of N bytes
// costs about 2N at most while it is read.
template <class F> bool ReadAllLines(size_t blockSize, F fill) {
    // Not zero-filled: every byte handed on was first read from the file.
    size_t capacity = blockSize;
    std::unique_ptr<char[]> buffer(new char[capacity]);
    TLineFeeder feeder;
    size_t kept = 0; // bytes of an unfinished line at the start of the buffer
    for (;;) {
        if (kept == capacity) { // a line longer than the buffer
            std::unique_ptr<char[]> bigger(new char[capacity * 2]);
            std::memcpy(bigger.get(), buffer.get(), kept);
            buffer = std::move(bigger);
            capacity *= 2;
        }
        const std::ptrdiff_t got = fill(buffer.get() + kept, capacity - kept);
        if (got < 0) return false;
        const bool atEof = got == 0;
        char* begin = buffer.get();
        char* end = begin + kept + static_cast<size_t>(got);
        const char* rest = feeder.Lines(begin, begin + kept, end, atEof);
        kept = static_cast<size_t>(end - rest);
        if (kept > 0) std::memmove(buffer.get(), rest, kept);
        if (atEof) return true;
    }
}

} // namespace

bool ReadExchangeFile(const std::filesystem::path& path) {
    try {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec) || std::filesystem::is_directory(path, ec)) return false;
        std::ifstream in(path, std::ios::in | std::ios::binary);
        if (!in.is_open()) return false;
        return ReadAllLines(kBlockSize, [&in](char* to, size_t room) -> std::ptrdiff_t {
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
    try {
        return ReadAllLines(std::max<size_t>(blockSize, 1),
                            [&bytes](char* to, size_t room) -> std::ptrdiff_t {
                                const size_t n = std::min(room, bytes.size());
                                if (n > 0) std::memcpy(to, bytes.data(), n);
                                bytes.remove_prefix(n);
                                return static_cast<std::ptrdiff_t>(n);
                            });
    } catch (...) {
        return false;
    }
}
