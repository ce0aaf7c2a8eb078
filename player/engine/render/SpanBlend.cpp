#include "render/SpanBlend.h"

#include <algorithm>

#include "render/PixelMath.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#define VELMORA_HAVE_SSE2_PATH 1
#endif

namespace swf::render {

namespace {

void blendConstantScalar(Pixel* dst, int count, Pixel src) {
    const uint32_t keep = 255 - (src >> 24);
    for (int i = 0; i < count; ++i) dst[i] = src + mulPixel255(dst[i], keep);
}

void blendScalar(Pixel* dst, const Pixel* src, int count) {
    for (int i = 0; i < count; ++i) dst[i] = blendOver(dst[i], src[i]);
}

#ifdef VELMORA_HAVE_SSE2_PATH

// Two pixels of 16-bit channels times their 16-bit factors, divided by 255 exactly as
// mulPixel255 rounds: (t + (t >> 8)) >> 8 equals (t * 257) >> 16 for every 16-bit t.
__attribute__((target("sse2"))) inline __m128i mulDiv255(__m128i channels, __m128i factors) {
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(channels, factors), _mm_set1_epi16(128));
    return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// Each pixel's 255 - alpha in all four of its 16-bit lanes.
__attribute__((target("sse2"))) inline __m128i inverseAlpha(__m128i widePixels) {
    __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(widePixels, 0xFF), 0xFF);
    return _mm_sub_epi16(_mm_set1_epi16(255), alpha);
}

__attribute__((target("sse2"))) void blendConstantSse2(Pixel* dst, int count, Pixel src) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i s = _mm_set1_epi32(static_cast<int>(src));
    const __m128i keep = inverseAlpha(_mm_unpacklo_epi8(s, zero));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo = mulDiv255(_mm_unpacklo_epi8(d, zero), keep);
        __m128i hi = mulDiv255(_mm_unpackhi_epi8(d, zero), keep);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_add_epi8(s, _mm_packus_epi16(lo, hi)));
    }
    blendConstantScalar(dst + i, count - i, src);
}

__attribute__((target("sse2"))) void blendSse2(Pixel* dst, const Pixel* src, int count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i alpha = _mm_and_si128(s, alphaBits);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaBits)) == 0xFFFF) {  // all opaque
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue;  // all transparent
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo = mulDiv255(_mm_unpacklo_epi8(d, zero), inverseAlpha(_mm_unpacklo_epi8(s, zero)));
        __m128i hi = mulDiv255(_mm_unpackhi_epi8(d, zero), inverseAlpha(_mm_unpackhi_epi8(s, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_add_epi8(s, _mm_packus_epi16(lo, hi)));
    }
    blendScalar(dst + i, src + i, count - i);
}

#endif

}  // namespace

bool haveSse2() {
#if defined(VELMORA_HAVE_SSE2_PATH) && defined(__SSE2__)
    return true;
#elif defined(VELMORA_HAVE_SSE2_PATH)
    static const bool present = __builtin_cpu_supports("sse2");
    return present;
#else
    return false;
#endif
}

void blendSpanConstant(Pixel* dst, int count, Pixel src) {
    if ((src >> 24) == 255) {
        std::fill_n(dst, count, src);
        return;
    }
    if (src == 0) return;
#ifdef VELMORA_HAVE_SSE2_PATH
    if (haveSse2()) return blendConstantSse2(dst, count, src);
#endif
    blendConstantScalar(dst, count, src);
}

void blendSpan(Pixel* dst, const Pixel* src, int count) {
#ifdef VELMORA_HAVE_SSE2_PATH
    if (haveSse2()) return blendSse2(dst, src, count);
#endif
    blendScalar(dst, src, count);
}

}  // namespace swf::render
