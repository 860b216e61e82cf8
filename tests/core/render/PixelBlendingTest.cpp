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

// Whole blocks of the widest kernel, and tails.
const QList<qint64> widths = awkwardWidths + QList<qint64>{31, 32, 64, 65, 100};

// The kernels run from each row's second word, so that loads are unaligned.
struct Rows {
    QList<quint32> source;
    QList<quint32> destination; // premultiplied, as a composite is

    QList<quint32> after(const std::function<void(const quint32*, quint32*, qint64)>& kernel) {
        QList<quint32> out = destination;
        kernel(source.constData() + 1, out.data() + 1, source.size() - 1);
        return out;
    }
};

Rows randomRows(qint64 width, quint32 seed) {
    QRandomGenerator random(seed);
    const QList<quint32> backdrop = samples::pixelRuns(width + 1, random);
    return {samples::pixelRuns(width + 1, random), PixelRenderer::premultiply(backdrop)};
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
    for (qint64 width : widths) {
        for (quint32 weight : {256u, 255u, 128u, 3u}) {
            Rows rows = randomRows(width, quint32(width * 1000 + weight));
            for (qint64 i = 1; width >= 64 && i <= 32; ++i) { // clear blocks, opaque ones
                rows.source[i] &= 0x00FFFFFFu;
                rows.source[i + 32] |= 0xFF000000u;
            }
            QList<quint32> expected = rows.destination;
            for (qint64 i = 1; i <= width; ++i)
                reference::blendPixel(expected[i], rows.source[i], weight);
            for (const auto& [name, kernel] : blendKernels)
                ASSERT_EQ(rows.after([&](auto s, auto d, qint64 n) { kernel(s, d, n, weight); }),
                          expected)
                    << name << " width " << width << " w " << weight;
        }
    }
    using GhostKernel = void (*)(const quint32*, quint32*, qint64, quint32, quint32);
    for (qint64 width : awkwardWidths)
        for (quint32 tint : {0xFFFF4060u, 0xFF4898FFu})
            for (quint32 weight : {255u, 127u, 1u}) {
                Rows rows = randomRows(width, quint32(width + tint + weight));
                rows.source = PixelRenderer::premultiply(rows.source); // ghosts read composites
                QList<quint32> expected = rows.destination;
                for (qint64 i = 1; i <= width; ++i)
                    reference::ghostPixel(expected[i], rows.source[i], tint, weight);
                for (GhostKernel kernel :
                     {PixelBlending::ghostRow, PixelBlending::scalar::ghostRow})
                    ASSERT_EQ(rows.after(
                                  [&](auto s, auto d, qint64 n) { kernel(s, d, n, tint, weight); }),
                              expected)
                        << "width " << width << " g " << weight;
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
    Rows rows;
    rows.source = {0};
    for (quint32 a = 0; a < 256; ++a)
        for (quint32 c = 0; c < 256; ++c)
            rows.source.append(a << 24 | c << 16 | (255 - c) << 8 | ((c * 7) & 0xFF));
    rows.source.append(0x00FFFFFF);
    rows.destination = rows.source;
    QList<quint32> premultiplied, unpremultiplied;
    for (quint32 p : rows.source) {
        const quint32 a = p >> 24;
        premultiplied.append(a == 0 ? 0 : reference::premultiplied(p, a));
        quint32 straight = a << 24;
        for (int shift = 0; shift < 24 && a != 0; shift += 8)
            straight |= std::min<quint32>(255, reference::channel(p, shift) * 255 / a) << shift;
        unpremultiplied.append(a == 0 ? 0 : straight);
    }
    EXPECT_EQ(rows.after(PixelBlending::scalar::premultiplyRow), premultiplied);
    EXPECT_EQ(rows.after(PixelBlending::scalar::unpremultiplyRow), unpremultiplied);
    EXPECT_EQ(PixelRenderer::premultiply(rows.source), premultiplied);
    EXPECT_EQ(PixelRenderer::unpremultiply(rows.source), unpremultiplied);
}

// The bounds that the compositing examples do not reach.
TEST(PixelBlending, WeightsAtTheirBounds) {
    EXPECT_EQ(PixelBlending::layerWeight(1.5), 256u);
    EXPECT_EQ(PixelBlending::layerWeight(-0.2), 0u);
    EXPECT_EQ(PixelBlending::layerWeight(0.998046875), 256u); // 255.5 rounds away from zero
    EXPECT_EQ(PixelBlending::ghostWeight(3.0, 2), 255u);
    EXPECT_EQ(PixelBlending::ghostWeight(std::nan(""), 1), 0u);
}
