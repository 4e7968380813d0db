#include "core/Utf8Validation.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace velmor::utf8_validation {

#if defined(__x86_64__)

namespace {

// The error bits. A pair of bytes (the one before, this one) is at fault where the three
// lookups share a bit; bit 7 marks two continuation bytes in a row, which is right exactly
// where a three- or four-byte lead two or three bytes back asks for a continuation.
constexpr std::uint8_t kTooShort = 1 << 0;  // a lead, then no continuation
constexpr std::uint8_t kTooLong = 1 << 1;   // ASCII, then a continuation
constexpr std::uint8_t kOverlong3 = 1 << 2;
constexpr std::uint8_t kTooLarge = 1 << 3;
constexpr std::uint8_t kSurrogate = 1 << 4;
constexpr std::uint8_t kOverlong2 = 1 << 5;
constexpr std::uint8_t kTooLarge1000 = 1 << 6;  // F5 and above, then 80–8F
constexpr std::uint8_t kOverlong4 = 1 << 6;     // F0, then 80–8F
constexpr std::uint8_t kTwoContinuations = 1 << 7;
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoContinuations;

// By the high half of the byte before.
alignas(16) constexpr std::uint8_t kBeforeHigh[16] = {
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTwoContinuations,
    kTwoContinuations,
    kTwoContinuations,
    kTwoContinuations,
    kTooShort | kOverlong2,
    kTooShort,
    kTooShort | kOverlong3 | kSurrogate,
    kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};

constexpr std::uint8_t kLarge = kCarry | kTooLarge | kTooLarge1000;
// By the low half of the byte before.
alignas(16) constexpr std::uint8_t kBeforeLow[16] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                                                     kCarry | kOverlong2,
                                                     kCarry,
                                                     kCarry,
                                                     kCarry | kTooLarge,
                                                     kLarge,
                                                     kLarge,
                                                     kLarge,
                                                     kLarge,
                                                     kLarge,
                                                     kLarge,
                                                     kLarge,
                                                     kLarge,
                                                     kLarge | kSurrogate,
                                                     kLarge,
                                                     kLarge};

constexpr std::uint8_t kContinuation80 =
    kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge1000 | kOverlong4;
constexpr std::uint8_t kContinuation90 =
    kTooLong | kOverlong2 | kTwoContinuations | kOverlong3 | kTooLarge;
constexpr std::uint8_t kContinuationA0 =
    kTooLong | kOverlong2 | kTwoContinuations | kSurrogate | kTooLarge;
// By the high half of the byte itself.
alignas(16) constexpr std::uint8_t kThisHigh[16] = {
    kTooShort, kTooShort, kTooShort,       kTooShort,       kTooShort,       kTooShort,
    kTooShort, kTooShort, kContinuation80, kContinuation90, kContinuationA0, kContinuationA0,
    kTooShort, kTooShort, kTooShort,       kTooShort};

// The most each of the last three bytes of the text may be: below C0, E0 and F0 from the end.
alignas(32) constexpr std::uint8_t kLastMost[32] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0xDF, 0xBF};

constexpr std::size_t kStep = 64;
// Sixteen blocks: the AVX-512 form's unit for ASCII and for settling by masks alone.
constexpr std::size_t kChunk = 16 * kStep;
// The work per block leaves fewer loads in flight than a text outside the core's own caches
// needs to stream at full speed: every form asks for the lines this far ahead early.
constexpr std::size_t kAhead = 2 * kChunk;

// The address may lie past the text, which a prefetch never faults on: it is worked out as a
// number, not as a pointer into the text.
inline void PrefetchAhead(const char* p) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(p) + kAhead),
                 _MM_HINT_T0);
}

#define VELMOR_TABLE128(table) _mm_load_si128(reinterpret_cast<const __m128i*>(table))
// The 32-byte lookup works on each half of the register apart: the table goes into both.
#define VELMOR_TABLE256(table) _mm256_broadcastsi128_si256(VELMOR_TABLE128(table))

