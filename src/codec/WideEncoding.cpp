#include "codec/WideEncoding.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VELMOR_X86_VECTORS 1
#endif

namespace velmor {

#ifdef VELMOR_X86_VECTORS

namespace {

// Twenty-four bytes become 32 characters per step, as two lanes of twelve bytes each.
__attribute__((target("avx2"))) std::size_t EncodeBase64Avx2(const unsigned char* in,
                                                             std::size_t count, char* out) {
    // Each 32-bit slot gets the bytes b, a, c, b of its group a b c, which places the four
    // six-bit values where a multiply-high and a multiply-low move them to whole bytes.
    const __m256i spread = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10, 1, 0,
                                            2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
    // What to add to a value to reach its character, chosen by its range.
    const __m256i offsets =
        _mm256_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                         '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0,
                         'a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                         '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
    std::size_t done = 0;
    // The second lane reads sixteen bytes from twelve on, of which it uses twelve.
    for (; done + 28 <= count; done += 24, out += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done + 12));
        const __m256i bytes = _mm256_shuffle_epi8(
            _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1), spread);
        const __m256i first = _mm256_mulhi_epu16(
            _mm256_and_si256(bytes, _mm256_set1_epi32(0x0fc0fc00)), _mm256_set1_epi32(0x04000040));
        const __m256i second = _mm256_mullo_epi16(
            _mm256_and_si256(bytes, _mm256_set1_epi32(0x003f03f0)), _mm256_set1_epi32(0x01000010));
        const __m256i values = _mm256_or_si256(first, second);
        __m256i range = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
        const __m256i capitals = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), values);
        range = _mm256_or_si256(range, _mm256_and_si256(capitals, _mm256_set1_epi8(13)));
        const __m256i characters = _mm256_add_epi8(_mm256_shuffle_epi8(offsets, range), values);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), characters);
    }
    return done;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

}  // namespace

std::size_t EncodeBase64Wide(const unsigned char* in, std::size_t count, char* out) {
    return HasAvx2() ? EncodeBase64Avx2(in, count, out) : 0;
}

// Sixteen bytes become 32 digits per step with SSE2, which every x86-64 processor has.
__attribute__((target("sse2"))) std::size_t EncodeHexWide(const unsigned char* in,
                                                          std::size_t count, char* out) {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i zero = _mm_set1_epi8('0');
    const __m128i nine = _mm_set1_epi8(9);
    const __m128i letterGap = _mm_set1_epi8('A' - '0' - 10);
    const auto digits = [&](__m128i values) {
        const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(values, nine), letterGap);
        return _mm_add_epi8(_mm_add_epi8(values, zero), letters);
    };
    std::size_t done = 0;
    for (; done + 16 <= count; done += 16, out += 32) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        const __m128i high = digits(_mm_and_si128(_mm_srli_epi16(bytes, 4), nibble));
        const __m128i low = digits(_mm_and_si128(bytes, nibble));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(high, low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(high, low));
    }
    return done;
}

#else

std::size_t EncodeBase64Wide(const unsigned char*, std::size_t, char*) {
    return 0;
}

std::size_t EncodeHexWide(const unsigned char*, std::size_t, char*) {
    return 0;
}

#endif

}  // namespace velmor
