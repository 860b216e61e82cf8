#include "ProjectPackage.h"

#include "CanvasLimits.h"
#include "CelPng.h"
#include "PackageDirectory.h"
#include "PackageError.h"
#include "PackageLimits.h"
#include "PackageWriter.h"
#include "ParallelJobs.h"
#include "PixelRenderer.h"
#include "PixelDocument.h"
#include "DecodingError.h"

#include <QSet>
#include <cmath>

namespace ProjectPackage {
namespace {

[[noreturn]] void corrupt(const QString& detail) {
    throw PackageError(PackageError::fileReadCorruptFile, detail);
}

[[noreturn]] void unwritable(const QString& detail = {}) {
    throw PackageError(PackageError::fileWriteUnknown, detail);
}

// ---- Writing ----

struct StoredSlot {
    qint64 layer = 0;
    qint64 frame = 0;
    const Cel* cel = nullptr;
    std::optional<QByteArray> png; // none when the cel has no painted pixel
};

QString layerLabel(const Sprite& sprite, qint64 index) {
    return QStringLiteral("The layer \"%1\"").arg(sprite.layers[index].name);
}

// Refuses what the reader would refuse, so a save never produces a package that fails to open.
void checkWritable(const Sprite& sprite) {
    if (!CanvasLimits::isAllowedSize(sprite.width, sprite.height))
        unwritable(QStringLiteral("The canvas size %1 × %2 cannot be saved.")
                       .arg(sprite.width)
                       .arg(sprite.height));
    if (sprite.layers.isEmpty())
        unwritable(QStringLiteral("The sprite has no layers."));
    if (sprite.layers.size() * std::max<qint64>(1, sprite.frames.size()) >
        PackageLimits::maximumCelSlots)
        unwritable(QStringLiteral("The sprite has more layers × frames than can be saved."));
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        if (!std::isfinite(sprite.layers[l].opacity))
            unwritable(layerLabel(sprite, l) + QStringLiteral(" has an invalid opacity."));
        for (const std::optional<Cel>& cel : sprite.layers[l].cels) {
            if (cel && (cel->width != sprite.width || cel->height != sprite.height ||
                        cel->pixels.size() != sprite.width * sprite.height))
                unwritable(layerLabel(sprite, l) + QStringLiteral(" has a cel that does not "
                                                                  "match the canvas size."));
        }
    }
}

QList<StoredSlot> occupiedSlots(const Sprite& sprite) {
    QList<StoredSlot> storedSlots;
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        const qint64 frames = std::min(sprite.layers[l].cels.size(), sprite.frames.size());
        for (qint64 f = 0; f < frames; ++f) {
            if (const Cel* cel = sprite.celPointer(l, f))
                storedSlots.append({l, f, cel, std::nullopt});
        }
    }
    return storedSlots;
}

QByteArray previewPng(const Sprite& sprite) {
    return PixelRenderer::pngData(
        PixelRenderer::makeImage(PixelRenderer::composite(sprite, 0), sprite.width, sprite.height));
}

// Encodes every painted cel, and the preview, on all cores.
QByteArray encodeAll(const Sprite& sprite, QList<StoredSlot>& storedSlots) {
    QByteArray preview;
    ParallelJobs::run(storedSlots.size() + 1, [&](qint64 index) {
        if (index == storedSlots.size()) {
            preview = previewPng(sprite);
            return;
        }
        StoredSlot& slot = storedSlots[index];
        if (!CelPng::isPainted(*slot.cel))
            return;
        slot.png = CelPng::encode(*slot.cel);
        if (slot.png->isEmpty())
            unwritable();
    });
    return preview;
}

Manifest manifestOf(const Sprite& sprite) {
    Manifest manifest;
    manifest.width = sprite.width;
    manifest.height = sprite.height;
    manifest.activeLayerID = sprite.activeLayerID;
    manifest.activeFrameIndex = sprite.activeFrameIndex;
    manifest.frames = QList<Manifest::Frame>();
    for (const Frame& frame : sprite.frames)
        manifest.frames->append(Manifest::Frame{frame.duration});
    manifest.palette = sprite.palette;
    for (const Layer& layer : sprite.layers)
        manifest.layers.append({layer.id, layer.name, layer.isVisible, layer.opacity,
                                QList<Manifest::Cel>(), std::nullopt});
    return manifest;
}

// ---- Reading ----

QString lastPathComponent(const QString& path) {
    return path.section('/', -1);
}

struct CelJob {
    qint64 layer = 0;
    qint64 frame = 0;
    QString name;
    std::optional<Cel> cel;
};

QList<CelJob> celJobs(const Manifest& manifest) {
    QList<CelJob> jobs;
    const qint64 frames = manifest.frameCount();
    for (qint64 l = 0; l < manifest.layers.size(); ++l) {
        for (const Manifest::Cel& reference : Manifest::references(manifest.layers[l])) {
            if (reference.frame >= 0 && reference.frame < frames)
                jobs.append({l, reference.frame, lastPathComponent(reference.file), std::nullopt});
        }
    }
    return jobs;
}

Cel loadCel(const PackageTree* layers, const QString& name, qint64 width, qint64 height) {
    if (!layers || !layers->isDirectory())
        corrupt(QStringLiteral("The package has no \"layers\" folder."));
    const PackageTree* file = layers->entry(name);
    if (!file || !file->isFile() || file->contents().isEmpty())
        corrupt(QStringLiteral("The cel file \"%1\" is missing.").arg(name));
    auto cel = CelPng::decode(file->contents(), width, height);
    if (!cel)
        corrupt(QStringLiteral("The cel file \"%1\" is not a PNG image of %2 × %3 pixels.")
                    .arg(name)
                    .arg(width)
                    .arg(height));
    return std::move(*cel);
}

