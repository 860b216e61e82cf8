#include "ProjectCommands.h"

#include "CliArguments.h"
#include "CliChecks.h"
#include "CliError.h"
#include "ExportService.h"
#include "ImportError.h"
#include "ImportService.h"
#include "ProjectPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <numeric>

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

// The import error names no file; on a command line the file is worth naming.
Sprite importedSprite(const QString& imagePath) {
    try {
        return ImportService::spriteFromImageAt(imagePath);
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
        cliText("Makes a new one-layer project from an image (PNG or any image Qt reads)."),
        {CliOption::force},
        {{"image", cliText("The image to import.")},
         {"project", cliText("The .pixel project folder to make.")}});
    if (!args.parse(arguments))
        return 0;
    const QString destination = projectPath(args.positional(1));
    CliChecks::checkReplaceable(destination, args.isSet(CliOption::force));
    const Sprite sprite = importedSprite(args.positional(0));
    ProjectPackage::writePackage(sprite, destination);
    out() << destination << " (" << sprite.width << " × " << sprite.height << " px)" << Qt::endl;
    return 0;
}

} // namespace ProjectCommands
