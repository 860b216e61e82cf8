#include "ProjectOpening.h"

#include "PackageError.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"
#include "SaveLeftovers.h"

#include <QFileInfo>

std::optional<ProjectOpening::Opened> ProjectOpening::open(const QString& project,
                                                           const QString& name,
                                                           const UserPrompts& prompts,
                                                           QWidget* parent) {
    const QString title = QFileInfo(name).completeBaseName();
    if (SaveLeftovers::tidy(project).restored)
        prompts.alert(parent, tr("“%1” was restored.").arg(title),
                      tr("A save of it was interrupted; the whole copy that save left behind is "
                         "the project again."));
    const ProjectLock::Result lock = ProjectLock::acquire(project);
    const bool readOnly = lock.outcome == ProjectLock::Outcome::heldByOther;
    if (readOnly && !prompts.askToOpenLocked(parent, title,
                                             lock.holder ? lock.holder->description() : QString()))
        return std::nullopt;
    try {
        return Opened{ProjectPackage::readPackage(project), readOnly};
    } catch (const PackageError& error) {
        if (!readOnly)
            ProjectLock::release(project);
        prompts.alert(parent, tr("“%1” could not be opened.").arg(name), error.message());
    }
    return std::nullopt;
}

std::optional<Sprite> ProjectOpening::readRecovered(const RecoveryStore::Leftover& leftover,
                                                    RecoveryStore& store,
                                                    const UserPrompts& prompts) {
    while (true) {
        try {
            return ProjectPackage::readPackage(leftover.packagePath);
        } catch (const PackageError& error) {
            switch (prompts.askAfterFailedRestore(leftover.entry.title, error.message())) {
            case UserPrompts::FailedRestoreChoice::retry:
                continue;
            case UserPrompts::FailedRestoreChoice::discard:
                store.discardLeftover(leftover);
                return std::nullopt;
            case UserPrompts::FailedRestoreChoice::keep:
                return std::nullopt;
            }
        }
    }
}
