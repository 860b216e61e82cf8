#include "ExportPreviewView.h"

#include "CheckerboardBackground.h"
#include "ExportScale.h"
#include "PixelRenderer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Tiles are kept small: a preview never needs more, and a huge canvas stays cheap to show.
constexpr qint64 tileSide = 256;
constexpr qreal margin = 8;

QImage shrunk(const QImage& image) {
    if (image.isNull() || std::max(image.width(), image.height()) <= tileSide)
        return image;
    return image.scaled(int(tileSide), int(tileSide), Qt::KeepAspectRatio, Qt::FastTransformation);
}

// The frame composited and shrunk to a tile; a tile there is no memory for stays empty (the
// export itself then says so).
QImage compositeTile(const Sprite& sprite, qint64 frame) {
    try {
        return shrunk(PixelRenderer::makeImage(PixelRenderer::composite(sprite, frame),
                                               sprite.width, sprite.height));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

// The part of a tile that shows the canvas rectangle source (tiles may be shrunk).
QRectF tileSource(const QImage& tile, const Sprite& sprite, const PixelRect& source) {
    const qreal fx = qreal(tile.width()) / qreal(sprite.width);
    const qreal fy = qreal(tile.height()) / qreal(sprite.height);
    return {qreal(source.x) * fx, qreal(source.y) * fy, qreal(source.width) * fx,
            qreal(source.height) * fy};
}

} // namespace

ExportPreviewView::ExportPreviewView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(240, 140);
    playback.setSingleShot(true);
    connect(&playback, &QTimer::timeout, this, [this] {
        playbackFrame = (playbackFrame + 1) % std::max<qint64>(1, shown.tiles.size());
        scheduleNextFrame();
        update();
    });
}

void ExportPreviewView::setChoices(const ExportChoices& choices) {
    if (!(choices.sprite() == sprite)) {
        sprite = choices.sprite();
        frameImages.clear();
        layerImages.clear();
    }
    const bool wasAnimated = shown.animated;
    shown = arrange(choices);
    if (!shown.animated) {
        playback.stop();
        playbackFrame = 0;
    } else if (!wasAnimated) {
        playbackFrame = 0;
        scheduleNextFrame();
    }
    update();
}

ExportPreviewView::Arrangement ExportPreviewView::arrange(const ExportChoices& choices) {
    using Format = ExportChoices::Format;
    const qint64 frameCount = sprite.frames.size();
    Arrangement result;
    result.source = sprite.bounds();
    result.flattened =
        !ExportChoices::isAnimation(choices.format()) && choices.fileFormat() == ExportFormat::jpeg;
    switch (choices.format()) {
    case Format::spriteSheet: {
        const SpriteSheetService::Grid grid =
            SpriteSheetService::dimensions(frameCount, choices.layout(), choices.columns());
        for (qint64 frame = 0; frame < frameCount; ++frame)
            result.tiles.append(frameImage(frame));
        result.columns = grid.columns;
        result.rows = grid.rows;
        result.padding = choices.padding();
        result.source = choices.frameSource();
        return result;
    }
    case Format::gif:
    case Format::apng:
        for (qint64 frame = 0; frame < frameCount; ++frame)
            result.tiles.append(frameImage(frame));
        result.animated = frameCount > 1;
        return result;
    case Format::allFrames: {
        QList<QImage> tiles;
        for (qint64 frame = 0; frame < frameCount; ++frame)
            tiles.append(frameImage(frame));
        return files(tiles, result.flattened);
    }
    case Format::allLayers: {
        QList<QImage> tiles;
        for (qint64 layer = 0; layer < sprite.layers.size(); ++layer) {
            if (sprite.layers[layer].isVisible)
                tiles.append(layerImage(layer));
        }
        return files(tiles, result.flattened);
    }
    case Format::frame:
        break;
    }
    result.tiles.append(frameImage(sprite.activeFrameIndex));
    return result;
}

