#include "CliArguments.h"

#include "CliError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace {

QCommandLineOption makeOption(CliOption option) {
    switch (option) {
    case CliOption::format:
        return {{"f", "format"},
                cliText("File format: png, jpeg, bmp, ico or svg (default: from the output file's "
                        "extension, else png)."),
                "format"};
    case CliOption::scale:
        return {{"s", "scale"},
                cliText("Scale in percent: 25, 50, 100, 200, 300 … 1000 (default 100). Nearest "
                        "neighbour, never smoothed."),
                "percent"};
    case CliOption::frame:
        return {"frame", cliText("Frame index, counted from 0 (default 0)."), "index"};
    case CliOption::name:
        return {{"n", "name"},
                cliText("Base of the file names (default: the project's name)."),
                "base"};
    case CliOption::layout:
        return {"layout", cliText("Arrangement of the frames: row, column or grid (default row)."),
                "layout"};
    case CliOption::columns:
        return {"columns", cliText("Columns of the grid layout (default 4)."), "count"};
    case CliOption::padding:
        return {"padding",
                cliText("Transparent gutter around every frame, in canvas pixels (default 0)."),
                "pixels"};
    case CliOption::trim:
        return {"trim",
                cliText("Crop every frame to the same smallest rectangle that holds the whole "
                        "animation.")};
    case CliOption::json:
        return {"json",
                cliText("Also write the frames' rectangles and durations as JSON beside the "
                        "image (same name, extension .json).")};
    case CliOption::force:
        return {"force", cliText("Replace the project if it already exists.")};
    case CliOption::metadata:
        return {"metadata",
                cliText("JSON layout: kestrin (Kestrin's own, the default), hash or array (the "
                        "texture-atlas layouts game engines read; frames named \"<name> "
                        "<index>.png\"). Implies --json."),
                "layout"};
    case CliOption::animationFrames:
        return {"frames",
                cliText("Import every image of an animated GIF or PNG as a frame, with its "
                        "duration.")};
    case CliOption::sequence:
        return {"sequence",
                cliText("Import the numbered PNG files the image belongs to (walk_0.png, "
                        "walk_1.png …) as frames, in numeric order.")};
    case CliOption::sheetColumns:
        return {"columns", cliText("Cut the image as a sprite sheet of this many columns."),
                "count"};
    case CliOption::sheetRows:
        return {"rows", cliText("Cut the image as a sprite sheet of this many rows."), "count"};
    case CliOption::cell:
        return {"cell", cliText("Cut the image as a sprite sheet of cells this size, e.g. 16x16."),
                "WxH"};
    case CliOption::cellPadding:
        return {"padding", cliText("Pixels between the sheet's cells (default 0)."), "pixels"};
    case CliOption::offset:
        return {"offset",
                cliText("Where the sheet's first cell starts, e.g. 2,2 (default 0,0); counted "
                        "cells leave the same margin on the far side."),
                "X,Y"};
    case CliOption::skipEmpty:
        return {"skip-empty", cliText("Leave out the sheet's fully transparent cells.")};
    case CliOption::paletteFormat:
        return {{"f", "format"},
                cliText("Palette file format: gpl (GIMP), hex (one RRGGBB a line) or pal (JASC) "
                        "(default: from the palette file's extension)."),
                "format"};
    }
    Q_UNREACHABLE();
}

// "200", "200%" → 200; anything else is absent.
std::optional<qint64> wholeNumber(QString text) {
    if (text.endsWith(u'%'))
        text.chop(1);
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

QString formatNames() {
    QStringList names;
    for (ExportFormat format : ExportFormats::all)
        names.append(ExportFormats::rawValue(format));
    return names.join(", ");
}

} // namespace

CliArguments::CliArguments(const QString& command, const QString& description,
                           const QList<CliOption>& options, const QList<Positional>& positionals)
    : command(command), positionalCount(positionals.size()) {
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    for (CliOption option : options) {
        const QCommandLineOption made = makeOption(option);
        declared.insert(option, made.names().constLast());
        parser.addOption(made);
    }
    for (const Positional& positional : positionals)
        parser.addPositionalArgument(positional.name, positional.description,
                                     '<' + positional.name + '>');
}

bool CliArguments::parse(const QStringList& arguments) {
    // The first argument is the program, the second this command.
    QStringList withoutCommand = arguments;
    withoutCommand.removeAt(1);
    if (!parser.parse(withoutCommand))
        throw CliError(command + ": " + parser.errorText());
    if (parser.isSet("help")) {
        std::fputs(helpText().toUtf8().constData(), stdout);
        return false;
    }
    const QStringList rest = parser.positionalArguments();
    if (rest.size() != positionalCount)
        throw CliError(cliText("%1: expected %2 arguments, got %3. See kestrin-cli %1 --help.")
                           .arg(command)
                           .arg(positionalCount)
                           .arg(rest.size()));
    return true;
}

