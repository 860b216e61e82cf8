#include "CliChecks.h"

#include "CliError.h"
#include "ExportService.h"
#include "ProjectLocation.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace CliChecks {

QString projectDirectory(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile() && info.fileName() == ProjectPackage::manifestFileName)
        return info.absolutePath();
    return path;
}

Sprite openProject(const QString& path) {
    return ProjectPackage::readPackage(projectDirectory(path));
}

QString projectName(const QString& path) {
    return QFileInfo(QFileInfo(projectDirectory(path)).absoluteFilePath()).completeBaseName();
}

void checkReplaceable(const QString& path, bool force) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!ProjectLocation::existsOrLinks(path))
        return;
    if (!ProjectLocation::isProject(path))
        throw CliError(
            cliText("“%1” exists and is not a Kestrin project: it is not replaced.").arg(shown));
    if (!force)
        throw CliError(cliText("“%1” already exists: add --force to replace it.").arg(shown));
    const ProjectLock::Holder me = ProjectLock::currentProcess();
    const QString project = ProjectLocation::canonical(path);
    if (const std::optional<ProjectLock::Holder> holder = ProjectLock::holder(project);
        holder && !ProjectLock::isStale(*holder, me))
        throw CliError(cliText("“%1” is being edited by %2: it is not replaced.")
                           .arg(shown, holder->description()));
    if (!ProjectLock::holder(project) && ProjectLock::exists(project))
        throw CliError(
            cliText("“%1” is locked by another application: it is not replaced.").arg(shown));
}

QString percentList(const QList<qint64>& percents) {
    QStringList texts;
    for (qint64 percent : percents)
        texts.append(QString::number(percent));
    return texts.join(", ");
}

void checkScale(qint64 percent, qint64 width, qint64 height, ExportFormat format) {
    const QList<qint64> offered = ExportService::percents(width, height, format);
    if (offered.contains(percent))
        return;
    if (offered.isEmpty())
        throw CliError(cliText("A %1 × %2 image cannot be written as %3 at any scale.")
                           .arg(width)
                           .arg(height)
                           .arg(ExportFormats::titleWithArticle(format)));
    throw CliError(
        cliText("Scale %1% is not offered for a %2 × %3 image as %4. Offered scales: %5.")
            .arg(percent)
            .arg(width)
            .arg(height)
            .arg(ExportFormats::title(format), percentList(offered)));
}

void checkFrame(const Sprite& sprite, qint64 frame) {
    const qint64 count = sprite.frames.size();
    if (frame < 0 || frame >= count)
        throw CliError(
            cliText("Frame %1 does not exist: the project's frames are numbered 0 to %2.")
                .arg(frame)
                .arg(count - 1));
}

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QString printable(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (c == u'\n')
            shown += QStringLiteral("\\n");
        else if (c == u'\t')
            shown += QStringLiteral("\\t");
        else if (c == u'\r')
            shown += QStringLiteral("\\r");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            shown += QStringLiteral("\\u") +
                     QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
        else
            shown += c;
    }
    return shown;
}

} // namespace CliChecks
