#include "Cel.h"

#include "MemoryError.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <emmintrin.h>
#include <stdexcept>

namespace {

// The first column from x on (before end) where the two rows are equal (or differ, when
// wantEqual is false); end when there is none. Four words at a time: a stroke's step compares
// every row it touched.
qint64 firstWhere(bool wantEqual, const quint32* a, const quint32* b, qint64 x, qint64 end) {
    for (; x + 4 <= end; x += 4) {
        const __m128i same =
            _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x)));
        int found = _mm_movemask_ps(_mm_castsi128_ps(same));
        if (!wantEqual)
            found = ~found & 0xF;
        if (found)
            return x + std::countr_zero(unsigned(found));
    }
    for (; x < end; ++x) {
        if ((a[x] == b[x]) == wantEqual)
            return x;
    }
    return end;
}

// What an unwritten band reads as; wider than any cel the limits allow. Untouched zero pages
// cost no memory.
constexpr qint64 zeroRowWords = 65536;
alignas(64) const quint32 zeroRow[zeroRowWords] = {};

} // namespace

Cel::Cel(qint64 width, qint64 height)
    : width(std::max<qint64>(width, 0)), height(std::max<qint64>(height, 0)) {
    if (this->width > zeroRowWords)
        throw std::length_error("cel wider than any canvas");
}

Cel::Cel(qint64 width, qint64 height, const QList<quint32>& words) : Cel(width, height) {
    if (words.size() != this->width * this->height)
        throw std::invalid_argument("cel words do not match its size");
    // Transparent bands stay unwritten: imported sprites are mostly empty.
    for (qint64 band = 0; band < bandCount(); ++band) {
        const quint32* from = words.constData() + band * bandRows() * this->width;
        const qint64 count = bandWords(band);
        if (std::any_of(from, from + count, [](quint32 word) { return word != 0; }))
            std::memcpy(ownBand(band), from, size_t(count) * sizeof(quint32));
    }
}

qint64 Cel::bandRowsFor(qint64 width) {
    return std::max<qint64>(1, bandBytes / qint64(sizeof(quint32)) / std::max<qint64>(width, 1));
}

qint64 Cel::bandRows() const { return bandRowsFor(width); }

qint64 Cel::bandCount() const { return (height + bandRows() - 1) / bandRows(); }

qint64 Cel::bandWords(qint64 band) const {
    const qint64 rows = std::min(bandRows(), height - band * bandRows());
    return rows * width;
}

const quint32* Cel::bandIfAny(qint64 band) const {
    if (!table)
        return nullptr;
    const std::shared_ptr<Group>& group = (*table)[size_t(band / groupBands)];
    return group ? (*group)[size_t(band % groupBands)].get() : nullptr;
}

quint32* Cel::ownBand(qint64 band) {
    // use_count() may only overstate while other threads drop their copies: at worst one band
    // is copied needlessly, never written while shared.
    if (!table)
        table = std::make_shared<Table>(size_t((bandCount() + groupBands - 1) / groupBands));
    else if (table.use_count() > 1)
        table = std::make_shared<Table>(*table);
    std::shared_ptr<Group>& group = (*table)[size_t(band / groupBands)];
    if (!group)
        group = std::make_shared<Group>();
    else if (group.use_count() > 1)
        group = std::make_shared<Group>(*group);
    Band& words = (*group)[size_t(band % groupBands)];
    const qint64 count = bandWords(band);
    MemoryError::checkRequest(count);
    if (!words) {
        words = std::make_shared<quint32[]>(size_t(count)); // zeroed
    } else if (words.use_count() > 1) {
        Band copy(new quint32[size_t(count)]);
        std::memcpy(copy.get(), words.get(), size_t(count) * sizeof(quint32));
        words = std::move(copy);
    }
    return words.get();
}

const quint32* Cel::rowIfWritten(qint64 y) const {
    const qint64 band = y / bandRows();
    const quint32* words = bandIfAny(band);
    return words ? words + (y - band * bandRows()) * width : nullptr;
}