bool CliArguments::isSet(CliOption option) const {
    return declared.contains(option) && parser.isSet(declared.value(option));
}

QString CliArguments::text(CliOption option) const {
    return isSet(option) ? parser.value(declared.value(option)) : QString();
}

ExportFormat CliArguments::format(const QString& fileName) const {
    if (isSet(CliOption::format)) {
        const QString raw = text(CliOption::format).toLower();
        if (auto format = ExportFormats::fromRawValue(raw == "jpg" ? "jpeg" : raw))
            return *format;
        throw CliError(cliText("Unknown format “%1”. Use one of: %2.")
                           .arg(text(CliOption::format), formatNames()));
    }
    if (auto format = ExportFormats::fromFileName(fileName))
        return *format;
    if (fileName.isEmpty() || !fileName.section(u'/', -1).contains(u'.'))
        return ExportFormat::png;
    throw CliError(cliText("Cannot tell the format from “%1”: give --format with one of: %2.")
                       .arg(fileName, formatNames()));
}

qint64 CliArguments::scale() const {
    if (!isSet(CliOption::scale))
        return 100;
    const auto percent = wholeNumber(text(CliOption::scale));
    if (!percent || *percent <= 0)
        throw CliError(cliText("Invalid scale “%1”: give a percentage such as 200.")
                           .arg(text(CliOption::scale)));
    return *percent;
}

qint64 CliArguments::number(CliOption option, qint64 fallback, qint64 minimum) const {
    if (!isSet(option))
        return fallback;
    const auto value = wholeNumber(text(option));
    if (!value || *value < minimum || text(option).endsWith(u'%'))
        throw CliError(cliText("Invalid --%1 “%2”: give a whole number of at least %3.")
                           .arg(declared.value(option), text(option))
                           .arg(minimum));
    return *value;
}

SpriteSheetLayout CliArguments::layout() const {
    const QString name = text(CliOption::layout).toLower();
    if (name.isEmpty() || name == "row" || name == "horizontal")
        return SpriteSheetLayout::horizontal;
    if (name == "column" || name == "vertical")
        return SpriteSheetLayout::vertical;
    if (name == "grid")
        return SpriteSheetLayout::grid;
    throw CliError(cliText("Unknown layout “%1”. Use one of: row, column, grid.")
                       .arg(text(CliOption::layout)));
}

std::pair<qint64, qint64> CliArguments::pair(CliOption option, std::pair<qint64, qint64> fallback,
                                             qint64 minimum) const {
    if (!isSet(option))
        return fallback;
    static const QRegularExpression twoNumbers(
        QStringLiteral("^\\s*(-?\\d+)\\s*[x×,]\\s*(-?\\d+)\\s*$"));
    const QRegularExpressionMatch match = twoNumbers.match(text(option));
    const qint64 first = match.captured(1).toLongLong();
    const qint64 second = match.captured(2).toLongLong();
    if (!match.hasMatch() || first < minimum || second < minimum)
        throw CliError(cliText("Invalid --%1 “%2”: give two whole numbers of at least %3, such "
                               "as %4.")
                           .arg(declared.value(option), text(option))
                           .arg(minimum)
                           .arg(option == CliOption::offset ? "2,2" : "16x16"));
    return {first, second};
}

SheetMetadataStyle CliArguments::metadataStyle() const {
    if (!isSet(CliOption::metadata))
        return SheetMetadataStyle::kestrin;
    if (const auto style = SheetMetadataStyles::fromName(text(CliOption::metadata)))
        return *style;
    throw CliError(cliText("Unknown metadata layout “%1”. Use one of: kestrin, hash, array.")
                       .arg(text(CliOption::metadata)));
}

PaletteFileFormat CliArguments::paletteFormat(const QString& fileName) const {
    const bool given = isSet(CliOption::paletteFormat);
    const QString name = given ? text(CliOption::paletteFormat) : QFileInfo(fileName).suffix();
    if (const auto format = PaletteFileFormats::fromName(name))
        return *format;
    throw CliError(
        given ? cliText("Unknown palette format “%1”. Use one of: gpl, hex, pal.").arg(name)
              : cliText("Cannot tell the palette format from “%1”: give --format with "
                        "one of: gpl, hex, pal.")
                    .arg(fileName));
}

QString CliArguments::helpText() const {
    QString help = parser.helpText();
    const QString program = QCoreApplication::arguments().value(0);
    if (!program.isEmpty())
        help.replace(help.indexOf(program), program.size(), "kestrin-cli " + command);
    return help;
}
