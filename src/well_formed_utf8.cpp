// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Finding where well-formed UTF-8 ends: 32 bytes at a time with AVX2 where the
// processor has it, one sequence at a time after.

#include "well_formed_utf8.h"

#include <QtEndian>

#include <array>
#include <cstring>

// SIMULATED_ERROR_NO_BLOCK_CHECK builds what other processors get, for the
// tests to check on this one.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(SIMULATED_ERROR_NO_BLOCK_CHECK)
#include <immintrin.h>
#define SIMULATED_ERROR_CHECK_BLOCKS 1
// glibc tells what the processor offers from what it learned as the program
// started; libgcc's __builtin_cpu_supports asks the processor again at
// start-up, with CPUID instructions that each trap on a virtual machine.
#if __has_include(<sys/platform/x86.h>)
#include <sys/platform/x86.h>
#define SIMULATED_ERROR_CPU_FEATURES_FROM_C_LIBRARY 1
#endif
#endif

namespace {

// A sequence is at most this long; a split never holds back more than one
// sequence less its last byte.
constexpr qsizetype longestSequence = 4;

bool isContinuationByte(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

// What a lead byte promises: the length of its sequence (0: it starts none)
// and the range of the second byte. The limits after E0, ED, F0 and F4 rule
// out overlong forms, surrogates and values past U+10FFFF.
struct Lead
{
    uchar length = 0;
    uchar lowest = 0x80;
    uchar highest = 0xBF;
};

constexpr std::array<Lead, 256> leads = [] {
    std::array<Lead, 256> table{};
    for (int byte = 0; byte < 0x80; ++byte)
        table[byte] = {1, 0x00, 0xFF};
    for (int byte = 0xC2; byte <= 0xDF; ++byte)
        table[byte].length = 2;
    for (int byte = 0xE0; byte <= 0xEF; ++byte)
        table[byte].length = 3;
    for (int byte = 0xF0; byte <= 0xF4; ++byte)
        table[byte].length = 4;
    table[0xE0].lowest = 0xA0;
    table[0xED].highest = 0x9F;
    table[0xF0].lowest = 0x90;
    table[0xF4].highest = 0x8F;
    return table;
}();

// The continuation bits of the third and fourth bytes, by sequence length,
// in a word read little-endian.
constexpr quint32 continuationMask[longestSequence + 1] = {0, 0, 0, 0x00C00000, 0xC0C00000};
constexpr quint32 continuationBits[longestSequence + 1] = {0, 0, 0, 0x00800000, 0x80800000};

// The length of the well-formed sequence at data, where at least four bytes
// can be read, or 0: one table lookup and one test of all its bytes at once,
// with no branch on the length.
qsizetype sequenceLengthInWord(const uchar *data)
{
    const quint32 word = qFromLittleEndian<quint32>(data);
    const Lead lead = leads[word & 0xFF];
    const uchar second = uchar(word >> 8);
    const bool wellFormed = (lead.length != 0) & (second >= lead.lowest) & (second <= lead.highest)
                            & ((word & continuationMask[lead.length]) == continuationBits[lead.length]);
    return wellFormed ? lead.length : 0;
}

// The same for the last few bytes: padded with NUL bytes, which continue no
// sequence, so that a sequence cut short is not well-formed.
qsizetype sequenceLengthAtEnd(const uchar *data, qsizetype available)
{
    uchar padded[longestSequence] = {};
    std::memcpy(padded, data, size_t(qMin(available, longestSequence)));
    return sequenceLengthInWord(padded);
}

constexpr quint64 highBits = 0x8080808080808080u;

// One sequence after another: finds exactly where the well-formed UTF-8 ends.
const uchar *endOfWellFormedBySequence(const uchar *begin, const uchar *end)
{
    const uchar *at = begin;
    while (end - at >= 8) {
        // ASCII goes eight bytes at a time, up to the first byte that is not.
        const quint64 nonAscii = qFromLittleEndian<quint64>(at) & highBits;
        if (nonAscii == 0) {
            at += 8;
            continue;
        }
        at += qCountTrailingZeroBits(nonAscii) / 8;
        // Then sequences follow one another, while four bytes can be read.
        while (end - at >= longestSequence && *at >= 0x80) {
            const qsizetype length = sequenceLengthInWord(at);
            if (length == 0)
                return at;
            at += length;
        }
    }
    while (at < end) {
        const qsizetype length = sequenceLengthAtEnd(at, end - at);
        if (length == 0)
            break;
        at += length;
    }
    return at;
}

#ifdef SIMULATED_ERROR_CHECK_BLOCKS

// Where to go on checking one sequence at a time when every pair of bytes
// from begin to "at" is right: at the last sequence when it may go on past
// "at" (or its lead byte starts none, which only the next byte shows).
const uchar *startOfLastSequence(const uchar *begin, const uchar *at)
{
    for (const uchar *lead = at - 1; lead >= begin && at - lead < longestSequence; --lead) {
        if (!isContinuationByte(*lead)) {
            const qsizetype length = leads[*lead].length;
            return length == 0 || lead + length > at ? lead : at;
        }
    }
    return at;
}

// Blocks of 32 bytes, with AVX2 where the processor has it. Every pair of
// neighbouring bytes is checked at once by looking up the high and low nibble
// of the first and the high nibble of the second in tables of what such a
// pair can be wrong with; no byte waits for the check of the one before it.
// The bits of what a pair can be wrong with:
enum : uchar {
    tooShort = 1 << 0, // a lead byte, then no continuation byte
    tooLong = 1 << 1, // an ASCII byte, then a continuation byte
    overlong3 = 1 << 2, // E0 80..9F
    tooLarge = 1 << 3, // F4..FF 90..BF
    surrogate = 1 << 4, // ED A0..BF
    overlong2 = 1 << 5, // C0 or C1, then a continuation byte
    tooLarge1000 = 1 << 6, // F5..FF 80..8F
    overlong4 = 1 << 6, // F0 80..8F (told apart from the above by the low nibble)
    twoContinuations = 1 << 7, // right only as the third or fourth byte of a sequence
    anyFirstLow = tooShort | tooLong | twoContinuations,
};

alignas(16) constexpr uchar firstHighTable[16] = {
    tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong, tooLong,
    twoContinuations, twoContinuations, twoContinuations, twoContinuations,
    tooShort | overlong2, tooShort, tooShort | overlong3 | surrogate,
    tooShort | tooLarge | tooLarge1000 | overlong4};
alignas(16) constexpr uchar firstLowTable[16] = {
    anyFirstLow | overlong3 | overlong2 | overlong4, anyFirstLow | overlong2, anyFirstLow,
    anyFirstLow, anyFirstLow | tooLarge, anyFirstLow | tooLarge | tooLarge1000,
    anyFirstLow | tooLarge | tooLarge1000, anyFirstLow | tooLarge | tooLarge1000,
    anyFirstLow | tooLarge | tooLarge1000, anyFirstLow | tooLarge | tooLarge1000,
    anyFirstLow | tooLarge | tooLarge1000, anyFirstLow | tooLarge | tooLarge1000,
    anyFirstLow | tooLarge | tooLarge1000, anyFirstLow | tooLarge | tooLarge1000 | surrogate,
    anyFirstLow | tooLarge | tooLarge1000, anyFirstLow | tooLarge | tooLarge1000};
alignas(16) constexpr uchar secondHighTable[16] = {
    tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort, tooShort,
    tooLong | overlong2 | twoContinuations | overlong3 | tooLarge1000 | overlong4,
    tooLong | overlong2 | twoContinuations | overlong3 | tooLarge,
    tooLong | overlong2 | twoContinuations | surrogate | tooLarge,
    tooLong | overlong2 | twoContinuations | surrogate | tooLarge,
    tooShort, tooShort, tooShort, tooShort};

__attribute__((target("avx2"))) __m256i lookUp(__m256i nibbles, const uchar (&table)[16])
{
    const __m256i entries = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i *>(table)));
    return _mm256_shuffle_epi8(entries, nibbles);
}

