#pragma once

#include "ExportChoices.h"

#include <QHash>
#include <QImage>
#include <QTimer>
#include <QWidget>

// A small picture of what an export writes: its frames (or layers) placed as the export places
// them, over the transparency checkerboard (over white where the format flattens), scaled to
// fit with square pixels. A GIF plays at its frame durations.
class ExportPreviewView : public QWidget {
    Q_OBJECT

public:
    explicit ExportPreviewView(QWidget* parent = nullptr);

    void setChoices(const ExportChoices& choices);
    // The GIF frame shown now; 0 for every other kind.
    qint64 shownFrame() const { return playbackFrame; }

    QSize sizeHint() const override { return {360, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Tiles in a grid, measured in canvas pixels like the export itself.
    struct Arrangement {
        QList<QImage> tiles;
        qint64 columns = 1;
        qint64 rows = 1;
        qint64 padding = 0;
        PixelRect source;           // the part of each tile shown
        bool separateFiles = false; // each tile on its own backdrop
        bool flattened = false;     // white instead of the checkerboard
        bool animated = false;      // one tile at a time, at the frame durations
    };

    Arrangement arrange(const ExportChoices& choices);
    Arrangement files(QList<QImage> tiles, bool flattened) const;
    QImage frameImage(qint64 frame);
    QImage layerImage(qint64 layer);
    void scheduleNextFrame();
    QList<QRectF> cellRects(qreal zoom, QPointF origin) const;

    Sprite sprite;
    QHash<qint64, QImage> frameImages;
    QHash<qint64, QImage> layerImages;
    Arrangement shown;
    QTimer playback;
    qint64 playbackFrame = 0;
};