const quint32* Cel::bandOfRow(qint64 y, qint64& firstRow, qint64& endRow) const {
    const qint64 band = y / bandRows();
    firstRow = band * bandRows();
    endRow = std::min(height, firstRow + bandRows());
    return bandIfAny(band);
}

const quint32* Cel::row(qint64 y) const {
    const quint32* words = rowIfWritten(y);
    return words ? words : zeroRow;
}

quint32* Cel::mutableRow(qint64 y) {
    const qint64 band = y / bandRows();
    return ownBand(band) + (y - band * bandRows()) * width;
}

void Cel::setPixel(qint64 x, qint64 y, quint32 word) {
    if (row(y)[x] != word)
        mutableRow(y)[x] = word;
}

void Cel::fill(quint32 word) {
    if (word == 0) {
        table.reset();
        return;
    }
    for (qint64 y = 0; y < height; ++y)
        std::fill_n(mutableRow(y), width, word);
}

QList<quint32> Cel::words() const { return extract(bounds()); }

QList<quint32> Cel::extract(const PixelRect& rect) const {
    const PixelRect clipped = rect.intersection(bounds());
    if (clipped.isEmpty())
        return {};
    QList<quint32> words = MemoryError::unsetWords(clipped.area()); // every word is copied
    quint32* out = words.data();
    for (qint64 y = clipped.y; y < clipped.bottom(); ++y, out += clipped.width)
        std::memcpy(out, row(y) + clipped.x, size_t(clipped.width) * sizeof(quint32));
    return words;
}

void Cel::replace(const PixelRect& rect, const QList<quint32>& words) {
    if (rect.isEmpty() || words.size() != rect.area() || !bounds().contains(rect))
        return;
    const quint32* in = words.constData();
    for (qint64 y = rect.y; y < rect.bottom(); ++y, in += rect.width)
        std::memcpy(mutableRow(y) + rect.x, in, size_t(rect.width) * sizeof(quint32));
}

QList<quint32> Cel::extract(const PixelSpans& runs) const {
    QList<quint32> words;
    words.reserve(runs.pixelCount());
    words.resize(runs.pixelCount());
    quint32* out = words.data();
    for (const PixelSpans::Span& run : runs.spans()) {
        std::memcpy(out, row(run.y) + run.x, size_t(run.end - run.x) * sizeof(quint32));
        out += run.end - run.x;
    }
    return words;
}

void Cel::replace(const PixelSpans& runs, const QList<quint32>& words) {
    if (words.size() != runs.pixelCount() || !bounds().contains(runs.bounds()))
        return;
    const quint32* in = words.constData();
    for (const PixelSpans::Span& run : runs.spans()) {
        std::memcpy(mutableRow(run.y) + run.x, in, size_t(run.end - run.x) * sizeof(quint32));
        in += run.end - run.x;
    }
}

PixelSpans Cel::differences(const Cel& other, const PixelRect& rect) const {
    std::vector<PixelSpans::Span> runs;
    if (width != other.width || height != other.height)
        return {};
    const PixelRect clipped = rect.intersection(bounds());
    for (qint64 y = clipped.y; y < clipped.bottom(); ++y) {
        const quint32* a = row(y);
        const quint32* b = other.row(y);
        if (a == b)
            continue; // the same band, or both unwritten
        for (qint64 x = clipped.x; x < clipped.right();) {
            const qint64 start = firstWhere(false, a, b, x, clipped.right());
            x = firstWhere(true, a, b, start, clipped.right());
            if (x > start)
                runs.push_back({y, start, x});
        }
    }
    return PixelSpans::fromRuns(std::move(runs));
}

bool Cel::sharesStorageWith(const Cel& other) const {
    return width == other.width && height == other.height && table == other.table;
}

bool operator==(const Cel& a, const Cel& b) {
    if (a.width != b.width || a.height != b.height)
        return false;
    if (a.table == b.table)
        return true;
    for (qint64 y = 0; y < a.height; ++y) {
        const quint32* ra = a.row(y);
        const quint32* rb = b.row(y);
        if (ra != rb && std::memcmp(ra, rb, size_t(a.width) * sizeof(quint32)) != 0)
            return false;
    }
    return true;
}
