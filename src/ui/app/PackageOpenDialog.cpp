#include "PackageOpenDialog.h"

#include "ProjectPackage.h"
#include "RecentProjects.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

PackageOpenDialog::PackageOpenDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setWindowTitle(tr("Open Project"));
    setNameFilters({tr("Kestrin projects (*.%1 %2)")
                        .arg(ProjectPackage::fileExtension, ProjectPackage::manifestFileName),
                    tr("All files (*)")});
    setDirectory(startFolder());
    // Double-clicking a package enters it; entering one means choosing it.
    connect(this, &QFileDialog::directoryEntered, this, [this](const QString& directory) {
        if (isVisible() && !packageFor(directory).isEmpty())
            choose(directory);
    });
}

QString PackageOpenDialog::packageFor(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && info.suffix() == ProjectPackage::fileExtension)
        return info.absoluteFilePath();
    if (info.isDir() &&
        QFileInfo(info.absoluteFilePath() + u'/' + ProjectPackage::manifestFileName).isFile())
        return info.absoluteFilePath();
    if (info.isFile() && info.fileName() == ProjectPackage::manifestFileName)
        return info.absolutePath();
    return {};
}

QString PackageOpenDialog::startFolder() {
    for (const QString& recent : RecentProjects::all()) {
        QString folder = QFileInfo(recent).absolutePath();
        while (!packageFor(folder).isEmpty() && !QDir(folder).isRoot())
            folder = QFileInfo(folder).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void PackageOpenDialog::accept() {
    const QString path = selectedFiles().value(0);
    if (path.isEmpty())
        return;
    const QString package = packageFor(path);
    if (!package.isEmpty())
        choose(package);
    else if (QFileInfo(path).isDir())
        QFileDialog::accept(); // an ordinary folder: go into it
    else
        choose(path);
}

void PackageOpenDialog::choose(const QString& path) {
    chosen = path;
    QDialog::accept();
}