// Runs a checker a block of kStep bytes at a time; the last, shorter block is padded with
// zero bytes, which end any character cut short as ASCII would.
#define VELMOR_WALK(Checker, utf8)                                      \
    Checker checker;                                                    \
    checker.Start();                                                    \
    const char* p = (utf8).data();                                      \
    const char* const end = p + (utf8).size();                          \
    for (; end - p >= static_cast<std::ptrdiff_t>(kStep); p += kStep) { \
        if (!checker.Block(p)) {                                        \
            return false;                                               \
        }                                                               \
    }                                                                   \
    alignas(32) char last[kStep] = {};                                  \
    std::memcpy(last, p, static_cast<std::size_t>(end - p));            \
    return checker.Block(last) && checker.Complete()

struct Ssse3Checker {
    __m128i previous;
    __m128i error;
    __m128i incomplete;

    __attribute__((target("ssse3"))) void Start() {
        previous = error = incomplete = _mm_setzero_si128();
    }

    __attribute__((target("ssse3"))) void Check(__m128i input) {
        const __m128i lowHalf = _mm_set1_epi8(0x0F);
        const __m128i before1 = _mm_alignr_epi8(input, previous, 15);
        const __m128i classes = _mm_and_si128(
            _mm_and_si128(
                _mm_shuffle_epi8(VELMOR_TABLE128(kBeforeHigh),
                                 _mm_and_si128(_mm_srli_epi16(before1, 4), lowHalf)),
                _mm_shuffle_epi8(VELMOR_TABLE128(kBeforeLow), _mm_and_si128(before1, lowHalf))),
            _mm_shuffle_epi8(VELMOR_TABLE128(kThisHigh),
                             _mm_and_si128(_mm_srli_epi16(input, 4), lowHalf)));
        const __m128i before2 = _mm_alignr_epi8(input, previous, 14);
        const __m128i before3 = _mm_alignr_epi8(input, previous, 13);
        // Bit 7 set where the byte two back is E0 or above or the byte three back F0 or above.
        const __m128i third = _mm_subs_epu8(before2, _mm_set1_epi8(static_cast<char>(0xE0 - 0x80)));
        const __m128i fourth =
            _mm_subs_epu8(before3, _mm_set1_epi8(static_cast<char>(0xF0 - 0x80)));
        const __m128i wanted =
            _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
        error = _mm_or_si128(error, _mm_xor_si128(wanted, classes));
        previous = input;
    }

    __attribute__((target("ssse3"))) bool Block(const char* p) {
        PrefetchAhead(p);
        __m128i parts[4];
        for (int i = 0; i < 4; ++i) {
            parts[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + i);
        }
        const __m128i any =
            _mm_or_si128(_mm_or_si128(parts[0], parts[1]), _mm_or_si128(parts[2], parts[3]));
        if (_mm_movemask_epi8(any) == 0) {
            // ASCII: a character left open by the block before is cut short.
            error = _mm_or_si128(error, incomplete);
            incomplete = _mm_setzero_si128();
            previous = parts[3];
        } else {
            for (const __m128i part : parts) {
                Check(part);
            }
            incomplete = _mm_subs_epu8(
                parts[3], _mm_load_si128(reinterpret_cast<const __m128i*>(kLastMost + 16)));
        }
        return _mm_movemask_epi8(_mm_cmpeq_epi8(error, _mm_setzero_si128())) == 0xFFFF;
    }

    __attribute__((target("ssse3"))) bool Complete() const {
        return _mm_movemask_epi8(_mm_cmpeq_epi8(incomplete, _mm_setzero_si128())) == 0xFFFF;
    }
};

struct Avx2Checker {
    __m256i previous;
    __m256i error;
    __m256i incomplete;

    __attribute__((target("avx2"))) void Start() {
        previous = error = incomplete = _mm256_setzero_si256();
    }

