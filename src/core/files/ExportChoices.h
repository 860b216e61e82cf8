#pragma once

#include "ExportFormat.h"
#include "StepProgress.h"
#include "Sprite.h"
#include "SpriteSheetLayout.h"
#include "SpriteSheetService.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// What an export is asked to write, and the rules that follow from it: the scales on offer,
// whether it can be written at all, the summary of the result and the names offered for it.
// It keeps its own copy of the sprite (the pixels stay shared), so a copy of the choices can be
// written on another thread while the document goes on.
class ExportChoices {
    Q_DECLARE_TR_FUNCTIONS(ExportChoices)

public:
    // What is exported.
    enum class Format { frame, spriteSheet, gif, apng, allFrames, allLayers };

    static const QList<Format> formats;
    static QString title(Format format);
    // True for the kinds that write one file each into a chosen folder.
    static bool writesFolder(Format format);
    // True for the looping animations (GIF, animated PNG), which have no file format choice
    // and follow the PNG scale rules.
    static bool isAnimation(Format format);

    static constexpr qint64 minimumColumns = 1;
    static constexpr qint64 maximumColumns = 16;
    static constexpr qint64 maximumPadding = 16;

    // Starts at a single PNG frame at scale, pulled into the offered list.
    ExportChoices(Sprite sprite, QString documentName, qint64 scale);

    const Sprite& sprite() const { return content; }
    void setSprite(Sprite sprite);
    const QString& documentName() const { return name; }

    Format format() const { return kind; }
    void setFormat(Format format);
    ExportFormat fileFormat() const { return imageFormat; }
    void setFileFormat(ExportFormat format);
    qint64 scale() const { return percent; }
    void setScale(qint64 scale);
    SpriteSheetLayout layout() const { return sheetLayout; }
    void setLayout(SpriteSheetLayout layout);
    qint64 columns() const { return gridColumns; }
    void setColumns(qint64 columns); // kept within 1...16
    bool includeMetadata() const { return metadata; }
    void setIncludeMetadata(bool include) { metadata = include; }
    qint64 padding() const { return gutter; }
    void setPadding(qint64 padding); // kept within 0...16
    bool trim() const { return trimmed; }
    void setTrim(bool trim) { trimmed = trim; }
    SheetMetadataStyle metadataStyle() const { return metadataLayout; }
    void setMetadataStyle(SheetMetadataStyle style) { metadataLayout = style; }

    // The percentages on offer. A GIF follows the PNG rules; a sprite sheet is measured as its
    // untrimmed, unpadded grid of whole canvases.
    QList<qint64> availableScales() const;
    // Moves the scale to the largest offered percentage not above it (else the smallest
    // offered); leaves it alone when nothing is offered. The setters that can change the
    // offered list clamp by themselves.
    void clampScale();

    bool canExport() const;
    // Why the export cannot be written, when it cannot.
    std::optional<QString> note() const;
    // Two lines: the output size, then what it holds.
    QString summary() const;

    // What the save panel offers: a file name, its content type and extension.
    QString suggestedFileName() const;
    QString mimeType() const;
    QString fileExtension() const;
    // The message of the folder panel of the batch kinds.
    QString folderMessage() const;

    // The part of every frame a sprite sheet takes: the shared trimmed bounds or the canvas.
    PixelRect frameSource() const;
    // The sprite sheet's options, its metadata naming the image file written at imagePath.
    SpriteSheetService::Options sheetOptions(const QString& imagePath = {}) const;
    // Where a sprite sheet's metadata goes: beside the image, the extension replaced by json.
    static QString metadataPath(const QString& imagePath);

    // Renders and writes the export to destination (a file, or a folder for the batch kinds);
    // the number of files written. Throws ExportError.
    qint64 write(const QString& destination, const StepProgress& progress = {}) const;

private:
    QString baseName() const;
    // The sprite sheet's width and height at 1:1, padding included.
    std::pair<qint64, qint64> sheetSize() const;

    Sprite content;
    QString name;
    Format kind = Format::frame;
    ExportFormat imageFormat = ExportFormat::png;
    qint64 percent = 100;
    SpriteSheetLayout sheetLayout = SpriteSheetLayout::horizontal;
    qint64 gridColumns = 4;
    bool metadata = false;
    qint64 gutter = 0;
    bool trimmed = false;
    SheetMetadataStyle metadataLayout = SheetMetadataStyle::kestrin;
    // Trimming composites every frame; the bounds are kept until the sprite changes.
    mutable std::optional<PixelRect> contentBounds;
};
