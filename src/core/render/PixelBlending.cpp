#include "PixelBlending.h"

#include <algorithm>
#include <cmath>

#ifdef __SSE2__
#include "PixelBlendingAvx2.h"

#include <emmintrin.h>
#endif

namespace {

// x div 255 for every x up to 65535.
constexpr quint32 div255(quint32 x) {
    return (x * 32897u) >> 23;
}

// Premultiplies the straight word s by alpha a and draws it over the premultiplied word d.
// No sum can pass 255: c × a div 255 ≤ a and d × (255 − a) div 255 ≤ 255 − a.
inline quint32 over(quint32 s, quint32 a, quint32 d) {
    const quint32 inverse = 255 - a;
    quint32 result = (a + div255((d >> 24) * inverse)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const quint32 source = div255(((s >> shift) & 0xFF) * a);
        result |= (source + div255(((d >> shift) & 0xFF) * inverse)) << shift;
    }
    return result;
}

inline void blendPixel(quint32 s, quint32 weight, quint32& d) {
    quint32 a = s >> 24;
    if (weight < 256)
        a = (a * weight) >> 8;
    if (a == 255)
        d = s;
    else if (a != 0)
        d = over(s, a, d);
}

inline quint32 unpremultiplied(quint32 p) {
    const quint32 a = p >> 24;
    if (a == 0)
        return 0;
    if (a == 255)
        return p;
    quint32 result = a << 24;
    for (int shift = 0; shift < 24; shift += 8)
        result |= std::min<quint32>(255, ((p >> shift) & 0xFF) * 255 / a) << shift;
    return result;
}

// The straight ghost of one composite word: each channel (c × 115 + tint × 140) div 255, the
// alpha A × weight div 255. Composites never hold a channel above their alpha, so the cap of
// unpremultiplying changes nothing here.
inline quint32 ghostWord(quint32 p, quint32 tint, quint32 weight) {
    const quint32 straight = unpremultiplied(p);
    quint32 result = div255((straight >> 24) * weight) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const quint32 tinted = ((straight >> shift) & 0xFF) * 115 + ((tint >> shift) & 0xFF) * 140;
        result |= div255(tinted) << shift;
    }
    return result;
}

#ifdef __SSE2__

// Vector helpers work on two pixels widened to 16-bit lanes (B, G, R, A, B, G, R, A).
inline __m128i load(const quint32* words) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(words));
}
inline void store(quint32* words, __m128i value) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(words), value);
}
inline __m128i widenLow(__m128i x) {
    return _mm_unpacklo_epi8(x, _mm_setzero_si128());
}
inline __m128i widenHigh(__m128i x) {
    return _mm_unpackhi_epi8(x, _mm_setzero_si128());
}

// (x × 32897) >> 23 per lane.
inline __m128i div255(__m128i x) {
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(short(0x8081))), 7);
}

inline __m128i alphas(__m128i pixels) {
    constexpr int lastLane = _MM_SHUFFLE(3, 3, 3, 3);
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, lastLane), lastLane);
}

// Colour lanes c × a div 255; the alpha lanes become a itself.
inline __m128i premultiplied(__m128i straight, __m128i a) {
    const __m128i alphaLanes = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    return div255(_mm_mullo_epi16(_mm_or_si128(straight, alphaLanes), a));
}

inline __m128i over(__m128i straight, __m128i a, __m128i d) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), a);
    return _mm_add_epi16(premultiplied(straight, a), div255(_mm_mullo_epi16(d, inverse)));
}

template <bool Weighted> inline __m128i blend4(__m128i s, __m128i d, __m128i weight) {
    const __m128i low = widenLow(s);
    const __m128i high = widenHigh(s);
    __m128i lowAlpha = alphas(low);
    __m128i highAlpha = alphas(high);
    if constexpr (Weighted) {
        lowAlpha = _mm_srli_epi16(_mm_mullo_epi16(lowAlpha, weight), 8);
        highAlpha = _mm_srli_epi16(_mm_mullo_epi16(highAlpha, weight), 8);
    }
    return _mm_packus_epi16(over(low, lowAlpha, widenLow(d)), over(high, highAlpha, widenHigh(d)));
}

