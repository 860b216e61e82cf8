#pragma once

#include "UserInstallation.h"

#include <QCoreApplication>
#include <functional>

// Offers, once per launch, to install a Kestrin started from elsewhere (a download folder, an
// unpacked archive) for this account, replacing an older installed copy, and hands over to the
// installed copy. Launches from an installed location or a build tree are left alone, as is
// everyone who asked not to be asked again (setting "SkipInstallPrompt").
class SelfInstaller {
    Q_DECLARE_TR_FUNCTIONS(SelfInstaller)

public:
    struct Permission {
        bool install = false;
        bool dontAskAgain = false;
    };

    // The steps that reach outside this process: the user, other running copies and the new
    // launch. dialogs() gives the real ones; tests give their own.
    struct Interaction {
        std::function<Permission(const QString& question, const QString& explanation)>
            askPermission;
        std::function<void(const QString& title, const QString& text)> report;
        std::function<bool(const QString& installedBinary)> quitOtherInstances;
        std::function<bool(const QString& installedBinary)> relaunch;
    };

    // Runs the whole offer for the running executable and the current user, with dialogs.
    // True when the installed copy has been started and this launch must open no windows; the
    // application then quits as soon as its event loop runs.
    static bool installIfNeeded();

    SelfInstaller(QString executablePath, UserInstallation target, Interaction interaction);
    // The offer itself; true when handing over to the installed copy.
    bool run() const;

    static Interaction dialogs();

private:
    QString shownBinDirectory() const;
    bool replaceAndInstall(bool replacing) const;

    QString executablePath;
    UserInstallation target;
    Interaction interaction;
};
