// Built with AVX2 enabled and only called after the CPU has been asked, so nothing here may
// be shared with other files: no templates or inline functions from headers other than the
// intrinsics.
#include "PixelBlendingAvx2.h"

#include <immintrin.h>

namespace {

// The same arithmetic as the SSE2 kernel, on eight words (two 128-bit lanes) at once. Every
// unpack and pack works within a lane, so words come back in their own places.
inline __m256i load(const quint32* words) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words));
}
inline void store(quint32* words, __m256i value) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(words), value);
}
inline __m256i widenLow(__m256i x) {
    return _mm256_unpacklo_epi8(x, _mm256_setzero_si256());
}
inline __m256i widenHigh(__m256i x) {
    return _mm256_unpackhi_epi8(x, _mm256_setzero_si256());
}
// (x × 32897) >> 23 per lane: x div 255 for every x up to 65535.
inline __m256i div255(__m256i x) {
    return _mm256_srli_epi16(_mm256_mulhi_epu16(x, _mm256_set1_epi16(short(0x8081))), 7);
}
inline __m256i alphas(__m256i pixels) {
    constexpr int lastLane = _MM_SHUFFLE(3, 3, 3, 3);
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pixels, lastLane), lastLane);
}
inline __m256i premultiplied(__m256i straight, __m256i a) {
    const __m256i alphaLanes =
        _mm256_set_epi16(255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0);
    return div255(_mm256_mullo_epi16(_mm256_or_si256(straight, alphaLanes), a));
}
inline __m256i over(__m256i straight, __m256i a, __m256i d) {
    const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
    return _mm256_add_epi16(premultiplied(straight, a), div255(_mm256_mullo_epi16(d, inverse)));
}

template <bool Weighted> inline __m256i blend8(__m256i s, __m256i d, __m256i weight) {
    const __m256i low = widenLow(s);
    const __m256i high = widenHigh(s);
    __m256i lowAlpha = alphas(low);
    __m256i highAlpha = alphas(high);
    if constexpr (Weighted) {
        lowAlpha = _mm256_srli_epi16(_mm256_mullo_epi16(lowAlpha, weight), 8);
        highAlpha = _mm256_srli_epi16(_mm256_mullo_epi16(highAlpha, weight), 8);
    }
    return _mm256_packus_epi16(over(low, lowAlpha, widenLow(d)),
                               over(high, highAlpha, widenHigh(d)));
}

inline __m256i alphaBits(__m256i s) {
    return _mm256_and_si256(s, _mm256_set1_epi32(int(0xFF000000u)));
}
inline bool allTransparent(__m256i s) {
    return _mm256_testz_si256(s, _mm256_set1_epi32(int(0xFF000000u)));
}
inline bool allOpaque(__m256i s) {
    const __m256i full = _mm256_set1_epi32(int(0xFF000000u));
    return unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi32(alphaBits(s), full))) == 0xFFFFFFFFu;
}

// Blocks of sixteen words (a cache line): all transparent are skipped, all opaque at full
// weight stored as they are, mixed ones blended whole (a transparent word changes nothing).
// Small blocks find more to skip in layers that are mostly empty.
template <bool Weighted>
qint64 blendWords(const quint32* source, quint32* destination, qint64 count, __m256i weight) {
    qint64 i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i s0 = load(source + i);
        const __m256i s1 = load(source + i + 8);
        if (allTransparent(_mm256_or_si256(s0, s1)))
            continue;
        quint32* d = destination + i;
        if (!Weighted && allOpaque(_mm256_and_si256(s0, s1))) {
            store(d, s0);
            store(d + 8, s1);
            continue;
        }
        store(d, blend8<Weighted>(s0, load(d), weight));
        store(d + 8, blend8<Weighted>(s1, load(d + 8), weight));
    }
    for (; i + 8 <= count; i += 8) {
        const __m256i s = load(source + i);
        if (!allTransparent(s))
            store(destination + i, blend8<Weighted>(s, load(destination + i), weight));
    }
    _mm256_zeroupper();
    return i;
}

inline __m256i blended(__m256i s, __m256i d, quint32 weight) {
    return weight >= 256 ? blend8<false>(s, d, __m256i())
                         : blend8<true>(s, d, _mm256_set1_epi16(short(weight)));
}

// Blocks of sixteen words through the whole stack, bottom first, the destination kept in
// registers and stored once. As in blendWords, clear blocks are passed over and opaque ones at
// full weight replace what lies below.
qint64 compositeWords(const PixelBlending::LayerRow* layers, qint64 layerCount,
                      quint32* destination, qint64 count) {
    if (layerCount == 0)
        return 0;
    qint64 i = 0;
    for (; i + 16 <= count; i += 16) {
        __m256i d0 = _mm256_setzero_si256();
        __m256i d1 = _mm256_setzero_si256();
        for (qint64 layer = 0; layer < layerCount; ++layer) {
            const __m256i s0 = load(layers[layer].words + i);
            const __m256i s1 = load(layers[layer].words + i + 8);
            if (allTransparent(_mm256_or_si256(s0, s1)))
                continue;
            if (layers[layer].weight >= 256 && allOpaque(_mm256_and_si256(s0, s1))) {
                d0 = s0;
                d1 = s1;
                continue;
            }
            d0 = blended(s0, d0, layers[layer].weight);
            d1 = blended(s1, d1, layers[layer].weight);
        }
        store(destination + i, d0);
        store(destination + i + 8, d1);
    }
    _mm256_zeroupper();
    return i;
}

} // namespace

namespace PixelBlending::avx2 {

qint64 blendWords(const quint32* source, quint32* destination, qint64 count, quint32 weight) {
    return weight >= 256
               ? ::blendWords<false>(source, destination, count, _mm256_setzero_si256())
               : ::blendWords<true>(source, destination, count, _mm256_set1_epi16(short(weight)));
}

qint64 compositeWords(const LayerRow* layers, qint64 layerCount, quint32* destination,
                      qint64 count) {
    return ::compositeWords(layers, layerCount, destination, count);
}

} // namespace PixelBlending::avx2
