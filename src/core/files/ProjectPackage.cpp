#include "ProjectPackage.h"

#include "CelPng.h"
#include "DecodingError.h"
#include "MemoryError.h"
#include "PackageDirectory.h"
#include "PackageError.h"
#include "PackageMemory.h"
#include "PackageWriter.h"
#include "ParallelJobs.h"
#include "PixelRenderer.h"
#include "PngCodec.h"
#include "SpriteLimits.h"

#include <QFile>
#include <QSet>
#include <cmath>
#include <sys/stat.h>

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
    std::optional<QByteArray> png;      // none when the cel has no painted pixel
    std::optional<PackageTree> carried; // the unchanged file of the last save or read
    qint64 sameAs = -1;                 // an earlier slot holding the same pixel storage
};

// A package ready to be written, and the cels it stores under which file names.
struct PlannedPackage {
    PackageTree tree;
    QList<std::pair<Cel, QString>> storedCels;
    bool hasPreview = false;
};

QString layerLabel(const Sprite& sprite, qint64 index) {
    return QStringLiteral("The layer \"%1\"").arg(sprite.layers[index].name);
}

// Refuses what the reader would refuse, so a save never produces a package that fails to open.
void checkWritable(const Sprite& sprite) {
    if (!SpriteLimits::isAllowedSize(sprite.width, sprite.height))
        unwritable(QStringLiteral("The canvas size %1 × %2 cannot be saved.")
                       .arg(sprite.width)
                       .arg(sprite.height));
    if (sprite.layers.isEmpty())
        unwritable(QStringLiteral("The sprite has no layers."));
    const QString tooMany = SpriteLimits::layerFramesRefusal(
        sprite.layers.size(), std::max<qint64>(1, sprite.frames.size()));
    if (!tooMany.isEmpty())
        unwritable(tooMany);
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        if (!std::isfinite(sprite.layers[l].opacity))
            unwritable(layerLabel(sprite, l) + QStringLiteral(" has an invalid opacity."));
        for (const std::optional<Cel>& cel : sprite.layers[l].cels) {
            if (cel && (cel->width != sprite.width || cel->height != sprite.height))
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
                storedSlots.append({l, f, cel, std::nullopt, std::nullopt, -1});
        }
    }
    return storedSlots;
}

QByteArray previewPng(const Sprite& sprite) {
    return PixelRenderer::pngData(
        PixelRenderer::makeImage(PixelRenderer::composite(sprite, 0), sprite.width, sprite.height));
}

std::optional<FileStamp> stampOnDisk(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return FileStamp::of(status);
}

// The file of the previous save or read, when it is still on disk as it was then.
std::optional<PackageTree> carriedFile(const QString& path, const FileStamp& stamp) {
    if (stampOnDisk(path) != stamp)
        return std::nullopt;
    return PackageTree::carried(path, stamp);
}

// Slots sharing pixel storage (a duplicated layer or frame) are stored once; slots the
// previous save or read stored unchanged keep their files.
void reuseStoredCels(QList<StoredSlot>& storedSlots, const PackageMemory* previous,
                     const QString& directory) {
    QHash<const void*, qint64> firstWithStorage;
    for (qint64 i = 0; i < storedSlots.size(); ++i) {
        StoredSlot& slot = storedSlots[i];
        const void* storage = pixelStorage(*slot.cel);
        if (firstWithStorage.contains(storage)) {
            slot.sameAs = firstWithStorage.value(storage);
            continue;
        }
        firstWithStorage.insert(storage, i);
        const PackageMemory::StoredCel* stored =
            previous ? previous->storedCel(*slot.cel) : nullptr;
        if (stored)
            slot.carried = carriedFile(
                directory + '/' + layersDirectoryName + '/' + stored->fileName, stored->stamp);
    }
}

// The reader decodes each stored file once; refuses what it could not hold on this machine,
// before anything is encoded.
void checkReadable(const QList<StoredSlot>& storedSlots, const Sprite& sprite) {
    const qint64 distinct = std::count_if(storedSlots.begin(), storedSlots.end(),
                                          [](const StoredSlot& slot) { return slot.sameAs < 0; });
    const QString refusal = SpriteLimits::celMemoryRefusal(distinct, sprite.width, sprite.height,
                                                           QStringLiteral("open it again"));
    if (!refusal.isEmpty())
        unwritable(refusal);
}