inline __m128i alphaBits(__m128i s) {
    return _mm_and_si128(s, _mm_set1_epi32(int(0xFF000000u)));
}
inline bool allTransparent(__m128i s) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(alphaBits(s), _mm_setzero_si128())) == 0xFFFF;
}
inline bool allOpaque(__m128i s) {
    const __m128i full = _mm_set1_epi32(int(0xFF000000u));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(alphaBits(s), full)) == 0xFFFF;
}

// Four straight words over the destination, skipping what cannot change it. At full weight an
// opaque group is stored as it is.
template <bool Weighted> inline void blendGroup(__m128i s, quint32* destination, __m128i weight) {
    if (allTransparent(s))
        return;
    if constexpr (!Weighted) {
        if (allOpaque(s)) {
            store(destination, s);
            return;
        }
    }
    store(destination, blend4<Weighted>(s, load(destination), weight));
}

// c × 255 div a per channel, capped at 255; exact in single precision for every c, a ≤ 255.
template <int Shift> inline __m128i unpremultipliedChannel(__m128i p, __m128 divisor) {
    const __m128i channel = _mm_and_si128(_mm_srli_epi32(p, Shift), _mm_set1_epi32(0xFF));
    const __m128 scaled = _mm_mul_ps(_mm_cvtepi32_ps(channel), _mm_set1_ps(255.0f));
    const __m128 quotient = _mm_min_ps(_mm_div_ps(scaled, divisor), _mm_set1_ps(255.0f));
    return _mm_slli_epi32(_mm_cvttps_epi32(quotient), Shift);
}

inline __m128i unpremultiply4(__m128i p) {
    const __m128i alpha = _mm_srli_epi32(p, 24);
    const __m128 divisor = _mm_max_ps(_mm_cvtepi32_ps(alpha), _mm_set1_ps(1.0f));
    const __m128i words = _mm_or_si128(
        _mm_or_si128(_mm_slli_epi32(alpha, 24), unpremultipliedChannel<16>(p, divisor)),
        _mm_or_si128(unpremultipliedChannel<8>(p, divisor), unpremultipliedChannel<0>(p, divisor)));
    return _mm_andnot_si128(_mm_cmpeq_epi32(alpha, _mm_setzero_si128()), words);
}

// factors hold 115 in the colour lanes and the weight in the alpha lanes; addends tint × 140.
inline __m128i ghost4(__m128i p, __m128i factors, __m128i addends) {
    const __m128i straight = unpremultiply4(p);
    const auto tinted = [&](__m128i half) {
        return div255(_mm_add_epi16(_mm_mullo_epi16(half, factors), addends));
    };
    return _mm_packus_epi16(tinted(widenLow(straight)), tinted(widenHigh(straight)));
}

// Blocks of sixteen words (a cache line) that are all transparent are skipped and, at full
// weight, blocks that are all opaque are stored as they are. Mixed blocks are blended whole:
// a transparent word leaves its destination as it was. Returns how many words were drawn.
template <bool Weighted>
qint64 blendWords(const quint32* source, quint32* destination, qint64 count, __m128i weight) {
    qint64 i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i s0 = load(source + i);
        const __m128i s1 = load(source + i + 4);
        const __m128i s2 = load(source + i + 8);
        const __m128i s3 = load(source + i + 12);
        if (allTransparent(_mm_or_si128(_mm_or_si128(s0, s1), _mm_or_si128(s2, s3))))
            continue;
        quint32* d = destination + i;
        if (!Weighted && allOpaque(_mm_and_si128(_mm_and_si128(s0, s1), _mm_and_si128(s2, s3)))) {
            store(d, s0);
            store(d + 4, s1);
            store(d + 8, s2);
            store(d + 12, s3);
            continue;
        }
        store(d, blend4<Weighted>(s0, load(d), weight));
        store(d + 4, blend4<Weighted>(s1, load(d + 4), weight));
        store(d + 8, blend4<Weighted>(s2, load(d + 8), weight));
        store(d + 12, blend4<Weighted>(s3, load(d + 12), weight));
    }
    for (; i + 4 <= count; i += 4)
        blendGroup<Weighted>(load(source + i), destination + i, weight);
    return i;
}

