#pragma once

#include "DecodingError.h"
#include "PackageError.h"
#include "PixelRenderer.h"
#include "ProjectPackage.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace kestrin::test {

// A layer id that is the same in every process, so a child process can rebuild a sprite.
inline QUuid fixedID(int n) {
    return QUuid::fromString(
        QStringLiteral("6F1C2A3B-0000-4000-8000-%1").arg(n, 12, 10, QChar('0')));
}

// Layers × frames with seeded random pixels in every other slot: every alpha value,
// semi-transparent and fully transparent words with colour bits included.
inline Sprite paintedSprite(qint64 width, qint64 height, int layers, int frames, quint32 seed) {
    Sprite sprite = Sprite::blank(width, height);
    sprite.layers.clear();
    for (int f = 1; f < frames; ++f)
        sprite.insertFrame(f);
    for (int f = 0; f < frames; ++f)
        sprite.frames[f].duration = 10 + 30 * f;
    for (int l = 0; l < layers; ++l) {
        Layer layer(QStringLiteral("Layer %1").arg(l + 1), frames);
        layer.id = fixedID(int(seed) * 100 + l);
        for (int f = 0; f < frames; ++f) {
            if ((l + f) % 2 == 0)
                layer.cels[f] = Cel(width, height, randomPixels(width * height, seed + l * 31 + f));
        }
        sprite.layers.append(layer);
    }
    sprite.palette = Palette::pico8();
    sprite.activeLayerID = sprite.layers.first().id;
    sprite.activeFrameIndex = frames - 1;
    return sprite;
}

inline QByteArray pngOf(const QImage& image) {
    return PixelRenderer::pngData(image);
}

inline QJsonObject manifestObject(const PackageTree& tree) {
    return QJsonDocument::fromJson(tree.entry(ProjectPackage::manifestFileName)->contents())
        .object();
}

inline void setManifest(PackageTree& tree, const QJsonObject& manifest) {
    tree.insert(ProjectPackage::manifestFileName,
                PackageTree::file(QJsonDocument(manifest).toJson()));
}

inline void expectPackageError(const std::function<void()>& action, PackageError::Code code,
                               const QString& messageStart = {}) {
    try {
        action();
        ADD_FAILURE() << "no PackageError";
    } catch (const PackageError& error) {
        EXPECT_EQ(error.code(), code) << error.what();
        EXPECT_FALSE(error.message().isEmpty());
        EXPECT_TRUE(error.message().startsWith(messageStart)) << error.what();
    }
}

// While it lives, no file may grow past bytes: a write beyond fails with EFBIG, as a disk
// that fills up would fail it.
struct FileSizeLimit {
    rlimit saved{};
    void (*handler)(int);

    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tiny = saved;
        tiny.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
};

} // namespace kestrin::test
