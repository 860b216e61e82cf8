#include "PixelSpans.h"

#include <algorithm>

PixelSpans PixelSpans::fromRuns(std::vector<Span> runs) {
    std::erase_if(runs, [](const Span& run) { return run.end <= run.x; });
    std::sort(runs.begin(), runs.end(),
              [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    std::vector<Span> merged;
    merged.reserve(runs.size());
    for (const Span& run : runs) {
        if (!merged.empty() && merged.back().y == run.y && run.x <= merged.back().end)
            merged.back().end = std::max(merged.back().end, run.end);
        else
            merged.push_back(run);
    }
    return PixelSpans(std::move(merged));
}

PixelSpans PixelSpans::fromPoints(const QList<PixelPoint>& points) {
    std::vector<Span> runs;
    runs.reserve(points.size());
    for (const PixelPoint& p : points)
        runs.push_back({p.y, p.x, p.x + 1});
    return fromRuns(std::move(runs));
}

PixelSpans PixelSpans::rectangle(const PixelRect& rect) {
    std::vector<Span> rows;
    if (rect.isEmpty())
        return {};
    rows.reserve(rect.height);
    for (qint64 y = rect.y; y < rect.bottom(); ++y)
        rows.push_back({y, rect.x, rect.right()});
    return PixelSpans(std::move(rows));
}

PixelSpans PixelSpans::rowHulls(const QList<PixelPoint>& points) {
    std::vector<Span> runs;
    for (const Span& span : fromPoints(points).m_spans) {
        if (!runs.empty() && runs.back().y == span.y)
            runs.back().end = span.end;
        else
            runs.push_back(span);
    }
    return PixelSpans(std::move(runs));
}

qint64 PixelSpans::pixelCount() const {
    qint64 count = 0;
    for (const Span& span : m_spans)
        count += span.end - span.x;
    return count;
}

PixelRect PixelSpans::bounds() const {
    if (m_spans.empty())
        return {};
    qint64 left = m_spans.front().x;
    qint64 right = m_spans.front().end;
    for (const Span& span : m_spans) {
        left = std::min(left, span.x);
        right = std::max(right, span.end);
    }
    const qint64 top = m_spans.front().y;
    return {left, top, right - left, m_spans.back().y - top + 1};
}

bool PixelSpans::contains(PixelPoint point) const {
    // The first span past the point; the one before it is the only candidate.
    const auto after =
        std::upper_bound(m_spans.begin(), m_spans.end(), point, [](PixelPoint p, const Span& span) {
            return p.y != span.y ? p.y < span.y : p.x < span.x;
        });
    if (after == m_spans.begin())
        return false;
    const Span& span = *std::prev(after);
    return span.y == point.y && point.x < span.end;
}

QList<PixelPoint> PixelSpans::points() const {
    QList<PixelPoint> result;
    result.reserve(pixelCount());
    for (const Span& span : m_spans) {
        for (qint64 x = span.x; x < span.end; ++x)
            result.append({x, span.y});
    }
    return result;
}

PixelSpans PixelSpans::clipped(const PixelRect& rect) const {
    std::vector<Span> result;
    for (const Span& span : m_spans) {
        if (span.y < rect.y || span.y >= rect.bottom())
            continue;
        const Span cut{span.y, std::max(span.x, rect.x), std::min(span.end, rect.right())};
        if (cut.x < cut.end)
            result.push_back(cut);
    }
    return PixelSpans(std::move(result));
}

PixelSpans PixelSpans::unitedWith(const PixelSpans& other) const {
    std::vector<Span> runs = m_spans;
    runs.insert(runs.end(), other.m_spans.begin(), other.m_spans.end());
    return fromRuns(std::move(runs));
}

PixelSpans PixelSpans::dilated(qint64 side) const {
    if (side < 2 || m_spans.empty())
        return *this;
    const qint64 before = (side - 1) / 2; // reach up and left; side − 1 − before down and right
    // Rows widened first, then each output row is the union of the side rows that reach it.
    struct Row {
        qint64 y;
        std::vector<Span> spans;
    };
    std::vector<Row> rows;
    for (const Span& span : m_spans) {
        const Span wide{span.y, span.x - before, span.end - before + side - 1};
        if (rows.empty() || rows.back().y != span.y)
            rows.push_back({span.y, {}});
        std::vector<Span>& row = rows.back().spans;
        if (!row.empty() && wide.x <= row.back().end)
            row.back().end = std::max(row.back().end, wide.end);
        else
            row.push_back(wide);
    }
    std::vector<Span> result;
    std::vector<Span> gathered;
    size_t first = 0; // the first row that still reaches the output row
    size_t next = 0;  // the first row that does not reach it yet
    qint64 y = rows.front().y - before;
    while (first < rows.size()) {
        while (next < rows.size() && rows[next].y - before <= y)
            ++next;
        while (first < next && rows[first].y - before + side - 1 < y)
            ++first;
        if (first == next) { // a gap: jump to the next row's reach
            if (next == rows.size())
                break;
            y = rows[next].y - before;
            continue;
        }
        gathered.clear();
        for (size_t i = first; i < next; ++i)
            gathered.insert(gathered.end(), rows[i].spans.begin(), rows[i].spans.end());
        if (next - first > 1)
            std::sort(gathered.begin(), gathered.end(),
                      [](const Span& a, const Span& b) { return a.x < b.x; });
        for (const Span& span : gathered) {
            if (!result.empty() && result.back().y == y && span.x <= result.back().end)
                result.back().end = std::max(result.back().end, span.end);
            else
                result.push_back({y, span.x, span.end});
        }
        ++y;
    }
    return PixelSpans(std::move(result));
}

PixelSpans PixelSpans::mirrored(std::optional<qint64> mirrorX,
                                std::optional<qint64> mirrorY) const {
    std::vector<Span> runs;
    runs.reserve(m_spans.size());
    for (const Span& span : m_spans) {
        Span image = span;
        if (mirrorX)
            image = {span.y, *mirrorX - span.end + 1, *mirrorX - span.x + 1};
        if (mirrorY)
            image.y = *mirrorY - span.y;
        runs.push_back(image);
    }
    return fromRuns(std::move(runs));
}

PixelSpans PixelSpans::transposed(qint64 dx, qint64 dy) const {
    if (m_spans.empty())
        return {};
    // Follows every column's current vertical run while walking the rows in order.
    const PixelRect box = bounds();
    const qint64 none = box.y - 2;
    std::vector<qint64> runStart(box.width, none);
    std::vector<qint64> runLast(box.width, none);
    std::vector<Span> runs;
    const auto flush = [&](qint64 column) {
        const qint64 i = column - box.x;
        if (runLast[i] != none)
            runs.push_back({column + dy, runStart[i] + dx, runLast[i] + 1 + dx});
    };
    for (const Span& span : m_spans) {
        for (qint64 x = span.x; x < span.end; ++x) {
            const qint64 i = x - box.x;
            if (runLast[i] != none && runLast[i] == span.y - 1) {
                runLast[i] = span.y;
                continue;
            }
            flush(x);
            runStart[i] = runLast[i] = span.y;
        }
    }
    for (qint64 x = box.x; x < box.right(); ++x)
        flush(x);
    return fromRuns(std::move(runs));
}
