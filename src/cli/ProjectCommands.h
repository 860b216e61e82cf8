#pragma once

#include <QStringList>

// The subcommands that read or make projects rather than images.
namespace ProjectCommands {

int info(const QStringList& arguments);
int importImage(const QStringList& arguments);

} // namespace ProjectCommands
