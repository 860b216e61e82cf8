#include "PixelBlending.h"
#include "PixelRenderer.h"
#include "ReferenceCompositor.h"
#include "SpriteSamples.h"
#include "TestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The kernels run from each row's second word, so that loads are unaligned.
QList<quint32> after(const QList<quint32>& source, QList<quint32> destination,
                     const std::function<void(const quint32*, quint32*, qint64)>& kernel) {
    kernel(source.constData() + 1, destination.data() + 1, source.size() - 1);
    return destination;
}

} // namespace

TEST(PixelBlending, BlendRowsMatchReference) {
    using BlendKernel = void (*)(const quint32*, quint32*, qint64, quint32);
    std::vector<std::pair<const char*, BlendKernel>> kernels = {
        {"chosen", PixelBlending::blendRow}, {"scalar", PixelBlending::scalar::blendRow}};
#ifdef __SSE2__
    kernels.emplace_back("sse2", PixelBlending::sse2::blendRow);
    if (PixelBlending::avx2::isAvailable())
        kernels.emplace_back("avx2", PixelBlending::avx2::blendRow);
#endif
    for (qint64 width : kestrin::test::awkwardWidths + QList<qint64>{31, 32, 64, 65, 100}) {
        for (quint32 weight : {256u, 255u, 128u, 3u}) {
            QRandomGenerator random(quint32(width * 1000 + weight));
            const QList<quint32> destination =
                PixelRenderer::premultiply(samples::pixelRuns(width + 1, random));
            QList<quint32> source = samples::pixelRuns(width + 1, random);
            for (qint64 i = 1; width >= 64 && i <= 32; ++i) { // clear blocks, opaque ones
                source[i] &= 0x00FFFFFFu;
                source[i + 32] |= 0xFF000000u;
            }
            QList<quint32> expected = destination;
            for (qint64 i = 1; i <= width; ++i)
                reference::blendPixel(expected[i], source[i], weight);
            for (const auto& [name, kernel] : kernels)
                ASSERT_EQ(after(source, destination,
                                [&](auto s, auto d, qint64 n) { kernel(s, d, n, weight); }),
                          expected)
                    << name << " width " << width << " w " << weight;
        }
    }
}

// Every alpha with every channel value, through both versions of both conversions.
TEST(PixelBlending, PremultiplyAndUnpremultiplyEveryWord) {
    QList<quint32> source{0};
    for (quint32 a = 0; a < 256; ++a)
        for (quint32 c = 0; c < 256; ++c)
            source.append(a << 24 | c << 16 | (255 - c) << 8 | ((c * 7) & 0xFF));
    source.append(0x00FFFFFF);
    QList<quint32> premultiplied, unpremultiplied;
    for (quint32 p : source) {
        const quint32 a = p >> 24;
        premultiplied.append(a == 0 ? 0 : reference::premultiplied(p, a));
        quint32 straight = a << 24;
        for (int shift = 0; shift < 24 && a != 0; shift += 8)
            straight |= std::min<quint32>(255, reference::channel(p, shift) * 255 / a) << shift;
        unpremultiplied.append(a == 0 ? 0 : straight);
    }
    EXPECT_EQ(after(source, source, PixelBlending::scalar::premultiplyRow), premultiplied);
    EXPECT_EQ(after(source, source, PixelBlending::scalar::unpremultiplyRow), unpremultiplied);
    EXPECT_EQ(PixelRenderer::premultiply(source), premultiplied);
    EXPECT_EQ(PixelRenderer::unpremultiply(source), unpremultiplied);
}

TEST(PixelBlending, WeightsAtTheirBounds) {
    EXPECT_EQ(PixelBlending::layerWeight(1.5), 256u);
    EXPECT_EQ(PixelBlending::layerWeight(-0.2), 0u);
    EXPECT_EQ(PixelBlending::layerWeight(0.998046875), 256u); // 255.5 rounds away from zero
    EXPECT_EQ(PixelBlending::ghostWeight(3.0, 2), 255u);
    EXPECT_EQ(PixelBlending::ghostWeight(std::nan(""), 1), 0u);
}
