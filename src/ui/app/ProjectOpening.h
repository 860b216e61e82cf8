#pragma once

#include "RecoveryStore.h"
#include "Sprite.h"
#include "UserPrompts.h"

#include <QCoreApplication>
#include <optional>

// Reading a project from disk for a new window: the leftovers of an interrupted save are
// tidied first (a missing project may come back from them, which is said), the lock is taken
// (a project another Kestrin holds opens read-only if the user agrees), then the package is
// read. Failures are shown through the prompts. Recovered copies are read here too.
class ProjectOpening {
    Q_DECLARE_TR_FUNCTIONS(ProjectOpening)

public:
    struct Opened {
        Sprite sprite;
        bool readOnly = false;
    };

    // project: the canonical package path; name: what the user calls it ("hero.pixel").
    // Nothing when the user declined or the project could not be read.
    static std::optional<Opened> open(const QString& project, const QString& name,
                                      const UserPrompts& prompts, QWidget* parent);

    // The sprite of a copy recovered after a crash. One that cannot be read may be tried
    // again, discarded (deleted from the store) or kept for the next launch: nothing then.
    static std::optional<Sprite> readRecovered(const RecoveryStore::Leftover& leftover,
                                               RecoveryStore& store, const UserPrompts& prompts);
};
