#include "ExportChoices.h"

#include "ApngService.h"
#include "ExportError.h"
#include "ExportScale.h"
#include "ExportService.h"
#include "GIFService.h"

#include <QFileInfo>
#include <algorithm>
#include <numeric>

namespace {

constexpr char16_t times = u'\u00D7';

// "W × H px" of a 1:1 size at percent; never below the one pixel the scaler keeps.
QString outputSize(qint64 width, qint64 height, qint64 percent) {
    return QStringLiteral("%1 %2 %3 px")
        .arg(ExportScale::side(width, percent))
        .arg(QChar(times))
        .arg(ExportScale::side(height, percent));
}

qint64 visibleLayerCount(const Sprite& sprite) {
    return std::count_if(sprite.layers.cbegin(), sprite.layers.cend(),
                         [](const Layer& layer) { return layer.isVisible; });
}

qint64 loopDuration(const Sprite& sprite) {
    return std::accumulate(sprite.frames.cbegin(), sprite.frames.cend(), qint64(0),
                           [](qint64 sum, const Frame& frame) { return sum + frame.duration; });
}

} // namespace

const QList<ExportChoices::Format> ExportChoices::formats = {Format::frame,     Format::spriteSheet,
                                                             Format::gif,       Format::apng,
                                                             Format::allFrames, Format::allLayers};

QString ExportChoices::title(Format format) {
    switch (format) {
    case Format::spriteSheet:
        return tr("Sprite Sheet");
    case Format::gif:
        return tr("GIF");
    case Format::apng:
        return tr("Animated PNG");
    case Format::allFrames:
        return tr("Every Frame as a PNG");
    case Format::allLayers:
        return tr("Every Layer as a PNG");
    case Format::frame:
        break;
    }
    return tr("Frame");
}

bool ExportChoices::writesFolder(Format format) {
    return format == Format::allFrames || format == Format::allLayers;
}

bool ExportChoices::isAnimation(Format format) {
    return format == Format::gif || format == Format::apng;
}

ExportChoices::ExportChoices(Sprite sprite, QString documentName, qint64 scale)
    : content(std::move(sprite)), name(std::move(documentName)), percent(scale) {
    clampScale();
}

void ExportChoices::setSprite(Sprite sprite) {
    content = std::move(sprite);
    contentBounds.reset();
    clampScale();
}

void ExportChoices::setFormat(Format format) {
    kind = format;
    clampScale();
}

void ExportChoices::setFileFormat(ExportFormat format) {
    imageFormat = format;
    clampScale();
}

void ExportChoices::setScale(qint64 scale) {
    percent = scale;
}

void ExportChoices::setLayout(SpriteSheetLayout layout) {
    sheetLayout = layout;
    clampScale();
}

void ExportChoices::setColumns(qint64 columns) {
    gridColumns = std::clamp(columns, minimumColumns, maximumColumns);
    clampScale();
}

void ExportChoices::setPadding(qint64 padding) {
    gutter = std::clamp<qint64>(padding, 0, maximumPadding);
}

QList<qint64> ExportChoices::availableScales() const {
    const ExportFormat rules = isAnimation(kind) ? ExportFormat::png : imageFormat;
    if (kind != Format::spriteSheet)
        return ExportService::percents(content.width, content.height, rules);
    const SpriteSheetService::Grid grid =
        SpriteSheetService::dimensions(content.frames.size(), sheetLayout, gridColumns);
    return ExportService::percents(content.width * grid.columns, content.height * grid.rows, rules);
}

void ExportChoices::clampScale() {
    const QList<qint64> offered = availableScales();
    if (offered.isEmpty() || offered.contains(percent))
        return;
    const auto above = std::upper_bound(offered.cbegin(), offered.cend(), percent);
    percent = above == offered.cbegin() ? offered.first() : *std::prev(above);
}

bool ExportChoices::canExport() const {
    return !note().has_value();
}

std::optional<QString> ExportChoices::note() const {
    if (kind == Format::gif)
        return content.frames.size() < 2 ? std::optional(tr("A GIF needs more than one frame."))
                                         : std::nullopt;
    if (kind == Format::apng)
        return std::nullopt;
    if (availableScales().isEmpty())
        return tr("This canvas cannot be written as %1 at any scale.")
            .arg(ExportFormats::titleWithArticle(imageFormat));
    // Padding and the scale can push a sheet past the limit the offered scales allow for.
    if (kind == Format::spriteSheet) {
        const auto [width, height] = sheetSize();
        if (!SpriteSheetService::fits(width, height, percent))
            return ExportError::tooLarge().message();
    }
    return std::nullopt;
}

std::pair<qint64, qint64> ExportChoices::sheetSize() const {
    const SpriteSheetService::Grid grid =
        SpriteSheetService::dimensions(content.frames.size(), sheetLayout, gridColumns);
    const PixelRect source = frameSource();
    return {SpriteSheetService::sheetLength(grid.columns, source.width, gutter),
            SpriteSheetService::sheetLength(grid.rows, source.height, gutter)};
}

