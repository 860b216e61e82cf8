#include "UserInstallation.h"

#include "ApplicationResources.h"
#include "InstallError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>

namespace {

const QString applicationName = QStringLiteral("kestrin");

// QFile::moveToTrash in Qt 6.4 moves the file into ./files when the data folder is missing and
// still reports success, so the folder is made first and only an absolute result counts.
bool moveToTrash(const QString& path) {
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString pathInTrash;
    return QFile::moveToTrash(path, &pathInTrash) && QFileInfo(pathInTrash).isAbsolute();
}

[[noreturn]] void failToWrite(const QString& path, const QString& reason) {
    throw InstallError(UserInstallation::tr("Kestrin could not write %1: %2.")
                           .arg(UserInstallation::shownPath(path), reason));
}

void writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit())
        failToWrite(path, file.errorString());
}

QByteArray resource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw InstallError(UserInstallation::tr("Kestrin could not read its own %1.").arg(path));
    return file.readAll();
}

// Quoting by the desktop entry rules: an argument with reserved characters goes in double
// quotes with ", `, $ and \ escaped, and the file's string escaping doubles each backslash.
QString execArgument(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument = path;
    argument.replace(u'%', QStringLiteral("%%"));
    if (std::none_of(argument.cbegin(), argument.cend(),
                     [](QChar c) { return reserved.contains(c); }))
        return argument;
    QString quoted;
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

void runIfPresent(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        return;
    QProcess process;
    process.start(found, arguments);
    process.waitForFinished(10000);
}

} // namespace

UserInstallation::UserInstallation(QString binDirectory, QString dataDirectory)
    : bin(QDir::cleanPath(binDirectory)), data(QDir::cleanPath(dataDirectory)) {}

UserInstallation UserInstallation::forCurrentUser() {
    return UserInstallation(QDir::homePath() + QStringLiteral("/.local/bin"),
                            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString UserInstallation::binaryPath() const {
    return bin + u'/' + applicationName;
}

QString UserInstallation::desktopEntryPath() const {
    return data + QStringLiteral("/applications/") + applicationName + QStringLiteral(".desktop");
}

QString UserInstallation::mimePackagePath() const {
    return data + QStringLiteral("/mime/packages/") + applicationName + QStringLiteral(".xml");
}

QString UserInstallation::iconPath(int size) const {
    return data + QStringLiteral("/icons/hicolor/%1x%1/apps/").arg(size) + applicationName +
           QStringLiteral(".png");
}

bool UserInstallation::hasInstalledCopy() const {
    return QFileInfo::exists(binaryPath());
}

bool UserInstallation::prepareBinDirectory() const {
    return QDir().mkpath(bin) && QFileInfo(bin).isWritable();
}

void UserInstallation::trashInstalledCopy() const {
    if (!moveToTrash(binaryPath()))
        throw InstallError(tr("The Kestrin installed at %1 could not be moved to the Trash.")
                               .arg(shownPath(binaryPath())));
}

void UserInstallation::install(const QString& sourceBinary) const {
    replaceBinary(sourceBinary);
    writeDesktopFiles();
    refreshDesktopCaches();
}

void UserInstallation::replaceBinary(const QString& sourceBinary) const {
    QFile source(sourceBinary);
    if (!source.open(QIODevice::ReadOnly))
        throw InstallError(tr("Kestrin could not read %1: %2.")
                               .arg(shownPath(sourceBinary), source.errorString()));
    const QByteArray contents = source.readAll();
    QDir().mkpath(bin);
    QSaveFile binary(binaryPath());
    if (!binary.open(QIODevice::WriteOnly) || binary.write(contents) != contents.size())
        failToWrite(binaryPath(), binary.errorString());
    if (hasInstalledCopy())
        trashInstalledCopy();
    if (!binary.commit())
        failToWrite(binaryPath(), binary.errorString());
    const QFileDevice::Permissions executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther;
    if (!QFile::setPermissions(binaryPath(), executable))
        throw InstallError(
            tr("Kestrin could not make %1 executable.").arg(shownPath(binaryPath())));
}

void UserInstallation::writeDesktopFiles() const {
    writeFile(desktopEntryPath(), desktopEntry(binaryPath()).toUtf8());
    writeFile(mimePackagePath(), resource(ApplicationResources::mimeDefinitionPath()));
    for (int size : ApplicationResources::iconSizes())
        writeFile(iconPath(size), resource(ApplicationResources::iconPath(size)));
}

// The desktop reads its MIME and application caches, which only these tools rebuild; where
// they are missing the desktop rescans by itself later.
void UserInstallation::refreshDesktopCaches() const {
    runIfPresent(QStringLiteral("update-mime-database"), {data + QStringLiteral("/mime")});
    runIfPresent(QStringLiteral("update-desktop-database"),
                 {data + QStringLiteral("/applications")});
}

void UserInstallation::trashIfSafe(const QString& path) {
    if (QStorageInfo(QFileInfo(path).path()).isReadOnly())
        return;
    moveToTrash(path);
}

QString UserInstallation::shownPath(const QString& path) {
    const QString home = QDir::homePath();
    return path.startsWith(home + u'/') ? u'~' + path.sliced(home.size()) : path;
}

QString UserInstallation::desktopEntry(const QString& binaryPath) {
    const QString escapedPath = QString(binaryPath).replace(u'\\', QStringLiteral("\\\\"));
    QStringList lines =
        QString::fromUtf8(resource(ApplicationResources::desktopEntryPath())).split(u'\n');
    for (QString& line : lines) {
        if (line.startsWith(QLatin1String("Exec="))) {
            const qsizetype space = line.indexOf(u' ');
            const QString arguments = space < 0 ? QString() : line.sliced(space);
            line = QStringLiteral("Exec=") + execArgument(binaryPath) + arguments;
        } else if (line.startsWith(QLatin1String("TryExec="))) {
            line = QStringLiteral("TryExec=") + escapedPath;
        }
    }
    return lines.join(u'\n');
}