    __attribute__((target("avx2"))) void Check(__m256i input) {
        const __m256i lowHalf = _mm256_set1_epi8(0x0F);
        // The input shifted by one to three bytes, the end of the register before shifted in.
        const __m256i across = _mm256_permute2x128_si256(previous, input, 0x21);
        const __m256i before1 = _mm256_alignr_epi8(input, across, 15);
        const __m256i classes = _mm256_and_si256(
            _mm256_and_si256(
                _mm256_shuffle_epi8(VELMOR_TABLE256(kBeforeHigh),
                                    _mm256_and_si256(_mm256_srli_epi16(before1, 4), lowHalf)),
                _mm256_shuffle_epi8(VELMOR_TABLE256(kBeforeLow),
                                    _mm256_and_si256(before1, lowHalf))),
            _mm256_shuffle_epi8(VELMOR_TABLE256(kThisHigh),
                                _mm256_and_si256(_mm256_srli_epi16(input, 4), lowHalf)));
        const __m256i third = _mm256_subs_epu8(_mm256_alignr_epi8(input, across, 14),
                                               _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
        const __m256i fourth = _mm256_subs_epu8(_mm256_alignr_epi8(input, across, 13),
                                                _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
        const __m256i wanted = _mm256_and_si256(_mm256_or_si256(third, fourth),
                                                _mm256_set1_epi8(static_cast<char>(0x80)));
        error = _mm256_or_si256(error, _mm256_xor_si256(wanted, classes));
        previous = input;
    }

    __attribute__((target("avx2"))) bool Block(const char* p) {
        PrefetchAhead(p);
        const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p) + 1);
        if (_mm256_movemask_epi8(_mm256_or_si256(first, second)) == 0) {
            error = _mm256_or_si256(error, incomplete);
            incomplete = _mm256_setzero_si256();
            previous = second;
        } else {
            Check(first);
            Check(second);
            incomplete = _mm256_subs_epu8(
                second, _mm256_load_si256(reinterpret_cast<const __m256i*>(kLastMost)));
        }
        return _mm256_testz_si256(error, error) != 0;
    }

    __attribute__((target("avx2"))) bool Complete() const {
        return _mm256_testz_si256(incomplete, incomplete) != 0;
    }
};

// The 16-entry tables four times over: the 64-byte lookup reads the low six bits of each index.
struct Table64 {
    alignas(64) std::uint8_t bytes[64];
};
constexpr Table64 Repeated(const std::uint8_t (&table)[16]) {
    Table64 out{};
    for (int i = 0; i < 64; ++i) {
        out.bytes[i] = table[i % 16];
    }
    return out;
}
constexpr Table64 kBeforeHigh64 = Repeated(kBeforeHigh);
constexpr Table64 kBeforeLow64 = Repeated(kBeforeLow);
constexpr Table64 kThisHigh64 = Repeated(kThisHigh);

// Leads whose next byte must lie in a narrower range than 80–BF (E0, ED, F0, F4), or that
// are never valid (C0, C1, F5 and above), by the byte less C0.
constexpr Table64 kNarrowLeads = [] {
    Table64 out{};
    out.bytes[0xC0 - 0xC0] = out.bytes[0xC1 - 0xC0] = 1;
    out.bytes[0xE0 - 0xC0] = out.bytes[0xED - 0xC0] = 1;
    for (int b = 0xF0; b <= 0xFF; ++b) {
        out.bytes[b - 0xC0] = 1;
    }
    return out;
}();

// Picks, from the register before and this one, the byte before each byte.
constexpr Table64 kBefore1 = [] {
    Table64 out{};
    for (int i = 0; i < 64; ++i) {
        out.bytes[i] = static_cast<std::uint8_t>(63 + i);
    }
    return out;
}();

#define VELMOR_AVX512 "avx512f,avx512bw,avx512vbmi,bmi,bmi2"
#define VELMOR_TABLE512(table) _mm512_load_si512((table).bytes)

// table[index & 63] for each byte (zero-masked with every lane, which spares GCC's warning
// about the unmasked form's undefined source).
__attribute__((target(VELMOR_AVX512))) inline __m512i Lookup64(__m512i index, __m512i table) {
    return _mm512_maskz_permutexvar_epi8(~__mmask64{0}, index, table);
}