__attribute__((target("avx2"))) __m256i highNibbles(__m256i bytes)
{
    return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
}

// Each byte of block replaced by the one "distance" bytes before it, the
// first ones taken from the end of the block before.
template<int distance>
__attribute__((target("avx2"))) __m256i bytesBefore(__m256i block, __m256i before)
{
    const __m256i straddling = _mm256_permute2x128_si256(before, block, 0x21);
    return _mm256_alignr_epi8(block, straddling, 16 - distance);
}

// Non-zero where a byte of block is wrong after the bytes before it. A
// sequence that goes on past the block is checked with the next block.
__attribute__((target("avx2"))) __m256i blockErrors(__m256i block, __m256i before)
{
    const __m256i first = bytesBefore<1>(block, before);
    const __m256i pairErrors = _mm256_and_si256(
        _mm256_and_si256(lookUp(highNibbles(first), firstHighTable),
                         lookUp(_mm256_and_si256(first, _mm256_set1_epi8(0x0F)), firstLowTable)),
        lookUp(highNibbles(block), secondHighTable));
    // Two continuation bytes in a row are right exactly where the byte two
    // before is E0 or above, or the byte three before is F0 or above.
    const __m256i third = _mm256_subs_epu8(bytesBefore<2>(block, before), _mm256_set1_epi8(char(0xE0 - 0x80)));
    const __m256i fourth = _mm256_subs_epu8(bytesBefore<3>(block, before), _mm256_set1_epi8(char(0xF0 - 0x80)));
    const __m256i continuationExpected = _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
    return _mm256_xor_si256(pairErrors, continuationExpected);
}

