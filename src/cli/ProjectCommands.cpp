#include "ProjectCommands.h"

#include "CliArguments.h"
#include "CliChecks.h"
#include "CliError.h"
#include "ExportService.h"
#include "FrameImportService.h"
#include "ImportError.h"
#include "ImportService.h"
#include "ProjectPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <numeric>
#include <optional>
#include <tuple>

using CliChecks::out;

namespace {

QString scalesText(const QList<qint64>& percents) {
    return percents.isEmpty() ? cliText("none") : CliChecks::percentList(percents) + " %";
}

void printLayers(const Sprite& sprite) {
    const qint64 visible = std::count_if(sprite.layers.begin(), sprite.layers.end(),
                                         [](const Layer& layer) { return layer.isVisible; });
    out()
        << cliText("Layers: %1 (%2 visible), bottom to top:").arg(sprite.layers.size()).arg(visible)
        << Qt::endl;
    for (qint64 i = 0; i < sprite.layers.size(); ++i) {
        const Layer& layer = sprite.layers[i];
        out() << "  " << i << ": " << CliChecks::printable(layer.name) << " ("
              << (layer.isVisible ? cliText("visible") : cliText("hidden")) << ", "
              << cliText("opacity %1%").arg(qRound(layer.opacity * 100)) << ")" << Qt::endl;
    }
}

void printFrames(const Sprite& sprite) {
    const qint64 total =
        std::accumulate(sprite.frames.begin(), sprite.frames.end(), qint64(0),
                        [](qint64 sum, const Frame& f) { return sum + f.duration; });
    out() << cliText("Frames: %1 (%2 ms loop):").arg(sprite.frames.size()).arg(total) << Qt::endl;
    for (qint64 i = 0; i < sprite.frames.size(); ++i)
        out() << "  " << i << ": " << sprite.frames[i].duration << " ms" << Qt::endl;
}

QString projectPath(QString path) {
    if (QFileInfo(path).suffix() != ProjectPackage::fileExtension)
        path += u'.' + ProjectPackage::fileExtension;
    return path;
}

// What the options ask to import as frames, if anything.
std::optional<FrameImportRequest> frameRequest(const CliArguments& args, const QString& path) {
    const bool counted = args.isSet(CliOption::sheetColumns) || args.isSet(CliOption::sheetRows);
    const bool sized = args.isSet(CliOption::cell);
    const int kinds = int(args.isSet(CliOption::animationFrames)) +
                      int(args.isSet(CliOption::sequence)) + int(counted || sized);
    if (kinds > 1 || (counted && sized))
        throw CliError(cliText("Choose one way to import frames: --frames, --sequence, "
                               "--columns/--rows or --cell."));
    const bool sheetOnly = args.isSet(CliOption::cellPadding) || args.isSet(CliOption::offset) ||
                           args.isSet(CliOption::skipEmpty);
    if (sheetOnly && !counted && !sized)
        throw CliError(cliText("--padding, --offset and --skip-empty cut a sprite sheet: add "
                               "--columns and --rows, or --cell."));
    if (kinds == 0)
        return std::nullopt;
    FrameImportRequest request{path, FrameImportRequest::Kind::animation, {}};
    if (args.isSet(CliOption::sequence))
        request.kind = FrameImportRequest::Kind::sequence;
    if (counted || sized) {
        request.kind = FrameImportRequest::Kind::sheet;
        SheetCut& cut = request.cut;
        cut.mode = sized ? SheetCut::Mode::size : SheetCut::Mode::count;
        cut.columns = args.number(CliOption::sheetColumns, 1, 1);
        cut.rows = args.number(CliOption::sheetRows, 1, 1);
        std::tie(cut.cellWidth, cut.cellHeight) = args.pair(CliOption::cell, {1, 1}, 1);
        cut.padding = args.number(CliOption::cellPadding, 0, 0);
        std::tie(cut.offsetX, cut.offsetY) = args.pair(CliOption::offset, {0, 0}, 0);
        cut.skipEmpty = args.isSet(CliOption::skipEmpty);
    }
    return request;
}

// The import error names no file; on a command line the file is worth naming.
Sprite importedSprite(const QString& imagePath, const std::optional<FrameImportRequest>& frames) {
    try {
        return frames ? FrameImportService::import(*frames)
                      : ImportService::spriteFromImageAt(imagePath);
    } catch (const ImportError& error) {
        throw CliError(QDir::toNativeSeparators(imagePath) + ": " + error.message());
    }
}

} // namespace

namespace ProjectCommands {

int info(const QStringList& arguments) {
    CliArguments args("info", cliText("Shows a project's size, layers, frames and export scales."),
                      {}, {{"project", cliText("The .pixel project folder.")}});
    if (!args.parse(arguments))
        return 0;
    const Sprite sprite = CliChecks::openProject(args.positional(0));
    out() << cliText("Canvas: %1 × %2 px").arg(sprite.width).arg(sprite.height) << Qt::endl;
    printLayers(sprite);
    printFrames(sprite);
    out() << cliText("Scales: %1")
                 .arg(scalesText(
                     ExportService::percents(sprite.width, sprite.height, ExportFormat::png)))
          << Qt::endl;
    out() << cliText("ICO scales: %1")
                 .arg(scalesText(
                     ExportService::percents(sprite.width, sprite.height, ExportFormat::ico)))
          << Qt::endl;
    return 0;
}

int importImage(const QStringList& arguments) {
    CliArguments args(
        "import",
        cliText("Makes a new one-layer project from an image (PNG or any image Qt reads), or "
                "from many images as frames:\n"
                "  --frames                   every image of an animated GIF or PNG\n"
                "  --columns C --rows R       the cells of a sprite sheet, by count\n"
                "  --cell WxH                 the cells of a sprite sheet, by size\n"
                "  --sequence                 walk_0.png, walk_1.png … in numeric order"),
        {CliOption::force, CliOption::animationFrames, CliOption::sequence, CliOption::sheetColumns,
         CliOption::sheetRows, CliOption::cell, CliOption::cellPadding, CliOption::offset,
         CliOption::skipEmpty},
        {{"image", cliText("The image to import.")},
         {"project", cliText("The .pixel project folder to make.")}});
    if (!args.parse(arguments))
        return 0;
    const QString destination = projectPath(args.positional(1));
    CliChecks::checkReplaceable(destination, args.isSet(CliOption::force));
    const auto frames = frameRequest(args, args.positional(0));
    const Sprite sprite = importedSprite(args.positional(0), frames);
    ProjectPackage::writePackage(sprite, destination);
    out() << destination << " (" << sprite.width << " × " << sprite.height << " px";
    if (frames)
        out() << ", " << cliText("%1 frames").arg(sprite.frames.size());
    out() << ")" << Qt::endl;
    return 0;
}

} // namespace ProjectCommands
