#pragma once

#include <QCoreApplication>
#include <QString>

// Kestrin installed for one account: the binary in a bin folder (~/.local/bin), and in the
// data folder (~/.local/share) a desktop entry, the icon in the hicolor theme and the MIME
// type of projects. Every operation works on the paths it was made with, so tests can install
// into a throw-away home. Failures throw InstallError.
class UserInstallation {
    Q_DECLARE_TR_FUNCTIONS(UserInstallation)

public:
    UserInstallation(QString binDirectory, QString dataDirectory);
    // ~/.local/bin and the XDG data home of the user running Kestrin.
    static UserInstallation forCurrentUser();

    QString binDirectory() const { return bin; }
    QString binaryPath() const;
    QString desktopEntryPath() const;
    QString mimePackagePath() const;
    QString iconPath(int size) const;

    bool hasInstalledCopy() const;
    // Creates the bin folder when it is missing; false when it cannot be written to.
    bool prepareBinDirectory() const;
    // Copies the binary in, moving an older installed copy to the Trash, and writes the
    // desktop entry, icons and MIME type. The new binary is fully written before the old one
    // leaves, so a failed copy keeps the old installation.
    void install(const QString& sourceBinary) const;

    // Moves a launched copy to the Trash unless it sits on a read-only file system; a failure
    // leaves it where it is.
    static void trashIfSafe(const QString& path);
    // A path as the user reads it, with the home folder shortened to "~".
    static QString shownPath(const QString& path);
    // The desktop entry that starts the binary at this path.
    static QString desktopEntry(const QString& binaryPath);

private:
    void replaceBinary(const QString& sourceBinary) const;
    void trashInstalledCopy() const;
    void writeDesktopFiles() const;
    void refreshDesktopCaches() const;

    QString bin;
    QString data;
};
