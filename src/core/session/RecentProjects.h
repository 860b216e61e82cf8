#pragma once

#include <QStringList>

// The projects opened or saved most recently, newest first, in the setting "RecentProjects"
// (a JSON array of paths: QSettings stores lists of one or no element unreliably).
namespace RecentProjects {

// How many are kept, and how many the welcome window and the Open Recent menu list.
inline constexpr qint64 keptCount = 20;
inline constexpr qint64 shownCount = 12;

QStringList all();
QStringList shown();
// Puts the path first, removing an older mention of it.
void add(const QString& path);
void remove(const QString& path);
void clear();

} // namespace RecentProjects
