// Inside the exchange unit: finding the end of a run of plain bytes several bytes at a time.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TARVEL_PLAIN_BYTES_SSE2 1
#endif

// Plain bytes are 0x21..0x7F other than the quote and the equals sign: the tokenizer keeps them
// as they are, whatever the state of the line. Every other byte needs a look of its own.
namespace plain_bytes {

constexpr bool IsPlain(unsigned char b) {
    return b >= 0x21 && b <= 0x7F && b != '"' && b != '=';
}

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// The high bit set in every byte of word that is not plain, and no other bit.
constexpr uint64_t NotPlainMask(uint64_t word) {
    const uint64_t low = word & ~kHighBits;                  // 0x00..0x7F per byte: no carries below
    const uint64_t aboveBlank = low + kOnes * (0x80 - 0x21); // high bit set where low >= 0x21
    const uint64_t quote = low ^ (kOnes * '"');
    const uint64_t equals = low ^ (kOnes * '=');
    const uint64_t notQuote = (quote + ~kHighBits) | quote; // high bit set where low != quote
    const uint64_t notEquals = (equals + ~kHighBits) | equals;
    return (word | ~(aboveBlank & notQuote & notEquals)) & kHighBits;
}

inline uint64_t LoadWord(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Index in memory order of the first byte flagged in a non-zero NotPlainMask result.
inline int FirstFlaggedByte(uint64_t mask) {
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(mask) / 8;
    else
        return std::countl_zero(mask) / 8;
}

// The first byte of [p, end) that is not plain, or end: eight bytes to a word.
inline const char* SkipPlainWords(const char* p, const char* end) {
    for (; end - p >= 8; p += 8)
        if (const uint64_t mask = NotPlainMask(LoadWord(p)); mask != 0) return p + FirstFlaggedByte(mask);
    while (p < end && IsPlain(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// The same, sixteen bytes at a time where the processor has the instructions for it.
inline const char* SkipPlain(const char* p, const char* end) {
#ifdef TARVEL_PLAIN_BYTES_SSE2
    // As signed bytes everything from 0x80 up is negative, so one comparison flags the control
    // bytes, the blank and the bytes from 0x80 up alike.
    const __m128i aboveBlank = _mm_set1_epi8(0x21);
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i equals = _mm_set1_epi8('=');
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i flagged = _mm_or_si128(
            _mm_cmplt_epi8(v, aboveBlank), _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, equals)));
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(flagged)); mask != 0)
            return p + std::countr_zero(mask);
    }
#endif
    return SkipPlainWords(p, end);
}

// Moves whole words of plain bytes down from in to out (out never passes in) and advances both;
// stops before the first word that is not all plain or where fewer than eight bytes remain. A word
// is written only after it has been read, so no byte at or after in is overwritten unread.
inline void MovePlainWords(const char*& in, char*& out, const char* end) {
    while (end - in >= 8) {
        const uint64_t word = LoadWord(in);
        if (NotPlainMask(word) != 0) return;
        std::memcpy(out, &word, sizeof word);
        in += 8;
        out += 8;
    }
}

} // namespace plain_bytes