// The start of the first block of 32 bytes that holds a fault, or of the
// bytes left after the last whole block.
__attribute__((target("avx2"))) const uchar *endOfWellFormedBlocks(const uchar *begin, const uchar *end)
{
    __m256i before = _mm256_setzero_si256();
    const uchar *at = begin;
    for (; end - at >= 32; at += 32) {
        const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
        const __m256i errors = blockErrors(block, before);
        if (!_mm256_testz_si256(errors, errors))
            break;
        before = block;
    }
    return at;
}

bool canCheckBlocks()
{
#ifdef SIMULATED_ERROR_CPU_FEATURES_FROM_C_LIBRARY
    static const bool hasAvx2 = CPU_FEATURE_ACTIVE(AVX2);
#else
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
#endif
    return hasAvx2;
}

#endif

} // namespace

// Whole blocks are checked first; the sequences from the one that a faulty
// block or the last bytes begin with are then checked one by one, which finds
// the exact place of a fault.
const uchar *endOfWellFormedUtf8(const uchar *begin, const uchar *end)
{
    const uchar *at = begin;
#ifdef SIMULATED_ERROR_CHECK_BLOCKS
    if (canCheckBlocks())
        at = startOfLastSequence(begin, endOfWellFormedBlocks(begin, end));
#endif
    return endOfWellFormedBySequence(at, end);
}

// Decoding bytes [0, at) and [at, size) apart gives the text of decoding
// them together when no multi-byte sequence can span at: the byte at the
// split starts something new, or no lead byte stands within three bytes
// before it.
qsizetype decodableNow(const uchar *data, qsizetype size)
{
    for (qsizetype at = size; at > 0; --at) {
        if (at < size && !isContinuationByte(data[at]))
            return at;
        bool spanned = false;
        for (qsizetype i = qMax<qsizetype>(0, at - (longestSequence - 1)); i < at; ++i)
            spanned = spanned || data[i] >= 0xC0;
        if (!spanned)
            return at;
    }
    return 0;
}
