#include "PixelBlending.h"
#include "PixelRenderer.h"
#include "ReferenceCompositor.h"
#include "SpriteSamples.h"
#include "TestSupport.h"

#include <QVarLengthArray>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using kestrin::test::awkwardWidths;

using Kernel = std::function<void(const quint32*, quint32*, qint64)>;

struct Rows {
    QList<quint32> source;
    QList<quint32> destination; // premultiplied, as a composite is
};

Rows randomRows(qint64 width, quint32 seed) {
    QRandomGenerator random(seed);
    const QList<quint32> backdrop = samples::pixelRuns(width, random);
    return {samples::pixelRuns(width, random), PixelRenderer::premultiply(backdrop)};
}

// Runs a kernel from one word past the start, so that loads are unaligned.
QList<quint32> applied(const Kernel& kernel, const Rows& rows) {
    QList<quint32> out = rows.destination;
    kernel(rows.source.constData() + 1, out.data() + 1, rows.source.size() - 1);
    return out;
}

} // namespace

TEST(PixelBlending, BlendAndGhostRowsMatchReference) {
    using BlendKernel = void (*)(const quint32*, quint32*, qint64, quint32);
    std::vector<std::pair<const char*, BlendKernel>> blendKernels = {
        {"chosen", PixelBlending::blendRow}, {"scalar", PixelBlending::scalar::blendRow}};
#ifdef __SSE2__
    blendKernels.emplace_back("sse2", PixelBlending::sse2::blendRow);
    if (PixelBlending::avx2::isAvailable())
        blendKernels.emplace_back("avx2", PixelBlending::avx2::blendRow);
    else
        std::puts("This CPU has no AVX2: its blend kernel is not compared.");
#endif
    QList<qint64> widths = awkwardWidths;
    widths << 31 << 32 << 64 << 65 << 100; // whole blocks of the widest kernel, and tails
    for (qint64 width : widths) {
        for (quint32 weight : {256u, 255u, 128u, 3u}) {
            Rows rows = randomRows(width + 1, quint32(width * 1000 + weight));
            for (qint64 i = 1; width >= 64 && i <= 32; ++i) { // clear blocks, opaque ones
                rows.source[i] &= 0x00FFFFFFu;
                rows.source[i + 32] |= 0xFF000000u;
            }
            QList<quint32> expected = rows.destination;
            for (qint64 i = 1; i <= width; ++i)
                reference::blendPixel(expected[i], rows.source[i], weight);
            for (const auto& [name, kernel] : blendKernels) {
                const Kernel row = [kernel, weight](const quint32* s, quint32* d, qint64 n) {
                    kernel(s, d, n, weight);
                };
                ASSERT_EQ(applied(row, rows), expected)
                    << name << " width " << width << " w " << weight;
            }
        }
        if (!awkwardWidths.contains(width))
            continue;
        for (quint32 tint : {0xFFFF4060u, 0xFF4898FFu}) {
            for (quint32 weight : {255u, 127u, 1u}) {
                Rows rows = randomRows(width + 1, quint32(width + tint + weight));
                rows.source = PixelRenderer::premultiply(rows.source); // ghosts read composites
                QList<quint32> expected = rows.destination;
                for (qint64 i = 1; i <= width; ++i)
                    reference::ghostPixel(expected[i], rows.source[i], tint, weight);
                const Kernel chosen = [=](const quint32* s, quint32* d, qint64 n) {
                    PixelBlending::ghostRow(s, d, n, tint, weight);
                };
                const Kernel portable = [=](const quint32* s, quint32* d, qint64 n) {
                    PixelBlending::scalar::ghostRow(s, d, n, tint, weight);
                };
                ASSERT_EQ(applied(chosen, rows), expected) << "width " << width << " g " << weight;
                ASSERT_EQ(applied(portable, rows), expected)
                    << "width " << width << " g " << weight;
            }
        }
    }
}

