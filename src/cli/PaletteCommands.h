#pragma once

#include <QStringList>

// Palette files in and out of projects.
namespace PaletteCommands {

// "palette export <project> <file>" writes the project's palette; "palette import <file>
// <project>" replaces the project's palette with the file's. Throws on failure, changing
// nothing.
int palette(const QStringList& arguments);

} // namespace PaletteCommands
