#pragma once

#include "Cel.h"
#include "FileStamp.h"
#include "Sprite.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// What Kestrin last read from or wrote to one package: each stored cel with the file holding
// it, and what the preview was drawn from. Cels are kept as shared copies, so a cel still
// holding the very same pixel storage is known unchanged without comparing a pixel (any
// write to shared storage gives the writer a fresh copy). File stamps make sure the files
// were not touched since. The next save of the package carries those files over instead of
// encoding them again.
struct PackageMemory {
    struct StoredCel {
        Cel cel;
        QString fileName; // inside the layers folder
        FileStamp stamp;
    };
    struct PreviewLayer {
        bool visible = true;
        double opacity = 1;
        std::optional<Cel> cel;
    };

    QHash<const void*, StoredCel> cels; // by pixel storage
    QList<PreviewLayer> previewSource;  // the first frame, as the preview was composited
    std::optional<FileStamp> previewStamp;

    void add(StoredCel stored);
    // The stored cel holding exactly this cel's pixel storage, if any.
    const StoredCel* storedCel(const Cel& cel) const;
    static QList<PreviewLayer> previewSourceOf(const Sprite& sprite);
    bool previewStillShows(const Sprite& sprite) const;

    // Thread-safe; the path is taken as an absolute, clean path. Only the few most recently
    // used packages are remembered, as the shared storage keeps edited cels' old pixels alive.
    static void remember(const QString& packagePath, PackageMemory memory);
    static std::optional<PackageMemory> recall(const QString& packagePath);
};

// What holds the cel's pixels: the same for copies neither side has written since.
const void* pixelStorage(const Cel& cel);
// True when both cels hold the same pixel storage (not merely equal pixels).
bool sharesPixels(const Cel& a, const Cel& b);
