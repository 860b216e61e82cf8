#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// The files Kestrin carries inside its binary: the application icon at every shipped size,
// the desktop entry and the MIME definition, as Qt resource paths.
namespace ApplicationResources {

// The icon sizes in pixels, smallest first.
const QList<int>& iconSizes();
QString iconPath(int size);
QString desktopEntryPath();
QString mimeDefinitionPath();

// The kestrel, for window icons.
QIcon applicationIcon();

} // namespace ApplicationResources
