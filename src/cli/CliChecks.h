#pragma once

#include "ExportFormat.h"
#include "Sprite.h"

#include <QString>
#include <QTextStream>

// Checks a subcommand makes before it writes anything, each throwing CliError with a
// message that says what would work instead.
namespace CliChecks {

// The project at path: a ".pixel" folder, or the project.json inside it.
Sprite openProject(const QString& path);
// The ".pixel" folder of such a path.
QString projectDirectory(const QString& path);
// "hero" for …/hero.pixel.
QString projectName(const QString& path);

// Throws unless a project may be written at path: nothing is there, or (with force) a
// project that no running Kestrin is editing. Nothing else is ever replaced.
void checkReplaceable(const QString& path, bool force);

// "25, 50, 100".
QString percentList(const QList<qint64>& percents);
// Throws unless percent is offered for a width × height image in format, naming the
// offered scales.
void checkScale(qint64 percent, qint64 width, qint64 height, ExportFormat format);
void checkFrame(const Sprite& sprite, qint64 frame);

QTextStream& out();
// text with control characters and line separators escaped (\n, \t, \u001B), so a name
// printed on a line can neither break the line nor drive the terminal.
QString printable(const QString& text);

} // namespace CliChecks
