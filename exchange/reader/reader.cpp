// Reads the exchange file in large blocks and tokenizes each line where it lies in the block; a large
// file on two threads, one finding the lines while the other applies them.
#include "exchange/reader/reader.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "exchange/reader/entity_lines.h"
#include "exchange/reader/line_dispatch.h"
#include "exchange/reader/line_tokenizer.h"
#include "exchange/reader/token_numbers.h"

namespace {

constexpr size_t kBlockSize = 1 << 20;
// A file at least this large is read by two threads: one reads and parses its lines, the other applies
// them. Below it a second thread would cost more than it saves.
constexpr uintmax_t kTwoThreadBytes = uintmax_t{8} << 20;

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

// A bare segment line: four plain decimals. Answers the byte after its line feed, or nullptr.
const char* ReadPlainSegment(const char* p, const char* end, double (&v)[4]) {
    const char* after = p;
    return ReadPlainNumbers(after, end, v, 4, false) == 4 ? after : nullptr;
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
    const char* after = ReadPlainSegment(p, end, v);
    if (after != nullptr) StoreSegment(v[0], v[1], v[2], v[3]);
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

// The lines of one block. On one thread each line is applied as it is found. On two, the reading
// thread reads the bare segments (most of a large drawing) into their values and leaves every other
// line where it lies in the buffer, for the applying thread to read or tokenize there: the work so
// comes out about even. The buffer stays as it is until the block has been applied.
struct TParsedBlock {
    struct TLine {
        size_t First = 0; // a segment's values in Values, else the line's offset in Buffer
        bool Segment = false;
    };
    std::unique_ptr<char[]> Buffer;
    size_t Capacity = 0;
    size_t Complete = 0; // where the block's last complete line ends
    std::vector<TLine> Lines;
    std::vector<double> Values;
    TLineTokens Tokens; // of the line being applied
    bool Last = false;   // the end of the file, or of what could be read
    bool Failed = false; // reading or parsing failed after the lines above

    void Reset() {
        Lines.clear();
        Values.clear();
        Complete = 0;
        Last = Failed = false;
    }
    // A buffer grown for a long line goes as soon as its block is applied (its unfinished line was
    // copied on before), so such a line costs about its length, twice at most while it grows.
    void DropLargeBuffer() {
        if (Capacity <= kBlockSize) return;
        Buffer.reset();
        Capacity = 0;
    }
    // Starts the block with the unfinished line [rest, rest + kept) of the block before (or of this
    // one), in a buffer of capacity bytes: this block's, or a new one when that is too small or (after
    // a long line) too large. Not zero-filled: every byte handed on was first read from the file.
    void StartWith(const char* rest, size_t kept, size_t capacity) {
        if (Capacity < capacity || (Capacity > capacity && Capacity > kBlockSize)) {
            std::unique_ptr<char[]> moved(new char[capacity]);
            if (kept > 0) std::memcpy(moved.get(), rest, kept);
            Buffer = std::move(moved);
            Capacity = capacity;
        } else if (kept > 0) {
            std::memmove(Buffer.get(), rest, kept);
        }
    }
    // Finds every complete line of [begin, end) and answers where the unfinished rest starts; [begin,
    // fresh) is the rest of the block before, which holds no line feed. A line ends at a line feed
    // only; the CR of a CR LF is not part of it, while any other CR stays in the line (the tokenizer
    // drops it). An unfinished line waits for the next block, so a CR LF split across two blocks is
    // still seen as one pair. kApplyNow applies each line as it is found (on one thread) rather than
    // listing it for Apply.
    template <bool kApplyNow> char* Parse(char* begin, char* fresh, char* end, bool atEof) {
        char* const complete = atEof ? end : AfterLastLineFeed(begin, fresh, end);
        Complete = static_cast<size_t>(complete - begin);
        char* p = begin;
        while (p < complete) {
            if constexpr (kApplyNow) {
                p = ApplyLine(p, complete, Tokens);
            } else if (double values[4]; const char* next = ReadPlainSegment(p, complete, values)) {
                Lines.push_back(TLine{Values.size(), true});
                Values.insert(Values.end(), values, values + 4);
                p += next - p;
            } else {
                Lines.push_back(TLine{static_cast<size_t>(p - begin), false});
                char* const feed = static_cast<char*>(std::memchr(p, '\n', static_cast<size_t>(complete - p)));
                p = feed != nullptr ? feed + 1 : complete;
            }
        }
        return p;
    }
    void Apply() {
        char* const complete = Buffer.get() + Complete;
        for (const TLine& line : Lines) {
            if (line.Segment) {
                const double* v = Values.data() + line.First;
                StoreSegment(v[0], v[1], v[2], v[3]);
            } else {
                ApplyLine(Buffer.get() + line.First, complete, Tokens);
            }
        }
    }
};

// Reads blocks through fill(buffer, room), which answers the bytes it put there (0 at the end) or -1
// for a read error, finds their lines and hands each block to the sink, in order, until the end of
// the file, a failure, or a sink that takes no more. A line longer than the block goes on in a block
// twice as large.
template <class TSink, class F> void FillAndParse(TSink& sink, size_t blockSize, F& fill) {
    TParsedBlock* block = sink.NextToFill();
    if (block == nullptr) return;
    size_t kept = 0; // bytes of an unfinished line at the start of the block
    try {
        block->StartWith(nullptr, 0, blockSize);
        for (;;) {
            const std::ptrdiff_t got = fill(block->Buffer.get() + kept, block->Capacity - kept);
            if (got < 0) {
                block->Failed = block->Last = true;
                sink.Filled();
                return;
            }
            const bool atEof = got == 0;
            char* begin = block->Buffer.get();
            char* end = begin + kept + static_cast<size_t>(got);
            const char* rest = block->template Parse<TSink::kOneBlock>(begin, begin + kept, end, atEof);
            if (atEof) {
                block->Last = true;
                sink.Filled();
                return;
            }
            // The unfinished line starts the next block.
            const size_t nextKept = static_cast<size_t>(end - rest);
            size_t capacity = blockSize;
            while (capacity <= nextKept) capacity *= 2;
            if constexpr (TSink::kOneBlock) {
                // Its lines are applied already: the block takes the next one in.
                block->StartWith(rest, nextKept, capacity);
            } else {
                // Copied before this block is handed on: from then on it belongs to the applying side.
                TParsedBlock* next = sink.NextToFill();
                if (next == nullptr) return;
                try {
                    next->StartWith(rest, nextKept, capacity);
                } catch (...) {
                    block->Failed = block->Last = true;
                    sink.Filled();
                    return;
                }
                sink.Filled();
                block = next;
            }
            kept = nextKept;
        }
    } catch (...) {
        // Out of memory (while finding lines, or on one thread applying them): what was found so far
        // is applied, then the reading ends.
        block->Failed = block->Last = true;
        sink.Filled();
    }
}

// The one-thread sink: one block, its lines applied as they are found, then filled again.
struct TApplyAtOnce {
    static constexpr bool kOneBlock = true;
    TParsedBlock Block;
    bool Succeeded = false;

    TParsedBlock* NextToFill() { return &Block; }
    void Filled() { Succeeded = Block.Last && !Block.Failed; }
};

// The two-thread sink: blocks go from the reading thread to the applying one, in order, through a
// ring of three (one being filled, one waiting, one being applied).
class TBlockRing {
  public:
    static constexpr bool kOneBlock = false;
    static constexpr uint64_t kSlots = 3;

    // The reading side: the next block to fill, once the applying side has given it back; nullptr
    // once the applying side has stopped.
    TParsedBlock* NextToFill() {
        std::unique_lock<std::mutex> lock(Mutex);
        Changed.wait(lock, [this] { return Stopped || Filling < Applied + kSlots; });
        if (Stopped) return nullptr;
        TParsedBlock& block = Slots[Filling++ % kSlots];
        block.Reset();
        return &block;
    }
    void Filled() {
        const std::lock_guard<std::mutex> lock(Mutex);
        ++Published;
        Changed.notify_all();
    }
    // The applying side: the next block in order, once it is there.
    TParsedBlock& NextToApply() {
        std::unique_lock<std::mutex> lock(Mutex);
        Changed.wait(lock, [this] { return Applied < Published; });
        return Slots[Applied % kSlots];
    }
    void GiveBack() {
        const std::lock_guard<std::mutex> lock(Mutex);
        ++Applied;
        Changed.notify_all();
    }
    void Stop() {
        const std::lock_guard<std::mutex> lock(Mutex);
        Stopped = true;
        Changed.notify_all();
    }

  private:
    std::mutex Mutex;
    std::condition_variable Changed;
    TParsedBlock Slots[kSlots];
    uint64_t Filling = 0;   // blocks taken by the reading side
    uint64_t Published = 0; // blocks handed on to be applied
    uint64_t Applied = 0;   // blocks applied and given back
    bool Stopped = false;
};

// Finds the lines on a second thread while this one applies them, in the same order: nothing when no
// second thread can be started (and then nothing was read yet).
template <class F> std::optional<bool> ReadOnTwoThreads(size_t blockSize, F& fill) {
    TBlockRing ring;
    std::thread reader;
    try {
        reader = std::thread([&ring, blockSize, &fill] { FillAndParse(ring, blockSize, fill); });
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    // However applying ends, the reading thread is stopped and waited for.
    struct TJoin {
        TBlockRing& Ring;
        std::thread& Reader;
        ~TJoin() {
            Ring.Stop();
            Reader.join();
        }
    } join{ring, reader};
    for (;;) {
        TParsedBlock& block = ring.NextToApply();
        block.Apply();
        block.DropLargeBuffer();
        const bool last = block.Last, failed = block.Failed;
        ring.GiveBack();
        if (last) return !failed;
    }
}

// Reads and applies every line, on two threads if asked and possible: the same result either way.
template <class F> bool ReadAllLines(size_t blockSize, F fill, bool twoThreads) {
    if (twoThreads)
        if (const std::optional<bool> read = ReadOnTwoThreads(blockSize, fill)) return *read;
    TApplyAtOnce sink;
    FillAndParse(sink, blockSize, fill);
    return sink.Succeeded;
}

} // namespace

bool ReadExchangeFile(const std::filesystem::path& path) {
    try {
        std::error_code ec;
        if (!std::filesystem::exists(path, ec) || std::filesystem::is_directory(path, ec)) return false;
        const uintmax_t size = std::filesystem::file_size(path, ec);
        std::ifstream in(path, std::ios::in | std::ios::binary);
        if (!in.is_open()) return false;
        auto fill = [&in](char* to, size_t room) -> std::ptrdiff_t {
            in.read(to, static_cast<std::streamsize>(room));
            if (in.bad()) return -1;
            return static_cast<std::ptrdiff_t>(in.gcount());
        };
        return ReadAllLines(kBlockSize, fill, !ec && size >= kTwoThreadBytes);
    } catch (...) {
        // Out of memory or a stream failure ends the reading; what was stored so far stays.
        return false;
    }
}

bool ReadExchangeBytes(std::string_view bytes, size_t blockSize, bool twoThreads) {
    try {
        auto fill = [&bytes](char* to, size_t room) -> std::ptrdiff_t {
            const size_t n = std::min(room, bytes.size());
            if (n > 0) std::memcpy(to, bytes.data(), n);
            bytes.remove_prefix(n);
            return static_cast<std::ptrdiff_t>(n);
        };
        return ReadAllLines(std::max<size_t>(blockSize, 1), fill, twoThreads);
    } catch (...) {
        return false;
    }
}
