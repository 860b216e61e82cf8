#include "CliRunner.h"

#include "CliChecks.h"
#include "CliError.h"
#include "ExportCommands.h"
#include "MemoryError.h"
#include "PaletteCommands.h"
#include "ProjectCommands.h"

#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <new>
#include <unistd.h>

namespace {

struct Command {
    const char* name;
    const char* summary;
    const char* doing; // ends "There is not enough memory to …" when memory runs out
    std::function<int(const QStringList&)> run;
};

const QList<Command>& commands() {
    static const QList<Command> list = {
        {"info", "Show a project's size, layers, frames and export scales", "open this project",
         ProjectCommands::info},
        {"export", "Write one frame as PNG, JPEG, BMP, ICO or SVG", "export",
         ExportCommands::exportFrame},
        {"frames", "Write every frame as its own file into a folder", "export",
         ExportCommands::frames},
        {"layers", "Write every visible layer as its own file into a folder", "export",
         ExportCommands::layers},
        {"sheet", "Pack every frame into one sprite sheet, optionally with JSON", "export",
         ExportCommands::sheet},
        {"gif", "Write the animation as a looping GIF", "export", ExportCommands::gif},
        {"apng", "Write the animation as a looping animated PNG (full colour and alpha)", "export",
         ExportCommands::apng},
        {"import", "Make a new project from an image", "import this image",
         ProjectCommands::importImage},
        {"palette", "Export a project's palette as .gpl, .hex or .pal, or import one",
         "read or write this palette", PaletteCommands::palette},
    };
    return list;
}

QString usage() {
    QString text = cliText("Usage: kestrin-cli <command> [options] <arguments>\n\n"
                           "Batch export for Kestrin projects (.pixel folders).\n\nCommands:\n");
    for (const Command& command : commands())
        text +=
            QStringLiteral("  %1  %2\n")
                .arg(QString::fromLatin1(command.name).leftJustified(7), cliText(command.summary));
    text += cliText("\nSee kestrin-cli <command> --help for its options. --verbose, with any "
                    "command, also shows the image libraries' own messages.\n");
    return text;
}

// Kestrin's own messages; the image libraries' go to stderr only with --verbose.
FILE* messages = stderr;

void dropLibraryMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// Decoders report through Qt's log and straight to stderr ("libpng error: …"): both are
// silenced, and Kestrin's one line goes to the real stderr through a copy of it.
void silenceLibraries() {
    qInstallMessageHandler(dropLibraryMessage);
    const int kept = dup(STDERR_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (kept < 0 || nowhere < 0) {
        if (kept >= 0)
            close(kept);
        if (nowhere >= 0)
            close(nowhere);
        return;
    }
    if (FILE* copy = fdopen(kept, "w"); copy && dup2(nowhere, STDERR_FILENO) >= 0)
        messages = copy;
    close(nowhere);
}

void printError(const QString& message) {
    std::fputs(("kestrin-cli: " + message + '\n').toUtf8().constData(), messages);
    std::fflush(messages);
}

int dispatch(const QStringList& arguments) {
    const QString name = arguments.value(1);
    if (name.isEmpty() || name == "-h" || name == "--help" || name == "help") {
        std::fputs(usage().toUtf8().constData(), name.isEmpty() ? messages : stdout);
        return name.isEmpty() ? 1 : 0;
    }
    for (const Command& command : commands()) {
        if (name != QLatin1String(command.name))
            continue;
        try {
            return command.run(arguments);
        } catch (const std::bad_alloc&) {
            throw CliError(MemoryError::message(cliText(command.doing)));
        }
    }
    printError(cliText("unknown command “%1”.").arg(name));
    std::fputs(usage().toUtf8().constData(), messages);
    return 1;
}

} // namespace

namespace CliRunner {

int run(QStringList arguments) {
    if (arguments.removeAll(QStringLiteral("--verbose")) == 0)
        silenceLibraries();
    try {
        const int status = dispatch(arguments);
        CliChecks::out().flush();
        return status;
    } catch (const std::exception& error) {
        CliChecks::out().flush();
        printError(QString::fromUtf8(error.what()));
    }
    return 1;
}

} // namespace CliRunner
