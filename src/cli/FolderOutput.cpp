#include "FolderOutput.h"

#include "CliError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

FolderOutput::FolderOutput(const QString& folder, const QStringList& fileNames)
    : folder(folder), fileNames(fileNames) {
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        throw CliError(cliText("“%1” is not a folder.").arg(shown(folder)));
    const QDir directory(folder);
    for (const QString& name : fileNames) {
        const QFileInfo target(directory.filePath(name));
        if (target.exists() && !target.isFile())
            throw CliError(
                cliText("“%1” is in the way: it is not a file.").arg(shown(target.filePath())));
    }
    if (!info.exists()) {
        if (!QDir().mkpath(folder))
            throw CliError(cliText("The folder “%1” could not be made.").arg(shown(folder)));
        madeFolder = true;
    }
    staging.emplace(directory.filePath(QStringLiteral(".kestrin-cli-XXXXXX")));
    if (!staging->isValid()) {
        const QString reason = staging->errorString();
        staging.reset();
        if (madeFolder)
            QDir().rmdir(folder);
        throw CliError(
            cliText("The folder “%1” could not be written to: %2").arg(shown(folder), reason));
    }
}

FolderOutput::~FolderOutput() {
    staging.reset(); // removes whatever is still staged
    if (madeFolder && !committed)
        QDir().rmdir(folder);
}

void FolderOutput::commit() {
    const QDir from(staging->path());
    const QDir to(folder);
    for (const QString& name : fileNames) {
        // rename() replaces an old file in one step: it is never missing or half written.
        if (std::rename(QFile::encodeName(from.filePath(name)).constData(),
                        QFile::encodeName(to.filePath(name)).constData()) != 0)
            throw CliError(
                cliText("“%1” could not be written: %2")
                    .arg(shown(to.filePath(name)), QString::fromLocal8Bit(std::strerror(errno))));
    }
    committed = true;
}
