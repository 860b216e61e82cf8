#pragma once

#include <QString>

// Whether a launch should offer to install Kestrin for the user. Pure path logic, so the
// decision can be checked without a desktop.
namespace InstallPolicy {

enum class Verdict {
    installed, // already runs from ~/.local/bin, /usr or /opt
    buildTree, // a developer's build: a CMakeCache.txt sits at or above its folder
    declined,  // the user asked never to be asked again
    offer,
};

// The decision for the executable at this path, for the user with this home folder.
Verdict verdict(const QString& executablePath, const QString& homePath, bool skipPrompt);

bool isInstalledLocation(const QString& directory, const QString& homePath);
bool isInsideBuildTree(const QString& directory);

} // namespace InstallPolicy
