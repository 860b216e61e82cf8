#pragma once

#include <QStringList>

// The subcommands that write images. Each takes the whole argument list (program, command,
// …), returns the exit status and throws on failure, leaving no partial output behind.
namespace ExportCommands {

int exportFrame(const QStringList& arguments);
int frames(const QStringList& arguments);
int layers(const QStringList& arguments);
int sheet(const QStringList& arguments);
int gif(const QStringList& arguments);
int apng(const QStringList& arguments);

} // namespace ExportCommands
