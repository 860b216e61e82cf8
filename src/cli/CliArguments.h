#pragma once

#include "ExportFormat.h"
#include "PaletteFileFormat.h"
#include "SheetMetadataStyle.h"
#include "SpriteSheetLayout.h"

#include <QCommandLineParser>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The options every subcommand draws from, so that one name always means one thing.
enum class CliOption {
    format,
    scale,
    frame,
    name,
    layout,
    columns,
    padding,
    trim,
    json,
    force,
    paletteFormat,
    metadata,
    animationFrames,
    sequence,
    sheetColumns,
    sheetRows,
    cell,
    cellPadding,
    offset,
    skipEmpty,
};

// One subcommand's command line: its options, its positional arguments, its help, and typed
// readers that turn bad values into CliError.
class CliArguments {
public:
    struct Positional {
        QString name;
        QString description;
    };

    CliArguments(const QString& command, const QString& description,
                 const QList<CliOption>& options, const QList<Positional>& positionals);

    // False when help was asked for (and printed). Throws CliError for anything it cannot use.
    bool parse(const QStringList& arguments);

    QString positional(qsizetype index) const { return parser.positionalArguments().value(index); }
    bool isSet(CliOption option) const;

    // The --format value, else the format the file name's extension names, else PNG.
    ExportFormat format(const QString& fileName = {}) const;
    // The --scale value as a percentage ("200" or "200%"); 100 when not given.
    qint64 scale() const;
    // A whole number of at least minimum; fallback when the option is not given.
    qint64 number(CliOption option, qint64 fallback, qint64 minimum) const;
    SpriteSheetLayout layout() const;
    SheetMetadataStyle metadataStyle() const; // kestrin when not given
    // "WxH" or "X,Y" as two whole numbers of at least minimum; fallback when not given.
    std::pair<qint64, qint64> pair(CliOption option, std::pair<qint64, qint64> fallback,
                                   qint64 minimum) const;
    // The --format value as a palette format, else the one the file name's extension names.
    PaletteFileFormat paletteFormat(const QString& fileName) const;
    QString text(CliOption option) const;

    QString helpText() const;

private:
    QString command;
    QCommandLineParser parser;
    QMap<CliOption, QString> declared; // the long name of each option this command takes
    qsizetype positionalCount = 0;
};
