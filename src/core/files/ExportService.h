#pragma once

#include "ExportFormat.h"
#include "StepProgress.h"
#include "Sprite.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Still-image exports: the offered scales, file names, encoders and the writers of one frame,
// every frame or every visible layer. Every export starts from the composite of the visible
// layers and scales it nearest-neighbour. Failures throw ExportError.
namespace ExportService {

// The candidate percentages, in order, at which a width × height canvas can be written in
// format. Empty when none can (an ICO of no icon size, or a canvas too large at any scale).
QList<qint64> percents(qint64 width, qint64 height, ExportFormat format);
// "" at 100 %, "@2x" at 200 %, "@0.25x" at 25 %.
QString scaleSuffix(qint64 percent);
QString suggestedFileName(const QString& documentName, qint64 percent, ExportFormat format);

// The image in format (not SVG); empty when it cannot be encoded, which includes an ICO that
// is not a square icon size.
QByteArray encode(const QImage& image, ExportFormat format);
// The image drawn over opaque white, with no alpha channel; null on failure.
QImage flattenedOntoWhite(const QImage& image);

// Throws unless a width × height image can be exported at percent within the largest side.
void checkOutputSize(qint64 width, qint64 height, qint64 percent);

// Straight width × height pixels as a file in format at percent: scaled, flattened for
// JPEG, encoded.
QByteArray imageData(const QList<quint32>& straight, qint64 width, qint64 height, qint64 percent,
                     ExportFormat format);
// The composite of one frame as a file in format at percent.
QByteArray frameData(const Sprite& sprite, qint64 frame, qint64 percent, ExportFormat format);

// Replaces path with bytes in one step: a failed write leaves no partial file behind.
void writeFile(const QByteArray& bytes, const QString& path);

struct FileContents {
    QString path;
    QByteArray bytes;
};
// Writes every file in full before replacing any of them, so that a full disk or a refused
// destination changes none of them.
void writeFiles(const QList<FileContents>& files);

// base_000.png, base_001.png, … ("Untitled" for an empty base).
QString frameFileName(const QString& baseName, qint64 frame, ExportFormat format);
// base_03_Eyes.png; "/" and control characters in the layer name become "-".
QString layerFileName(const QString& baseName, qint64 layer, const QString& layerName,
                      ExportFormat format);

// One file per frame into folder; the number of files written. Stops at the first failure,
// keeping the files written before it. Progress counts the files.
qint64 writeFrames(const Sprite& sprite, qint64 percent, ExportFormat format, const QString& folder,
                   const QString& baseName, const StepProgress& progress = {});
// One file per visible layer of frame, each layer shown alone at its own opacity.
qint64 writeLayers(const Sprite& sprite, qint64 frame, qint64 percent, ExportFormat format,
                   const QString& folder, const QString& baseName,
                   const StepProgress& progress = {});

} // namespace ExportService