// Encodes every painted cel that is not carried over, and the preview unless it is, on all
// cores.
QByteArray encodeAll(const Sprite& sprite, QList<StoredSlot>& storedSlots, bool withPreview,
                     const StepProgress& progress) {
    QByteArray preview;
    ParallelJobs::run(
        storedSlots.size() + 1,
        [&](qint64 index) {
            if (index == storedSlots.size()) {
                if (withPreview)
                    preview = previewPng(sprite);
                return;
            }
            StoredSlot& slot = storedSlots[index];
            if (slot.carried || slot.sameAs >= 0 || !CelPng::isPainted(*slot.cel))
                return;
            slot.png = CelPng::encode(*slot.cel);
            if (slot.png->isEmpty())
                unwritable();
        },
        progress);
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

[[noreturn]] void notACel(const QString& name, qint64 width, qint64 height) {
    corrupt(QStringLiteral("The cel file \"%1\" is not a PNG image of %2 × %3 pixels.")
                .arg(name)
                .arg(width)
                .arg(height));
}

// The cel file's bytes, once its header names the canvas size.
const QByteArray& celFile(const PackageTree* layers, const QString& name, qint64 width,
                          qint64 height) {
    if (!layers || !layers->isDirectory())
        corrupt(QStringLiteral("The package has no \"layers\" folder."));
    const PackageTree* file = layers->entry(name);
    if (!file || !file->isFile() || file->contents().isEmpty())
        corrupt(QStringLiteral("The cel file \"%1\" is missing.").arg(name));
    if (PngCodec::size(file->contents()) != std::pair(width, height))
        notACel(name, width, height);
    return file->contents();
}

Cel loadCel(const QByteArray& bytes, const QString& name, qint64 width, qint64 height) {
    auto cel = CelPng::decode(bytes, width, height);
    if (!cel)
        notACel(name, width, height);
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
    // A file referenced by several cels is decoded once, and they share its pixels.
    QHash<QString, qint64> firstWithName;
    QList<qint64> decoded;
    for (qint64 i = 0; i < jobs.size(); ++i) {
        if (!firstWithName.contains(jobs[i].name)) {
            firstWithName.insert(jobs[i].name, i);
            decoded.append(i);
        }
    }
    // Every file is checked, and the memory they need counted, before any is decoded.
    QList<const QByteArray*> files;
    for (const qint64 index : decoded)
        files.append(&celFile(layers, jobs[index].name, manifest.width, manifest.height));
    const QString refusal = SpriteLimits::celMemoryRefusal(
        decoded.size(), manifest.width, manifest.height, QStringLiteral("open this project"));
    if (!refusal.isEmpty())
        throw PackageError(PackageError::fileReadUnknown, refusal);
    ParallelJobs::run(decoded.size(), [&](qint64 index) {
        CelJob& job = jobs[decoded[index]];
        job.cel = loadCel(*files[index], job.name, manifest.width, manifest.height);
    });
    for (CelJob& job : jobs) {
        if (!job.cel)
            job.cel = jobs[firstWithName.value(job.name)].cel;
    }

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

// Running out of memory part way is reported like any other failure to open or save: the
// sprite in memory and the package on disk stay as they were.
template <typename Operation>
auto withinMemory(PackageError::Code code, const QString& doing, const Operation& operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        throw PackageError(code, MemoryError::message(doing));
    }
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

namespace {

PlannedPackage plan(const Sprite& sprite, const PackageMemory* previous, const QString& directory,
                    const StepProgress& encoding = {}) {
    checkWritable(sprite);
    QList<StoredSlot> storedSlots = occupiedSlots(sprite);
    reuseStoredCels(storedSlots, previous, directory);
    checkReadable(storedSlots, sprite);
    std::optional<PackageTree> carriedPreview;
    if (previous && previous->previewStillShows(sprite))
        carriedPreview = carriedFile(directory + '/' + previewFileName, *previous->previewStamp);
    const QByteArray preview = encodeAll(sprite, storedSlots, !carriedPreview, encoding);

    PlannedPackage planned;
    Manifest manifest = manifestOf(sprite);
    PackageTree layers;
    for (const StoredSlot& slot : storedSlots) {
        const StoredSlot& owner = slot.sameAs >= 0 ? storedSlots[slot.sameAs] : slot;
        if (!owner.png && !owner.carried)
            continue;
        const QString name = celFileName(owner.layer, owner.frame);
        if (slot.sameAs < 0) {
            layers.insert(name, owner.carried ? *owner.carried : PackageTree::file(*owner.png));
            planned.storedCels.append({*slot.cel, name});
        }
        manifest.layers[slot.layer].cels->append({slot.frame, layersDirectoryName + '/' + name});
    }
    planned.tree.insert(manifestFileName, PackageTree::file(manifest.toJson()));
    planned.tree.insert(layersDirectoryName, layers);
    if (carriedPreview)
        planned.tree.insert(previewFileName, *carriedPreview);
    else if (!preview.isEmpty())
        planned.tree.insert(previewFileName, PackageTree::file(preview));
    planned.hasPreview = carriedPreview || !preview.isEmpty();
    return planned;
}

// What the package at directory now holds, for the next save to carry over.
void rememberWritten(const QString& directory, const Sprite& sprite,
                     const PlannedPackage& planned) {
    PackageMemory memory;
    for (const auto& [cel, name] : planned.storedCels) {
        if (const auto stamp = stampOnDisk(directory + '/' + layersDirectoryName + '/' + name))
            memory.add({cel, name, *stamp});
    }
    if (planned.hasPreview) {
        memory.previewSource = PackageMemory::previewSourceOf(sprite);
        memory.previewStamp = stampOnDisk(directory + '/' + previewFileName);
    }
    PackageMemory::remember(directory, std::move(memory));
}

// The files the sprite's cels were read from, for the next save to carry over. Where several
// references name the same slot the last one won, so only the winning file describes it. The
// preview is not remembered: nothing tells what it was drawn from.
void rememberRead(const QString& directory, const Sprite& sprite, const Manifest& manifest,
                  const QHash<QString, FileStamp>& stamps) {
    PackageMemory memory;
    QSet<std::pair<qint64, qint64>> described;
    const QList<CelJob> jobs = celJobs(manifest);
    for (auto job = jobs.crbegin(); job != jobs.crend(); ++job) {
        const Cel* cel = sprite.celPointer(job->layer, job->frame);
        if (!cel || described.contains({job->layer, job->frame}) || !stamps.contains(job->name))
            continue;
        described.insert({job->layer, job->frame});
        memory.add({*cel, job->name, stamps.value(job->name)});
    }
    PackageMemory::remember(directory, std::move(memory));
}

Sprite spriteIn(const PackageTree& root) {
    const PackageTree* manifest = root.entry(manifestFileName);
    if (!manifest || !manifest->isFile() || manifest->contents().isEmpty())
        corrupt(QStringLiteral("The package has no \"%1\".").arg(manifestFileName));
    if (manifest->contents().size() > SpriteLimits::maximumManifestBytes)
        corrupt(QStringLiteral("\"%1\" is too large.").arg(manifestFileName));
    return spriteFrom(Manifest::fromJson(manifest->contents()), root.entry(layersDirectoryName));
}

Sprite readFrom(const QString& directory) {
    const PackageDirectory root = PackageDirectory::open(directory);
    const auto json = root.readFile(manifestFileName, SpriteLimits::maximumManifestBytes);
    if (!json || json->isEmpty())
        corrupt(QStringLiteral("The package has no \"%1\".").arg(manifestFileName));
    const Manifest manifest = decodeOnDisk(*json);

    // Only the referenced cel files are read: whatever else lies in the folder costs nothing.
    const auto folder = root.subdirectory(layersDirectoryName);
    PackageTree layers;
    QSet<QString> names;
    for (const CelJob& job : celJobs(manifest))
        names.insert(job.name);
    const qint64 maximumBytes = SpriteLimits::maximumCelFileBytes(manifest.width, manifest.height);
    QHash<QString, FileStamp> stamps;
    for (const QString& name : std::as_const(names)) {
        FileStamp stamp;
        if (const auto bytes =
                folder ? folder->readFile(name, maximumBytes, &stamp) : std::nullopt) {
            layers.insert(name, PackageTree::file(*bytes));
            stamps.insert(name, stamp);
        }
    }
    Sprite sprite = spriteFrom(manifest, folder ? &layers : nullptr);
    rememberRead(directory, sprite, manifest, stamps);
    return sprite;
}

void writeTo(const Sprite& sprite, const QString& directory, const StepProgress& progress) {
    // Encoding takes the first half of the steps and writing the second: each cel is encoded
    // once and written once, and the writer's count of files is scaled to the cels'.
    const qint64 half = occupiedSlots(sprite).size() + 1; // and the preview
    const std::optional<PackageMemory> previous = PackageMemory::recall(directory);
    const PlannedPackage planned =
        plan(sprite, previous ? &*previous : nullptr, directory, [&](qint64 done, qint64 total) {
            reportProgress(progress, done * half / total, 2 * half);
        });
    PackageWriter::write(planned.tree, directory, PackageWriter::SwapMethod::exchange,
                         [&](qint64 done, qint64 total) {
                             reportProgress(progress, half + done * half / total, 2 * half);
                         });
    rememberWritten(directory, sprite, planned);
}

} // namespace

PackageTree fileWrapper(const Sprite& sprite) {
    return withinMemory(PackageError::fileWriteUnknown, QStringLiteral("save this project"),
                        [&] { return plan(sprite, nullptr, {}).tree; });
}

Sprite sprite(const PackageTree& root) {
    return withinMemory(PackageError::fileReadUnknown, QStringLiteral("open this project"),
                        [&] { return spriteIn(root); });
}

Sprite readPackage(const QString& directory) {
    return withinMemory(PackageError::fileReadUnknown, QStringLiteral("open this project"),
                        [&] { return readFrom(directory); });
}

void writePackage(const Sprite& sprite, const QString& directory, const StepProgress& progress) {
    withinMemory(PackageError::fileWriteUnknown, QStringLiteral("save this project"),
                 [&] { writeTo(sprite, directory, progress); });
}

} // namespace ProjectPackage
