#pragma once

#include <QString>

// Where a project lives on disk, independent of how the user named it.
namespace ProjectLocation {

// One spelling per project: absolute, links resolved, no trailing slash, and "project.json"
// inside a package taken for the package. A link that points nowhere gives the path it
// points to; a path that does not exist gives its cleaned absolute form.
QString canonical(const QString& path);

// True for a folder holding a "project.json" file (links followed).
bool isProject(const QString& path);

// True when something exists at the path, a link that points nowhere included.
bool existsOrLinks(const QString& path);

// Deletes what is at the path: a folder with everything in it, a file, or a link itself
// (never what the link points to).
void remove(const QString& path);

} // namespace ProjectLocation
