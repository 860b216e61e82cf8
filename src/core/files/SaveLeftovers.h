#pragma once

#include <QString>
#include <QStringList>

// A save that was interrupted (a kill, a power cut) leaves hidden folders beside the project:
// ".<name>.saving-<random>", the new package being written, and ".<name>.old-<random>", the
// previous package moved aside. They are tidied when the project is next opened or saved,
// except when one of them may be the only whole copy of the project.
namespace SaveLeftovers {

// The leftover folders beside the package, full paths.
QStringList find(const QString& package);

struct Outcome {
    bool restored = false; // the project was missing and a whole leftover took its place
    qint64 removed = 0;
};

// With the project whole at its path, every leftover goes. With the project missing, the
// newest whole leftover (a finished new package before an older one) becomes the project and
// the rest go. With a project that does not open, all of them stay.
Outcome tidy(const QString& package);

} // namespace SaveLeftovers