// Blocks without narrow leads (all of common Chinese text) are settled by masks alone: there
// the text is valid exactly where the continuation bytes are the ones the leads ask for. The
// others go through the lookup method, 64 bytes in one register.
struct Avx512Checker {
    __m512i previous;
    std::uint64_t carry;     // bytes at the start of the next block that must be continuations
    std::uint64_t carry34;   // those of them that are a character's third or fourth byte
    std::uint64_t narrowed;  // the last byte is a narrow lead: the next block is looked up

    __attribute__((target(VELMOR_AVX512))) void Start() {
        previous = _mm512_setzero_si512();
        carry = carry34 = narrowed = 0;
    }

    __attribute__((target(VELMOR_AVX512))) bool Block(const char* p) {
        const __m512i input = _mm512_loadu_si512(p);
        const std::uint64_t high = _mm512_movepi8_mask(input);
        if (high == 0) {
            // ASCII: a character left open by the block before is cut short.
            const bool open = carry != 0;
            previous = input;
            carry = carry34 = narrowed = 0;
            return !open;
        }
        // 80–BF are the signed bytes below C0.
        const std::uint64_t continuation =
            _mm512_cmplt_epi8_mask(input, _mm512_set1_epi8(static_cast<char>(0xC0)));
        const std::uint64_t lead = high & ~continuation;
        const std::uint64_t lead3 =
            _mm512_cmpge_epu8_mask(input, _mm512_set1_epi8(static_cast<char>(0xE0)));
        // Bit 6 of the index tells C0–FF (the table) from 80–BF (zero).
        const __m512i narrowLeads =
            _mm512_permutex2var_epi8(_mm512_setzero_si512(), input, VELMOR_TABLE512(kNarrowLeads));
        const std::uint64_t narrow = _mm512_mask_test_epi8_mask(high, narrowLeads, narrowLeads);
        if ((narrow | narrowed) == 0) {
            if (continuation != (lead << 1 | lead3 << 2 | carry)) {
                return false;
            }
            previous = input;
            carry = lead >> 63 | lead3 >> 62;
            carry34 = lead3 >> 62;
            return true;
        }
        const std::uint64_t lead4 =
            _mm512_cmpge_epu8_mask(input, _mm512_set1_epi8(static_cast<char>(0xF0)));
        const __m512i before1 =
            _mm512_permutex2var_epi8(previous, VELMOR_TABLE512(kBefore1), input);
        // The lookups read six bits: the bits shifted in from the byte beside fall on copies.
        const __m512i classes = _mm512_ternarylogic_epi32(
            Lookup64(_mm512_srli_epi16(before1, 4), VELMOR_TABLE512(kBeforeHigh64)),
            Lookup64(before1, VELMOR_TABLE512(kBeforeLow64)),
            Lookup64(_mm512_srli_epi16(input, 4), VELMOR_TABLE512(kThisHigh64)), 0x80);
        // Adding 80 flips bit 7 where a third or fourth byte is due.
        const __m512i fault =
            _mm512_mask_add_epi8(classes, lead3 << 2 | lead4 << 3 | carry34, classes,
                                 _mm512_set1_epi8(static_cast<char>(0x80)));
        if (_mm512_test_epi8_mask(fault, fault) != 0) {
            return false;
        }
        previous = input;
        carry = lead >> 63 | lead3 >> 62 | lead4 >> 61;
        carry34 = lead3 >> 62 | lead4 >> 61;
        narrowed = narrow >> 63;
        return true;
    }

