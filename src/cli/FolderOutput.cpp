#include "FolderOutput.h"

#include "CliError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

FolderOutput::FolderOutput(const QString& folder, const QStringList& fileNames) : folder(folder) {
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        throw CliError(cliText("“%1” is not a folder.").arg(QDir::toNativeSeparators(folder)));
    if (!info.exists()) {
        if (!QDir().mkpath(folder))
            throw CliError(cliText("The folder “%1” could not be made.")
                               .arg(QDir::toNativeSeparators(folder)));
        madeFolder = true;
    }
    const QDir directory(folder);
    for (const QString& name : fileNames) {
        if (!QFileInfo::exists(directory.filePath(name)))
            newFileNames.append(name);
    }
}

void FolderOutput::discard() const {
    QDir directory(folder);
    for (const QString& name : newFileNames)
        directory.remove(name);
    if (madeFolder)
        QDir().rmdir(folder);
}
