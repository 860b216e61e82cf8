#include "PackageWriter.h"

#include "FileDescriptor.h"
#include "PackageError.h"
#include "ProjectLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

[[noreturn]] void fail(const QString& what) {
    throw PackageError::fromWriteErrno(errno, what);
}

QByteArray encoded(const QString& name) {
    return QFile::encodeName(name);
}

void requirePlainName(const QString& name) {
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') ||
        name.contains(QChar(0)))
        throw PackageError(PackageError::fileWriteUnknown,
                           QStringLiteral("\"%1\" cannot be a file name.").arg(name));
}

void syncOrFail(int fd, const QString& what) {
    if (::fsync(fd) != 0)
        fail(QStringLiteral("Could not flush \"%1\"").arg(what));
}

void writeFile(int directory, const QString& name, const QByteArray& bytes, const QString& path) {
    FileDescriptor file(::openat(directory, encoded(name).constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file.isValid())
        fail(QStringLiteral("Could not create \"%1\"").arg(path));
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t count =
            ::write(file.get(), bytes.constData() + done, size_t(bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            fail(QStringLiteral("Could not write \"%1\"").arg(path));
        done += count;
    }
    syncOrFail(file.get(), path);
    if (!file.close())
        fail(QStringLiteral("Could not write \"%1\"").arg(path));
}

[[noreturn]] void changedMeanwhile(const QString& path) {
    throw PackageError(PackageError::fileWriteUnknown,
                       QStringLiteral("\"%1\" changed on disk during the save.").arg(path));
}

// The bytes of a file known by its stamp; throws when it no longer has that stamp.
QByteArray readStamped(const QString& source, const FileStamp& stamp) {
    FileDescriptor file(::open(encoded(source).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!file.isValid() || ::fstat(file.get(), &status) != 0 || FileStamp::of(status) != stamp)
        changedMeanwhile(source);
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t count = ::read(file.get(), bytes.data() + done, size_t(bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            changedMeanwhile(source);
        done += count;
    }
    return bytes;
}

// A file that is already on disk joins the new package as a second link to the same data,
// which was flushed when it was first written; where the file system cannot link, a copy.
void carryFile(int directory, const QString& name, const PackageTree& node, const QString& path) {
    const QByteArray link = encoded(name);
    if (::linkat(AT_FDCWD, encoded(node.carriedFrom()).constData(), directory, link.constData(),
                 0) == 0) {
        struct stat status {};
        if (::fstatat(directory, link.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            FileStamp::of(status) != node.carriedStamp())
            changedMeanwhile(node.carriedFrom());
        return;
    }
    writeFile(directory, name, readStamped(node.carriedFrom(), node.carriedStamp()), path);
}

qint64 fileCount(const PackageTree& tree) {
    qint64 count = 0;
    for (const auto& [name, child] : tree.entries())
        count += child.isFile() ? 1 : fileCount(child);
    return count;
}

// Counts the files of one write up to their total.
struct FileCounter {
    const StepProgress& progress;
    qint64 total = 0;
    qint64 written = 0;

    void fileWritten() { reportProgress(progress, ++written, total); }
};

// Writes the entries of a directory node into an empty directory, flushing each file and
// directory before the directory that names it.
void writeEntries(int directory, const PackageTree& tree, const QString& path,
                  FileCounter& counter) {
    for (const auto& [name, child] : tree.entries()) {
        requirePlainName(name);
        const QString childPath = path + '/' + name;
        if (child.isFile()) {
            if (child.carriedFrom().isEmpty())
                writeFile(directory, name, child.contents(), childPath);
            else
                carryFile(directory, name, child, childPath);
            counter.fileWritten();
            continue;
        }
        if (::mkdirat(directory, encoded(name).constData(), 0777) != 0)
            fail(QStringLiteral("Could not create \"%1\"").arg(childPath));
        FileDescriptor sub(::openat(directory, encoded(name).constData(),
                                    O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!sub.isValid())
            fail(QStringLiteral("Could not open \"%1\"").arg(childPath));
        writeEntries(sub.get(), child, childPath, counter);
        syncOrFail(sub.get(), childPath);
    }
}

// A fresh hidden name beside the package: ".<name>.<role>-<random>".
QString siblingName(const QString& name, const char* role) {
    return QStringLiteral(".%1.%2-%3")
        .arg(name, QLatin1String(role))
        .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}

bool exists(int directory, const QString& name) {
    struct stat status {};
    return ::fstatat(directory, encoded(name).constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// Swaps the directories in one step; false when the file system cannot do that.
bool exchange(int parent, const QString& staged, const QString& target) {
    if (::renameat2(parent, encoded(staged).constData(), parent, encoded(target).constData(),
                    RENAME_EXCHANGE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS)
        return false;
    fail(QStringLiteral("Could not replace \"%1\"").arg(target));
}

// Moves the old package to a backup name, the new one into place, and the old one back if
// that fails. Returns the name the old package now has.
QString renameThroughBackup(int parent, const QString& staged, const QString& target) {
    const QString backup = siblingName(target, "old");
    if (::renameat(parent, encoded(target).constData(), parent, encoded(backup).constData()) != 0)
        fail(QStringLiteral("Could not replace \"%1\"").arg(target));
    if (::renameat(parent, encoded(staged).constData(), parent, encoded(target).constData()) != 0) {
        const int error = errno;
        ::renameat(parent, encoded(backup).constData(), parent, encoded(target).constData());
        errno = error;
        fail(QStringLiteral("Could not replace \"%1\"").arg(target));
    }
    return backup;
}

// Puts the staged package at the target's name; returns the name the old package now has,
// empty when there was none.
QString swapIntoPlace(int parent, const QString& staged, const QString& target,
                      PackageWriter::SwapMethod method) {
    if (!exists(parent, target)) {
        if (::renameat(parent, encoded(staged).constData(), parent, encoded(target).constData()) !=
            0)
            fail(QStringLiteral("Could not create \"%1\"").arg(target));
        return {};
    }
    if (method == PackageWriter::SwapMethod::exchange && exchange(parent, staged, target))
        return staged;
    return renameThroughBackup(parent, staged, target);
}

// Only a project is ever replaced: a folder or file that is not one stays as it is.
void requireReplaceable(const QFileInfo& target) {
    if (ProjectLocation::existsOrLinks(target.filePath()) &&
        !ProjectLocation::isProject(target.filePath()))
        throw PackageError(PackageError::fileWriteUnknown,
                           QStringLiteral("\"%1\" is not a Kestrin project, so it is not replaced.")
                               .arg(target.filePath()));
}

} // namespace

namespace PackageWriter {

void write(const PackageTree& tree, const QString& path, SwapMethod method,
           const StepProgress& progress) {
    // Through a link, the project it points to is written and the link stays.
    const QFileInfo info(ProjectLocation::canonical(path));
    requireReplaceable(info);
    const QString parentPath = info.absolutePath();
    const QString target = info.fileName();
    requirePlainName(target);
    FileDescriptor parent(
        ::open(encoded(parentPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.isValid())
        fail(QStringLiteral("Could not open \"%1\"").arg(parentPath));

    QString staged = siblingName(target, "saving");
    while (::mkdirat(parent.get(), encoded(staged).constData(), 0777) != 0) {
        if (errno != EEXIST)
            fail(QStringLiteral("Could not create a folder in \"%1\"").arg(parentPath));
        staged = siblingName(target, "saving");
    }
    QString old;
    try {
        FileDescriptor directory(::openat(parent.get(), encoded(staged).constData(),
                                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!directory.isValid())
            fail(QStringLiteral("Could not open \"%1\"").arg(staged));
        FileCounter counter{progress, fileCount(tree)};
        writeEntries(directory.get(), tree, info.filePath(), counter);
        syncOrFail(directory.get(), info.filePath());
        old = swapIntoPlace(parent.get(), staged, target, method);
    } catch (...) {
        ProjectLocation::remove(parentPath + '/' + staged);
        throw;
    }
    // The new package is in place. Only once the swap is on the disk may the old copy go;
    // when that cannot be confirmed the old copy stays behind under its hidden name.
    if (::fsync(parent.get()) == 0 && !old.isEmpty())
        ProjectLocation::remove(parentPath + '/' + old);
}

} // namespace PackageWriter