    // kChunk bytes at once, on the bet that they hold no narrow lead: ASCII throughout is
    // settled by one mask; otherwise each block's masks are compared but narrow leads only
    // noted, and a chunk that holds one or where the masks disagree is gone through again
    // block by block.
    __attribute__((target(VELMOR_AVX512))) bool Chunk(const char* p) {
        if (carry == 0 && _mm512_movepi8_mask(_mm512_loadu_si512(p)) == 0) {
            __m512i any = _mm512_setzero_si512();
            for (std::size_t at = kStep; at < kChunk; at += kStep) {
                PrefetchAhead(p + at);
                any = _mm512_or_si512(any, _mm512_loadu_si512(p + at));
            }
            if (_mm512_movepi8_mask(any) == 0) {
                previous = _mm512_loadu_si512(p + kChunk - kStep);
                return true;
            }
        }
        // The leads of the block before, as far as this chunk needs them: a four-byte lead
        // among the last three bytes is a narrow one, and the chunk is gone through again.
        std::uint64_t lastLead = (carry & 1) << 63;
        std::uint64_t lastLead3 = (carry & 2) << 62;
        std::uint64_t mismatch = narrowed;
        __m512i input = previous;
        __m512i narrowLeads = _mm512_setzero_si512();
        for (std::size_t at = 0; at < kChunk; at += kStep) {
            PrefetchAhead(p + at);
            input = _mm512_loadu_si512(p + at);
            const std::uint64_t high = _cvtmask64_u64(_mm512_movepi8_mask(input));
            const __mmask64 leads =
                _mm512_cmpge_epu8_mask(input, _mm512_set1_epi8(static_cast<char>(0xC0)));
            const std::uint64_t lead = _cvtmask64_u64(leads);
            const std::uint64_t lead3 = _cvtmask64_u64(
                _mm512_cmpge_epu8_mask(input, _mm512_set1_epi8(static_cast<char>(0xE0))));
            narrowLeads = _mm512_or_si512(
                narrowLeads,
                _mm512_maskz_permutexvar_epi8(leads, input, VELMOR_TABLE512(kNarrowLeads)));
            const std::uint64_t wanted =
                (lead << 1 | lastLead >> 63) | (lead3 << 2 | lastLead3 >> 62);
            mismatch |= (high & ~lead) ^ wanted;
            lastLead = lead;
            lastLead3 = lead3;
        }
        if ((mismatch | _mm512_test_epi8_mask(narrowLeads, narrowLeads)) != 0) {
            for (std::size_t at = 0; at < kChunk; at += kStep) {
                if (!Block(p + at)) {
                    return false;
                }
            }
            return true;
        }
        previous = input;
        carry = lastLead >> 63 | lastLead3 >> 62;
        carry34 = lastLead3 >> 62;
        return true;
    }
};

__attribute__((target(VELMOR_AVX512))) bool WalkAvx512(std::string_view utf8) {
    Avx512Checker checker;
    checker.Start();
    const char* p = utf8.data();
    const char* const end = p + utf8.size();
    for (; end - p >= static_cast<std::ptrdiff_t>(kChunk); p += kChunk) {
        if (!checker.Chunk(p)) {
            return false;
        }
    }
    for (; end - p >= static_cast<std::ptrdiff_t>(kStep); p += kStep) {
        if (!checker.Block(p)) {
            return false;
        }
    }
    // The zero bytes that pad the last block end everything.
    alignas(64) char last[kStep] = {};
    std::memcpy(last, p, static_cast<std::size_t>(end - p));
    return checker.Block(last);
}

}  // namespace

bool HasSsse3() {
    return __builtin_cpu_supports("ssse3");
}

namespace {

__attribute__((target("ssse3"))) bool WalkSsse3(std::string_view utf8) {
    VELMOR_WALK(Ssse3Checker, utf8);
}

__attribute__((target("avx2"))) bool WalkAvx2(std::string_view utf8) {
    VELMOR_WALK(Avx2Checker, utf8);
}

}  // namespace

bool Ssse3(std::string_view utf8) {
    return HasSsse3() && WalkSsse3(utf8);
}

bool HasAvx2() {
    return __builtin_cpu_supports("avx2");
}

bool Avx2(std::string_view utf8) {
    return HasAvx2() && WalkAvx2(utf8);
}

bool HasAvx512() {
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2");
}

bool Avx512(std::string_view utf8) {
    return HasAvx512() && WalkAvx512(utf8);
}

#else

bool HasSsse3() {
    return false;
}
bool Ssse3(std::string_view) {
    return false;
}
bool HasAvx2() {
    return false;
}
bool Avx2(std::string_view) {
    return false;
}
bool HasAvx512() {
    return false;
}
bool Avx512(std::string_view) {
    return false;
}

#endif

}  // namespace velmor::utf8_validation