#endif

// Words from … count of the row, a layer at a time: a bottom layer at full weight drawn over
// nothing is its own premultiplied form, so it is written directly instead of clearing and
// blending.
void compositeLayerByLayer(const PixelBlending::LayerRow* layers, qint64 layerCount,
                           quint32* destination, qint64 from, qint64 count) {
    qint64 first = 0;
    if (layerCount > 0 && layers[0].weight >= 256) {
        PixelBlending::premultiplyRow(layers[0].words + from, destination + from, count - from);
        first = 1;
    } else {
        std::fill(destination + from, destination + count, 0u);
    }
    for (qint64 i = first; i < layerCount; ++i)
        PixelBlending::blendRow(layers[i].words + from, destination + from, count - from,
                                layers[i].weight);
}

} // namespace

namespace PixelBlending {

quint32 layerWeight(double opacity) {
    if (!(opacity > 0))
        return 0;
    return opacity >= 1 ? 256 : quint32(std::round(opacity * 256));
}

quint32 ghostWeight(double opacity, qint64 offset) {
    const double share = opacity / double(offset < 0 ? -offset : offset);
    if (!(share > 0))
        return 0;
    return quint32(255 * std::min(share, 1.0));
}

void prefetch(const quint32* words, qint64 count) {
    constexpr qint64 wordsPerLine = 16;
    for (qint64 i = 0; i < count; i += wordsPerLine)
        __builtin_prefetch(words + i);
    if (count > 0)
        __builtin_prefetch(words + count - 1);
}

namespace scalar {

void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight) {
    for (qint64 i = 0; i < count; ++i)
        blendPixel(source[i], weight, destination[i]);
}

void ghostRow(const quint32* composite, quint32* destination, qint64 count, quint32 tint,
              quint32 weight) {
    for (qint64 i = 0; i < count; ++i) {
        if (composite[i] >> 24)
            blendPixel(ghostWord(composite[i], tint, weight), 256, destination[i]);
    }
}

void premultiplyRow(const quint32* source, quint32* destination, qint64 count) {
    for (qint64 i = 0; i < count; ++i) {
        const quint32 a = source[i] >> 24;
        destination[i] = a == 0 ? 0 : a == 255 ? source[i] : over(source[i], a, 0);
    }
}

void unpremultiplyRow(const quint32* source, quint32* destination, qint64 count) {
    for (qint64 i = 0; i < count; ++i)
        destination[i] = unpremultiplied(source[i]);
}

} // namespace scalar

#ifdef __SSE2__

namespace sse2 {

void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight) {
    const qint64 done =
        weight >= 256 ? blendWords<false>(source, destination, count, __m128i())
                      : blendWords<true>(source, destination, count, _mm_set1_epi16(short(weight)));
    scalar::blendRow(source + done, destination + done, count - done, weight);
}

} // namespace sse2

namespace avx2 {

bool isAvailable() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight) {
    const qint64 done = blendWords(source, destination, count, weight);
    sse2::blendRow(source + done, destination + done, count - done, weight);
}

void compositeRow(const LayerRow* layers, qint64 layerCount, quint32* destination, qint64 count) {
    const qint64 done = compositeWords(layers, layerCount, destination, count);
    if (done < count)
        compositeLayerByLayer(layers, layerCount, destination, done, count);
}

} // namespace avx2