QString ExportChoices::summary() const {
    const qint64 frameCount = content.frames.size();
    switch (kind) {
    case Format::spriteSheet: {
        const SpriteSheetService::Grid grid =
            SpriteSheetService::dimensions(frameCount, sheetLayout, gridColumns);
        const auto [width, height] = sheetSize();
        return outputSize(width, height, percent) + QStringLiteral("\n%1 %2 %3 frames")
                                                        .arg(grid.columns)
                                                        .arg(QChar(times))
                                                        .arg(grid.rows);
    }
    case Format::gif:
    case Format::apng:
        return outputSize(content.width, content.height, percent) +
               QStringLiteral("\n%1 frames \u00B7 %2 ms loop")
                   .arg(frameCount)
                   .arg(loopDuration(content));
    case Format::allFrames:
        return outputSize(content.width, content.height, percent) +
               QStringLiteral(" each\n%1 files").arg(frameCount);
    case Format::allLayers:
        return outputSize(content.width, content.height, percent) +
               QStringLiteral(" each\n%1 files").arg(visibleLayerCount(content));
    case Format::frame:
        break;
    }
    return outputSize(content.width, content.height, percent) +
           QStringLiteral("\nFrame %1 of %2").arg(content.activeFrameIndex + 1).arg(frameCount);
}

QString ExportChoices::baseName() const {
    return name.isEmpty() ? QStringLiteral("Untitled") : name;
}

QString ExportChoices::suggestedFileName() const {
    switch (kind) {
    case Format::spriteSheet:
        return ExportService::suggestedFileName(
            name.isEmpty() ? QString() : name + QStringLiteral("-sheet"), percent, imageFormat);
    case Format::gif:
        return baseName() + QStringLiteral(".gif");
    case Format::apng:
        return baseName() + QStringLiteral(".png");
    default:
        break;
    }
    return ExportService::suggestedFileName(name, percent, imageFormat);
}

QString ExportChoices::mimeType() const {
    if (kind == Format::gif)
        return QStringLiteral("image/gif");
    return kind == Format::apng ? QStringLiteral("image/apng")
                                : ExportFormats::mimeType(imageFormat);
}

QString ExportChoices::fileExtension() const {
    if (kind == Format::gif)
        return QStringLiteral("gif");
    return kind == Format::apng ? QStringLiteral("png") : ExportFormats::fileExtension(imageFormat);
}

QString ExportChoices::folderMessage() const {
    return kind == Format::allLayers ? tr("Choose a folder for one PNG per visible layer.")
                                     : tr("Choose a folder for one PNG per frame.");
}

PixelRect ExportChoices::frameSource() const {
    if (!trimmed)
        return content.bounds();
    if (!contentBounds)
        contentBounds = SpriteSheetService::contentBounds(content);
    return *contentBounds;
}

SpriteSheetService::Options ExportChoices::sheetOptions(const QString& imagePath) const {
    return {sheetLayout, gridColumns, percent,        imageFormat, metadata,
            gutter,      trimmed,     metadataLayout, baseName(),  QFileInfo(imagePath).fileName()};
}

// An image already named .json keeps its name whole, so the metadata never replaces it.
QString ExportChoices::metadataPath(const QString& imagePath) {
    const QString suffix = QFileInfo(imagePath).suffix();
    if (suffix.isEmpty() || suffix.compare(QStringLiteral("json"), Qt::CaseInsensitive) == 0)
        return imagePath + QStringLiteral(".json");
    return imagePath.chopped(suffix.size()) + QStringLiteral("json");
}

qint64 ExportChoices::write(const QString& destination, const StepProgress& progress) const {
    const qint64 frame = content.activeFrameIndex;
    switch (kind) {
    case Format::spriteSheet: {
        const SpriteSheetService::Sheet sheet =
            SpriteSheetService::sheet(content, sheetOptions(destination), progress);
        QList<ExportService::FileContents> files = {{destination, sheet.data}};
        if (sheet.metadata)
            files.append({metadataPath(destination), *sheet.metadata});
        ExportService::writeFiles(files);
        return files.size();
    }
    case Format::gif:
        ExportService::writeFile(GIFService::data(content, percent, progress), destination);
        return 1;
    case Format::apng:
        ExportService::writeFile(ApngService::data(content, percent, progress), destination);
        return 1;
    case Format::allFrames:
        return ExportService::writeFrames(content, percent, imageFormat, destination, name,
                                          progress);
    case Format::allLayers:
        return ExportService::writeLayers(content, frame, percent, imageFormat, destination, name,
                                          progress);
    case Format::frame:
        break;
    }
    ExportService::writeFile(ExportService::frameData(content, frame, percent, imageFormat),
                             destination);
    return 1;
}