QList<Frame> framesOf(const Manifest& manifest) {
    if (!manifest.frames)
        return {Frame{}};
    QList<Frame> frames;
    for (const Manifest::Frame& frame : *manifest.frames)
        frames.append(Frame{std::max(frame.duration, Frame::minimumDuration)});
    return frames;
}

Sprite spriteFrom(const Manifest& manifest, const PackageTree* layers) {
    if (manifest.layers.isEmpty())
        corrupt(QStringLiteral("The project has no layers."));
    QList<CelJob> jobs = celJobs(manifest);
    ParallelJobs::run(jobs.size(), [&](qint64 index) {
        jobs[index].cel = loadCel(layers, jobs[index].name, manifest.width, manifest.height);
    });

    Sprite sprite;
    sprite.width = manifest.width;
    sprite.height = manifest.height;
    sprite.frames = framesOf(manifest);
    sprite.palette = manifest.palette;
    for (const Manifest::Layer& entry : manifest.layers) {
        Layer layer;
        layer.id = entry.id;
        layer.name = entry.name;
        layer.isVisible = entry.visible;
        layer.opacity = std::clamp(entry.opacity, 0.0, 1.0);
        layer.cels.resize(manifest.frameCount());
        sprite.layers.append(layer);
    }
    for (CelJob& job : jobs) // in reference order: a later cel of the same frame wins
        sprite.layers[job.layer].cels[job.frame] = std::move(job.cel);
    sprite.activeLayerID =
        manifest.activeLayerID ? manifest.activeLayerID : sprite.layers.last().id;
    sprite.activeFrameIndex = manifest.activeFrameIndex.value_or(0);
    sprite.normalize();
    return sprite;
}

Manifest decodeOnDisk(const QByteArray& json) {
    try {
        return Manifest::fromJson(json);
    } catch (const DecodingError& error) {
        corrupt(error.message());
    }
}

} // namespace

QString celFileName(qint64 layerIndex, qint64 frame) {
    return QStringLiteral("layer_%1_frame_%2.png").arg(layerIndex).arg(frame);
}

PackageTree fileWrapper(const Sprite& sprite) {
    checkWritable(sprite);
    QList<StoredSlot> storedSlots = occupiedSlots(sprite);
    const QByteArray preview = encodeAll(sprite, storedSlots);

    Manifest manifest = manifestOf(sprite);
    PackageTree layers;
    qint64 stored = 0;
    for (const StoredSlot& slot : storedSlots) {
        if (!slot.png)
            continue;
        const QString name = celFileName(slot.layer, slot.frame);
        layers.insert(name, PackageTree::file(*slot.png));
        manifest.layers[slot.layer].cels->append({slot.frame, layersDirectoryName + '/' + name});
        ++stored;
    }
    if (stored * sprite.width * sprite.height > PackageLimits::maximumCelPixels)
        unwritable(QStringLiteral("The sprite has more painted cels than can be saved."));

    PackageTree root;
    root.insert(manifestFileName, PackageTree::file(manifest.toJson()));
    root.insert(layersDirectoryName, layers);
    if (!preview.isEmpty())
        root.insert(previewFileName, PackageTree::file(preview));
    return root;
}

Sprite sprite(const PackageTree& root) {
    const PackageTree* manifest = root.entry(manifestFileName);
    if (!manifest || !manifest->isFile() || manifest->contents().isEmpty())
        corrupt(QStringLiteral("The package has no \"%1\".").arg(manifestFileName));
    if (manifest->contents().size() > PackageLimits::maximumManifestBytes)
        corrupt(QStringLiteral("\"%1\" is too large.").arg(manifestFileName));
    return spriteFrom(Manifest::fromJson(manifest->contents()), root.entry(layersDirectoryName));
}

Sprite readPackage(const QString& directory) {
    const PackageDirectory root = PackageDirectory::open(directory);
    const auto json = root.readFile(manifestFileName, PackageLimits::maximumManifestBytes);
    if (!json || json->isEmpty())
        corrupt(QStringLiteral("The package has no \"%1\".").arg(manifestFileName));
    const Manifest manifest = decodeOnDisk(*json);

    // Only the referenced cel files are read: whatever else lies in the folder costs nothing.
    const auto folder = root.subdirectory(layersDirectoryName);
    PackageTree layers;
    QSet<QString> names;
    for (const CelJob& job : celJobs(manifest))
        names.insert(job.name);
    const qint64 maximumBytes = PackageLimits::maximumCelFileBytes(manifest.width, manifest.height);
    for (const QString& name : std::as_const(names)) {
        if (const auto bytes = folder ? folder->readFile(name, maximumBytes) : std::nullopt)
            layers.insert(name, PackageTree::file(*bytes));
    }
    return spriteFrom(manifest, folder ? &layers : nullptr);
}

void writePackage(const Sprite& sprite, const QString& directory) {
    PackageWriter::write(fileWrapper(sprite), directory);
}

void saveDocument(PixelDocument& document, const QString& directory) {
    const PixelDocument::Snapshot snapshot = document.snapshotForSaving();
    writePackage(snapshot.sprite, directory);
    document.markSaved(snapshot.revision);
}

} // namespace ProjectPackage