// Separate files side by side in a roughly square grid, each with a gap around it.
ExportPreviewView::Arrangement ExportPreviewView::files(QList<QImage> tiles, bool flattened) const {
    Arrangement result;
    result.flattened = flattened;
    const qint64 count = std::max<qint64>(1, tiles.size());
    result.columns = qint64(std::ceil(std::sqrt(double(count))));
    result.rows = (count + result.columns - 1) / result.columns;
    result.padding = std::max<qint64>(1, std::max(sprite.width, sprite.height) / 8);
    result.source = sprite.bounds();
    result.separateFiles = true;
    result.tiles = std::move(tiles);
    return result;
}

QImage ExportPreviewView::frameImage(qint64 frame) {
    auto found = frameImages.constFind(frame);
    if (found != frameImages.constEnd())
        return *found;
    const QImage image = compositeTile(sprite, frame);
    frameImages.insert(frame, image);
    return image;
}

QImage ExportPreviewView::layerImage(qint64 layer) {
    auto found = layerImages.constFind(layer);
    if (found != layerImages.constEnd())
        return *found;
    Sprite alone = sprite;
    for (qint64 other = 0; other < alone.layers.size(); ++other)
        alone.layers[other].isVisible = other == layer;
    const QImage image = compositeTile(alone, sprite.activeFrameIndex);
    layerImages.insert(layer, image);
    return image;
}

void ExportPreviewView::scheduleNextFrame() {
    if (!shown.animated || playbackFrame >= sprite.frames.size())
        return;
    playback.start(int(std::clamp<qint64>(sprite.frames[playbackFrame].duration, 10, 60000)));
}

// Where each cell lands in the widget, at zoom view points per canvas pixel.
QList<QRectF> ExportPreviewView::cellRects(qreal zoom, QPointF origin) const {
    const PixelRect& source = shown.source;
    const qint64 cells = shown.animated ? 1 : shown.columns * shown.rows;
    QList<QRectF> rects;
    for (qint64 cell = 0; cell < cells; ++cell) {
        const qint64 column = cell % shown.columns;
        const qint64 row = cell / shown.columns;
        const QPointF at(qreal(shown.padding + column * (source.width + shown.padding)),
                         qreal(shown.padding + row * (source.height + shown.padding)));
        rects.append(QRectF(origin + at * zoom,
                            QSizeF(qreal(source.width) * zoom, qreal(source.height) * zoom)));
    }
    return rects;
}

void ExportPreviewView::paintEvent(QPaintEvent*) {
    if (shown.tiles.isEmpty() || sprite.width < 1 || sprite.height < 1)
        return;
    const qint64 columns = shown.animated ? 1 : shown.columns;
    const qint64 rows = shown.animated ? 1 : shown.rows;
    const qreal width =
        qreal(SpriteSheetService::sheetLength(columns, shown.source.width, shown.padding));
    const qreal height =
        qreal(SpriteSheetService::sheetLength(rows, shown.source.height, shown.padding));
    const QRectF room = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    qreal zoom = std::min(room.width() / width, room.height() / height);
    if (zoom >= 1)
        zoom = std::floor(zoom); // whole view points per pixel keep pixels square
    const QSizeF size(width * zoom, height * zoom);
    const QRectF whole(room.center() - QPointF(size.width(), size.height()) / 2, size);

    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const auto backdrop = [&](const QRectF& area) {
        if (shown.flattened)
            painter.fillRect(area, Qt::white);
        else
            CheckerboardBackground::paint(painter, area);
    };
    // Cells past the last tile stay empty: transparent on a sheet, absent among files.
    QList<QRectF> cells = cellRects(zoom, whole.topLeft());
    const qint64 first = shown.animated ? playbackFrame : 0;
    cells.resize(std::min<qint64>(cells.size(), shown.tiles.size() - first));
    const QList<QRectF> backdrops = shown.separateFiles ? cells : QList<QRectF>{whole};
    for (const QRectF& area : backdrops)
        backdrop(area);
    for (qint64 cell = 0; cell < cells.size(); ++cell) {
        const QImage& tile = shown.tiles[first + cell];
        painter.drawImage(cells[cell], tile, tileSource(tile, sprite, shown.source));
    }
    painter.setPen(palette().color(QPalette::Mid));
    for (const QRectF& outline : backdrops)
        painter.drawRect(outline.adjusted(-0.5, -0.5, 0.5, 0.5));
}
