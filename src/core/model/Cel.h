#pragma once

#include "PixelRect.h"
#include "PixelSpans.h"

#include <QList>
#include <QtGlobal>
#include <array>
#include <memory>
#include <vector>

// One layer's pixels in one frame: width × height words, row-major. The rows live in bands of
// about 64 KB, each shared between copies until one of them writes into it, so a snapshot, an
// undo step or a clipboard copy costs only the bands written afterwards. A band never written
// holds no memory and reads as transparent.
struct Cel {
    qint64 width = 0;
    qint64 height = 0;

    Cel() = default;
    // A blank cel: every word 0, no memory until written.
    Cel(qint64 width, qint64 height);
    // Takes row-major words; words.size() must be width × height.
    Cel(qint64 width, qint64 height, const QList<quint32>& words);

    PixelRect bounds() const { return {0, 0, width, height}; }
    // Reads and writes inside the cel only.
    quint32 pixel(qint64 x, qint64 y) const { return row(y)[x]; }
    void setPixel(qint64 x, qint64 y, quint32 word);
    // The same by row-major index.
    quint32 wordAt(qint64 index) const { return pixel(index % width, index / width); }
    void setWordAt(qint64 index, quint32 word) { setPixel(index % width, index / width, word); }
    const quint32* row(qint64 y) const;
    // Null where the row was never written (it reads as transparent).
    const quint32* rowIfWritten(qint64 y) const;
    // The band holding row y (null when unwritten), with the rows it spans: for readers that
    // walk rows and look a band up once, not once a row.
    const quint32* bandOfRow(qint64 y, qint64& firstRow, qint64& endRow) const;
    // Rows of a cel this wide lie contiguously in runs of this many, starting from row 0.
    static qint64 bandRowsFor(qint64 width);
    // The row made this cel's own first. Throws std::bad_alloc when its band cannot be made.
    quint32* mutableRow(qint64 y);
    void fill(quint32 word);

    // Every word, row-major: a copy, for the rare callers that need one flat array.
    QList<quint32> words() const;
    // The rectangle's pixels clipped to the cel, row-major; empty when nothing is inside.
    QList<quint32> extract(const PixelRect& rect) const;
    // Writes words into a rectangle wholly inside the cel; anything else changes nothing.
    void replace(const PixelRect& rect, const QList<quint32>& words);
    // The same for a set of runs inside the cel: words in run order.
    QList<quint32> extract(const PixelSpans& runs) const;
    void replace(const PixelSpans& runs, const QList<quint32>& words);
    // The runs where the two cels of one size differ, within rect; bands the two share are
    // skipped unread.
    PixelSpans differences(const Cel& other, const PixelRect& rect) const;

    // True when both hold the very same storage: equal without reading a word.
    bool sharesStorageWith(const Cel& other) const;
    // Names the storage while it is held: equal for cels that share it, null while blank.
    const void* storageIdentity() const { return table.get(); }
    // Calls visit(address, bytes) for every band this cel holds, apart from those that other
    // (when given) holds at the same place; two cels holding one band report one address, so
    // callers can count shared memory once.
    template <typename Visit>
    void forEachBand(Visit visit, const Cel* other = nullptr) const;

    friend bool operator==(const Cel& a, const Cel& b);

private:
    static constexpr qint64 bandBytes = 64 * 1024;
    static constexpr qint64 groupBands = 32;
    using Band = std::shared_ptr<quint32[]>;
    using Group = std::array<Band, groupBands>;
    // Two levels, so that the first write after a copy duplicates a short list of groups and
    // one group, not one entry per band of a big cel.
    using Table = std::vector<std::shared_ptr<Group>>;

    qint64 bandRows() const;
    qint64 bandCount() const;
    qint64 bandWords(qint64 band) const;
    const quint32* bandIfAny(qint64 band) const;
    quint32* ownBand(qint64 band);

    std::shared_ptr<Table> table; // null while blank
};

template <typename Visit>
void Cel::forEachBand(Visit visit, const Cel* other) const {
    if (!table)
        return;
    if (other && (other->width != width || other->height != height))
        other = nullptr;
    for (qint64 band = 0; band < bandCount(); ++band) {
        const quint32* words = bandIfAny(band);
        if (words && !(other && other->bandIfAny(band) == words))
            visit(static_cast<const void*>(words), bandWords(band) * qint64(sizeof(quint32)));
    }
}
