#include "ExportCommands.h"

#include "ApngService.h"
#include "CliArguments.h"
#include "CliChecks.h"
#include "CliError.h"
#include "ExportScale.h"
#include "ExportService.h"
#include "FolderOutput.h"
#include "GIFService.h"
#include "SpriteSheetService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <functional>

using CliChecks::out;

namespace {

const CliArguments::Positional projectArgument{"project", cliText("The .pixel project folder.")};

CliArguments::Positional outputArgument(const char* description) {
    return {"output", cliText(description)};
}

QString sizeText(qint64 width, qint64 height, qint64 percent) {
    return QStringLiteral("%1 × %2 px")
        .arg(ExportScale::side(width, percent))
        .arg(ExportScale::side(height, percent));
}

// Runs write() and puts its files into the folder only when every one was written.
qint64 writeIntoFolder(const QString& folder, const QStringList& names,
                       const std::function<qint64(const QString&)>& write) {
    FolderOutput output(folder, names);
    const qint64 written = write(output.stagingPath());
    output.commit();
    for (const QString& name : names)
        out() << QDir(output.path()).filePath(name) << Qt::endl;
    return written;
}

// hero-sheet.png → hero-sheet.json, beside the image.
QString metadataPath(const QString& imagePath) {
    const QString suffix = QFileInfo(imagePath).suffix();
    if (suffix.isEmpty())
        return imagePath + ".json";
    return imagePath.left(imagePath.size() - suffix.size()) + "json";
}

// The looping animations: the whole timeline at one scale, following the PNG scale rules.
int writeAnimation(
    const QStringList& arguments, const QString& command, const QString& description,
    const QString& outputDescription, qint64 leastFrames,
    const std::function<QByteArray(const Sprite&, qint64, const StepProgress&)>& encode) {
    CliArguments args(command, description, {CliOption::scale},
                      {projectArgument, {"output", outputDescription}});
    if (!args.parse(arguments))
        return 0;
    const qint64 percent = args.scale();
    const Sprite sprite = CliChecks::openProject(args.positional(0));
    if (sprite.frames.size() < leastFrames)
        throw CliError(cliText("A GIF needs more than one frame."));
    CliChecks::checkScale(percent, sprite.width, sprite.height, ExportFormat::png);
    ExportService::writeFile(encode(sprite, percent, {}), args.positional(1));
    out() << args.positional(1) << " (" << sizeText(sprite.width, sprite.height, percent) << ", "
          << sprite.frames.size() << " frames)" << Qt::endl;
    return 0;
}

} // namespace

