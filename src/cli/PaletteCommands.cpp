#include "PaletteCommands.h"

#include "CliArguments.h"
#include "CliChecks.h"
#include "CliError.h"
#include "PaletteFile.h"
#include "PaletteFileError.h"
#include "ProjectPackage.h"

#include <QDir>

using CliChecks::out;

namespace {

// Palette file errors name no file; on a command line the file is worth naming.
CliError namingFile(const QString& path, const PaletteFileError& error) {
    return CliError(QDir::toNativeSeparators(path) + ": " + error.message());
}

void exportPalette(const CliArguments& args) {
    const QString file = args.positional(2);
    const PaletteFileFormat format = args.paletteFormat(file);
    const Palette palette = CliChecks::openProject(args.positional(1)).palette;
    try {
        PaletteFile::write(palette, format, file);
    } catch (const PaletteFileError& error) {
        throw namingFile(file, error);
    }
    out() << file << " (" << cliText("%1 colours").arg(palette.colors.size()) << ")" << Qt::endl;
    if (const auto note = PaletteFile::alphaNote(palette))
        out() << cliText("Note: ") << *note << Qt::endl;
}

void importPalette(const CliArguments& args) {
    const QString file = args.positional(1);
    const QString project = CliChecks::projectDirectory(args.positional(2));
    Sprite sprite = CliChecks::openProject(project);
    try {
        sprite.palette = PaletteFile::read(file, args.isSet(CliOption::paletteFormat)
                                                     ? std::optional(args.paletteFormat(file))
                                                     : PaletteFileFormats::fromPath(file));
    } catch (const PaletteFileError& error) {
        throw namingFile(file, error);
    }
    ProjectPackage::writePackage(sprite, project);
    out() << project << " ("
          << cliText("palette “%1”, %2 colours")
                 .arg(sprite.palette.name)
                 .arg(sprite.palette.colors.size())
          << ")" << Qt::endl;
}

} // namespace

namespace PaletteCommands {

int palette(const QStringList& arguments) {
    CliArguments args(
        "palette",
        cliText("Exports a project's palette to a palette file, or replaces it with one.\n"
                "  kestrin-cli palette export <project> <file>\n"
                "  kestrin-cli palette import <file> <project>\n"
                "Files: GIMP .gpl, .hex (one RRGGBB a line), JASC .pal. None of them keeps "
                "alpha: translucent colours are written opaque, and the export says so."),
        {CliOption::paletteFormat},
        {{"action", cliText("export or import.")},
         {"from", cliText("The project (export) or the palette file (import).")},
         {"to", cliText("The palette file (export) or the project (import).")}});
    if (!args.parse(arguments))
        return 0;
    const QString action = args.positional(0);
    if (action == QLatin1String("export"))
        exportPalette(args);
    else if (action == QLatin1String("import"))
        importPalette(args);
    else
        throw CliError(cliText("Unknown palette action “%1”: use export or import.").arg(action));
    return 0;
}

} // namespace PaletteCommands