// A stack drawn at once must give the bits of clearing the row and blending layer by layer,
// whatever the destination held: blocks hidden under opaque ones, part-weight layers on top
// of opaque blocks, and no layers at all.
TEST(PixelBlending, CompositeRowsMatchBlendingLayerByLayer) {
    using StackKernel = void (*)(const PixelBlending::LayerRow*, qint64, quint32*, qint64);
    std::vector<std::pair<const char*, StackKernel>> kernels = {
        {"chosen", PixelBlending::compositeRow}};
#ifdef __SSE2__
    if (PixelBlending::avx2::isAvailable())
        kernels.emplace_back("avx2", PixelBlending::avx2::compositeRow);
#endif
    const QList<QList<quint32>> weightings = {
        {}, {256}, {128}, {256, 256, 256, 256}, {256, 3, 256, 255}, {255, 256, 128, 256}};
    QList<qint64> widths = awkwardWidths;
    widths << 31 << 32 << 64 << 65 << 100;
    for (qint64 width : widths) {
        for (const QList<quint32>& weights : weightings) {
            QRandomGenerator random(quint32(width * 10 + weights.size()));
            // Layers run from their second word; block by block each is opaque, clear or mixed.
            QList<QList<quint32>> layers;
            QVarLengthArray<PixelBlending::LayerRow, 4> rows;
            for (qint64 l = 0; l < weights.size(); ++l) {
                QList<quint32> words = samples::pixelRuns(width + 1, random);
                for (qint64 i = 1; i <= width; ++i) {
                    const qint64 kind = ((i - 1) / 16 + l * random.bounded(1, 3)) % 3;
                    words[i] = kind == 0   ? words[i] | 0xFF000000u
                               : kind == 1 ? words[i] & 0x00FFFFFFu
                                           : words[i];
                }
                layers.append(words);
                rows.append({layers.last().constData() + 1, weights[l]});
            }
            const QList<quint32> stale = samples::pixelRuns(width + 1, random);
            QList<quint32> expected(width + 1, 0u);
            expected[0] = stale[0];
            for (qint64 l = 0; l < weights.size(); ++l)
                for (qint64 i = 1; i <= width; ++i)
                    reference::blendPixel(expected[i], layers[l][i], weights[l]);
            for (const auto& [name, kernel] : kernels) {
                QList<quint32> actual = stale;
                kernel(rows.constData(), rows.size(), actual.data() + 1, width);
                ASSERT_EQ(actual, expected)
                    << name << " width " << width << " layers " << weights.size();
            }
        }
    }
}

// Every alpha with every channel value, through both versions of both conversions.
TEST(PixelBlending, PremultiplyAndUnpremultiplyEveryWord) {
    QList<quint32> words{0}; // the kernels run from the second word on
    for (quint32 a = 0; a < 256; ++a)
        for (quint32 c = 0; c < 256; ++c)
            words.append(a << 24 | c << 16 | (255 - c) << 8 | ((c * 7) & 0xFF));
    words.append(0x00FFFFFF);
    QList<quint32> premultiplied, unpremultiplied;
    for (quint32 p : words) {
        const quint32 a = p >> 24;
        premultiplied.append(a == 0 ? 0 : reference::premultiplied(p, a));
        quint32 straight = a << 24;
        for (int shift = 0; shift < 24 && a != 0; shift += 8)
            straight |= std::min<quint32>(255, reference::channel(p, shift) * 255 / a) << shift;
        unpremultiplied.append(a == 0 ? 0 : straight);
    }
    const Rows rows{words, words};
    EXPECT_EQ(applied(PixelBlending::scalar::premultiplyRow, rows), premultiplied);
    EXPECT_EQ(applied(PixelBlending::scalar::unpremultiplyRow, rows), unpremultiplied);
    EXPECT_EQ(PixelRenderer::premultiply(words), premultiplied);
    EXPECT_EQ(PixelRenderer::unpremultiply(words), unpremultiplied);
}

// The bounds that the compositing examples do not reach.
TEST(PixelBlending, WeightsAtTheirBounds) {
    EXPECT_EQ(PixelBlending::layerWeight(1.5), 256u);
    EXPECT_EQ(PixelBlending::layerWeight(-0.2), 0u);
    EXPECT_EQ(PixelBlending::layerWeight(0.998046875), 256u); // 255.5 rounds away from zero
    EXPECT_EQ(PixelBlending::ghostWeight(3.0, 2), 255u);
    EXPECT_EQ(PixelBlending::ghostWeight(std::nan(""), 1), 0u);
}
