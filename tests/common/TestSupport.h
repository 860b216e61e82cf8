#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QtGlobal>

namespace kestrin::test {

// Seeded random pixel words, alpha included, for round trips at awkward sizes.
inline QList<quint32> randomPixels(qint64 count, quint32 seed) {
    QRandomGenerator generator(seed);
    QList<quint32> words(count);
    for (quint32& word : words)
        word = generator.generate();
    return words;
}

// The widths where row-stride and vectorised code tends to break.
inline const QList<qint64> awkwardWidths = {1, 2, 7, 8, 9, 15, 16, 17, 33};

} // namespace kestrin::test
