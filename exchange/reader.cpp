// Reads the exchange file in large blocks and hands each line to the parser, without a copy per line.
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "exchange/line_tokenizer.h"

namespace {

constexpr size_t kBlockSize = 1 << 20;

struct TLineFeeder {
    std::string Scratch;

    void Line(const char* begin, const char* end) {
        const size_t n = static_cast<size_t>(end - begin);
        if (Scratch.size() < n) Scratch.resize(n);
        TLineTokens tokens;
        TokenizeExchangeLine(std::string_view(begin, n), Scratch.data(), tokens);
        ApplyExchangeTokens(tokens);
    }

    // Hands on every complete line of [begin, end) and returns where the unfinished rest starts.
    // A line ends at a line feed only; the CR of a CR LF is not part of it, while any other CR
    // stays in the line (the tokenizer drops it). An unfinished line waits for the next block,
    // so a CR LF split across two blocks is still seen as one pair.
    const char* Lines(const char* begin, const char* end, bool atEof) {
        const char* p = begin;
        while (p < end) {
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            if (lf) {
                Line(p, lf > p && lf[-1] == '\r' ? lf - 1 : lf);
                p = lf + 1;
            } else if (atEof) {
                Line(p, end);
                p = end;
            } else {
                break;
            }
        }
        return p;
    }
};

bool ReadAllLines(std::ifstream& in) {
    // Not zero-filled: every byte handed on was first read from the file.
    size_t capacity = kBlockSize;
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
        in.read(buffer.get() + kept, static_cast<std::streamsize>(capacity - kept));
        const size_t got = static_cast<size_t>(in.gcount());
        if (in.bad()) return false;
        const bool atEof = got == 0 || in.eof();
        const char* begin = buffer.get();
        const char* end = begin + kept + got;
        const char* rest = feeder.Lines(begin, end, atEof);
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
        return ReadAllLines(in);
    } catch (...) {
        // Out of memory or a stream failure ends the reading; what was stored so far stays.
        return false;
    }
}