void compositeRow(const LayerRow* layers, qint64 layerCount, quint32* destination, qint64 count) {
    if (avx2::isAvailable())
        avx2::compositeRow(layers, layerCount, destination, count);
    else
        compositeLayerByLayer(layers, layerCount, destination, 0, count);
}

void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight) {
    if (avx2::isAvailable())
        avx2::blendRow(source, destination, count, weight);
    else
        sse2::blendRow(source, destination, count, weight);
}

void ghostRow(const quint32* composite, quint32* destination, qint64 count, quint32 tint,
              quint32 weight) {
    const auto lane = [tint](int shift) { return short(((tint >> shift) & 0xFF) * 140); };
    const short w = short(weight);
    const __m128i factors = _mm_set_epi16(w, 115, 115, 115, w, 115, 115, 115);
    const __m128i addends =
        _mm_set_epi16(0, lane(16), lane(8), lane(0), 0, lane(16), lane(8), lane(0));
    qint64 i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i p = load(composite + i);
        if (!allTransparent(p))
            blendGroup<false>(ghost4(p, factors, addends), destination + i, __m128i());
    }
    scalar::ghostRow(composite + i, destination + i, count - i, tint, weight);
}

// Blocks of sixteen words that are all transparent become zeros and those all opaque are
// copied, as pixel art is mostly one or the other.
void premultiplyRow(const quint32* source, quint32* destination, qint64 count) {
    const auto premultiply4 = [](__m128i s) {
        const __m128i low = widenLow(s);
        const __m128i high = widenHigh(s);
        return _mm_packus_epi16(premultiplied(low, alphas(low)), premultiplied(high, alphas(high)));
    };
    qint64 i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i s0 = load(source + i);
        const __m128i s1 = load(source + i + 4);
        const __m128i s2 = load(source + i + 8);
        const __m128i s3 = load(source + i + 12);
        quint32* d = destination + i;
        if (allTransparent(_mm_or_si128(_mm_or_si128(s0, s1), _mm_or_si128(s2, s3)))) {
            const __m128i zero = _mm_setzero_si128();
            store(d, zero);
            store(d + 4, zero);
            store(d + 8, zero);
            store(d + 12, zero);
        } else if (allOpaque(_mm_and_si128(_mm_and_si128(s0, s1), _mm_and_si128(s2, s3)))) {
            store(d, s0);
            store(d + 4, s1);
            store(d + 8, s2);
            store(d + 12, s3);
        } else {
            store(d, premultiply4(s0));
            store(d + 4, premultiply4(s1));
            store(d + 8, premultiply4(s2));
            store(d + 12, premultiply4(s3));
        }
    }
    for (; i + 4 <= count; i += 4)
        store(destination + i, premultiply4(load(source + i)));
    scalar::premultiplyRow(source + i, destination + i, count - i);
}

void unpremultiplyRow(const quint32* source, quint32* destination, qint64 count) {
    qint64 i = 0;
    for (; i + 4 <= count; i += 4)
        store(destination + i, unpremultiply4(load(source + i)));
    scalar::unpremultiplyRow(source + i, destination + i, count - i);
}

#else

void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight) {
    scalar::blendRow(source, destination, count, weight);
}

void compositeRow(const LayerRow* layers, qint64 layerCount, quint32* destination, qint64 count) {
    compositeLayerByLayer(layers, layerCount, destination, 0, count);
}

void ghostRow(const quint32* composite, quint32* destination, qint64 count, quint32 tint,
              quint32 weight) {
    scalar::ghostRow(composite, destination, count, tint, weight);
}

void premultiplyRow(const quint32* source, quint32* destination, qint64 count) {
    scalar::premultiplyRow(source, destination, count);
}

void unpremultiplyRow(const quint32* source, quint32* destination, qint64 count) {
    scalar::unpremultiplyRow(source, destination, count);
}

#endif

} // namespace PixelBlending
