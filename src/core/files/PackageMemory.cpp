#include "PackageMemory.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace {

constexpr qsizetype rememberedPackages = 4;

struct Remembered {
    QString path;
    PackageMemory memory;
};

QMutex registryLock;
QList<Remembered>& registry() { // most recently used first
    static QList<Remembered> packages;
    return packages;
}

QString keyOf(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameCels(const std::optional<Cel>& a, const std::optional<Cel>& b) {
    return a.has_value() == b.has_value() && (!a || sharesPixels(*a, *b));
}

} // namespace

const void* pixelStorage(const Cel& cel) {
    return cel.storageIdentity();
}

bool sharesPixels(const Cel& a, const Cel& b) {
    return a.sharesStorageWith(b);
}

void PackageMemory::add(StoredCel stored) {
    const void* key = pixelStorage(stored.cel);
    cels.insert(key, std::move(stored));
}

const PackageMemory::StoredCel* PackageMemory::storedCel(const Cel& cel) const {
    const auto found = cels.constFind(pixelStorage(cel));
    return found != cels.cend() && sharesPixels(found->cel, cel) ? &*found : nullptr;
}

QList<PackageMemory::PreviewLayer> PackageMemory::previewSourceOf(const Sprite& sprite) {
    QList<PreviewLayer> layers;
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        const Cel* cel = sprite.celPointer(l, 0);
        layers.append({sprite.layers[l].isVisible, sprite.layers[l].opacity,
                       cel ? std::optional<Cel>(*cel) : std::nullopt});
    }
    return layers;
}

bool PackageMemory::previewStillShows(const Sprite& sprite) const {
    if (!previewStamp || previewSource.size() != sprite.layers.size())
        return false;
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        const PreviewLayer& was = previewSource[l];
        const Cel* cel = sprite.celPointer(l, 0);
        if (was.visible != sprite.layers[l].isVisible || was.opacity != sprite.layers[l].opacity ||
            !sameCels(was.cel, cel ? std::optional<Cel>(*cel) : std::nullopt))
            return false;
    }
    return true;
}

void PackageMemory::remember(const QString& packagePath, PackageMemory memory) {
    const QString key = keyOf(packagePath);
    QMutexLocker locker(&registryLock);
    QList<Remembered>& packages = registry();
    packages.removeIf([&](const Remembered& entry) { return entry.path == key; });
    packages.prepend({key, std::move(memory)});
    if (packages.size() > rememberedPackages)
        packages.removeLast();
}

std::optional<PackageMemory> PackageMemory::recall(const QString& packagePath) {
    const QString key = keyOf(packagePath);
    QMutexLocker locker(&registryLock);
    for (const Remembered& entry : std::as_const(registry())) {
        if (entry.path == key)
            return entry.memory;
    }
    return std::nullopt;
}