namespace ExportCommands {

int exportFrame(const QStringList& arguments) {
    CliArguments args("export", cliText("Writes one frame, composited from the visible layers."),
                      {CliOption::format, CliOption::scale, CliOption::frame},
                      {projectArgument, outputArgument("The image file to write.")});
    if (!args.parse(arguments))
        return 0;
    const QString output = args.positional(1);
    const ExportFormat format = args.format(output);
    const qint64 percent = args.scale();
    const qint64 frame = args.number(CliOption::frame, 0, 0);
    const Sprite sprite = CliChecks::openProject(args.positional(0));
    CliChecks::checkFrame(sprite, frame);
    CliChecks::checkScale(percent, sprite.width, sprite.height, format);
    ExportService::writeFile(ExportService::frameData(sprite, frame, percent, format), output);
    out() << output << " (" << sizeText(sprite.width, sprite.height, percent) << ")" << Qt::endl;
    return 0;
}

int frames(const QStringList& arguments) {
    CliArguments args(
        "frames", cliText("Writes every frame as its own file: base_000.png, base_001.png, …"),
        {CliOption::format, CliOption::scale, CliOption::name},
        {projectArgument, outputArgument("The folder to write into (made if missing).")});
    if (!args.parse(arguments))
        return 0;
    const ExportFormat format = args.format();
    const qint64 percent = args.scale();
    const Sprite sprite = CliChecks::openProject(args.positional(0));
    CliChecks::checkScale(percent, sprite.width, sprite.height, format);
    const QString base = args.isSet(CliOption::name) ? args.text(CliOption::name)
                                                     : CliChecks::projectName(args.positional(0));
    QStringList names;
    for (qint64 frame = 0; frame < sprite.frames.size(); ++frame)
        names.append(ExportService::frameFileName(base, frame, format));
    writeIntoFolder(args.positional(1), names, [&](const QString& folder) {
        return ExportService::writeFrames(sprite, percent, format, folder, base);
    });
    return 0;
}

int layers(const QStringList& arguments) {
    CliArguments args(
        "layers",
        cliText("Writes every visible layer of one frame as its own file, each layer "
                "alone at its own opacity: base_00_Background.png, …"),
        {CliOption::format, CliOption::scale, CliOption::frame, CliOption::name},
        {projectArgument, outputArgument("The folder to write into (made if missing).")});
    if (!args.parse(arguments))
        return 0;
    const ExportFormat format = args.format();
    const qint64 percent = args.scale();
    const qint64 frame = args.number(CliOption::frame, 0, 0);
    const Sprite sprite = CliChecks::openProject(args.positional(0));
    CliChecks::checkFrame(sprite, frame);
    CliChecks::checkScale(percent, sprite.width, sprite.height, format);
    const QString base = args.isSet(CliOption::name) ? args.text(CliOption::name)
                                                     : CliChecks::projectName(args.positional(0));
    QStringList names;
    for (qint64 index = 0; index < sprite.layers.size(); ++index) {
        if (sprite.layers[index].isVisible)
            names.append(
                ExportService::layerFileName(base, index, sprite.layers[index].name, format));
    }
    if (names.isEmpty())
        throw CliError(cliText("The project has no visible layers."));
    writeIntoFolder(args.positional(1), names, [&](const QString& folder) {
        return ExportService::writeLayers(sprite, frame, percent, format, folder, base);
    });
    return 0;
}

int sheet(const QStringList& arguments) {
    CliArguments args("sheet",
                      cliText("Packs every frame into one image: a row, a column or a grid."),
                      {CliOption::format, CliOption::scale, CliOption::layout, CliOption::columns,
                       CliOption::padding, CliOption::trim, CliOption::json, CliOption::metadata,
                       CliOption::name},
                      {projectArgument, outputArgument("The image file to write.")});
    if (!args.parse(arguments))
        return 0;
    const QString output = args.positional(1);
    SpriteSheetService::Options options;
    options.format = args.format(output);
    options.percent = args.scale();
    options.layout = args.layout();
    options.columns = args.number(CliOption::columns, 4, 1);
    options.padding = args.number(CliOption::padding, 0, 0);
    options.trim = args.isSet(CliOption::trim);
    options.includeMetadata = args.isSet(CliOption::json) || args.isSet(CliOption::metadata);
    options.metadataStyle = args.metadataStyle();
    options.imageName = QFileInfo(output).fileName();
    const QString jsonPath = metadataPath(output);
    if (options.includeMetadata && QFileInfo(output).suffix() == "json")
        throw CliError(
            cliText("The sheet and its JSON would both be “%1”: give the image another extension.")
                .arg(output));

    const Sprite sprite = CliChecks::openProject(args.positional(0));
    options.spriteName = args.isSet(CliOption::name) ? args.text(CliOption::name)
                                                     : CliChecks::projectName(args.positional(0));
    const auto grid =
        SpriteSheetService::dimensions(sprite.frames.size(), options.layout, options.columns);
    const PixelRect source =
        options.trim ? SpriteSheetService::contentBounds(sprite) : sprite.bounds();
    CliChecks::checkScale(
        options.percent,
        SpriteSheetService::sheetLength(grid.columns, source.width, options.padding),
        SpriteSheetService::sheetLength(grid.rows, source.height, options.padding), options.format);
    const auto sheet = SpriteSheetService::sheet(sprite, options);
    QList<ExportService::FileContents> files{{output, sheet.data}};
    if (sheet.metadata)
        files.append({jsonPath, *sheet.metadata});
    ExportService::writeFiles(files);
    out() << output << " (" << sheet.pixelWidth << " × " << sheet.pixelHeight << " px, "
          << sheet.columns << " × " << sheet.rows << " frames)" << Qt::endl;
    if (sheet.metadata)
        out() << jsonPath << Qt::endl;
    return 0;
}

int gif(const QStringList& arguments) {
    return writeAnimation(arguments, "gif",
                          cliText("Writes the whole timeline as an endlessly looping GIF."),
                          cliText("The GIF file to write."), 2, GIFService::data);
}

int apng(const QStringList& arguments) {
    return writeAnimation(
        arguments, "apng",
        cliText("Writes the whole timeline as an endlessly looping animated PNG: every colour "
                "and full alpha, each frame keeping its exact duration."),
        cliText("The PNG file to write."), 1, ApngService::data);
}

} // namespace ExportCommands
