#include "PackageDirectory.h"

#include "PackageError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A single entry name; anything that could reach outside the directory is refused.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains(QChar(0));
}

// O_NONBLOCK keeps a FIFO planted in a package from blocking the open.
constexpr int entryFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;

} // namespace

PackageDirectory PackageDirectory::open(const QString& path) {
    FileDescriptor descriptor(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_DIRECTORY));
    if (!descriptor.isValid()) {
        if (errno == ENOTDIR)
            throw PackageError(PackageError::fileReadCorruptFile,
                               QStringLiteral("\"%1\" is not a package folder.").arg(path));
        throw PackageError::fromReadErrno(errno, QStringLiteral("Could not open \"%1\"").arg(path));
    }
    return PackageDirectory(std::move(descriptor), path);
}

std::optional<PackageDirectory> PackageDirectory::subdirectory(const QString& name) const {
    if (!isPlainName(name))
        return std::nullopt;
    FileDescriptor descriptor(
        ::openat(fd.get(), QFile::encodeName(name).constData(), entryFlags | O_DIRECTORY));
    if (!descriptor.isValid())
        return std::nullopt;
    return PackageDirectory(std::move(descriptor), location + '/' + name);
}

std::optional<QByteArray> PackageDirectory::readFile(const QString& name, qint64 maximumBytes,
                                                     FileStamp* stamp) const {
    if (!isPlainName(name))
        return std::nullopt;
    const QString path = location + '/' + name;
    FileDescriptor file(::openat(fd.get(), QFile::encodeName(name).constData(), entryFlags));
    struct stat status {};
    if (!file.isValid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        if (!file.isValid() && (errno == EACCES || errno == EIO))
            throw PackageError::fromReadErrno(errno,
                                              QStringLiteral("Could not read \"%1\"").arg(path));
        return std::nullopt;
    }
    if (status.st_size > maximumBytes)
        throw PackageError(PackageError::fileReadCorruptFile,
                           QStringLiteral("\"%1\" is too large.").arg(path));
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(file.get(), bytes.data() + done, size_t(bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw PackageError::fromReadErrno(errno,
                                              QStringLiteral("Could not read \"%1\"").arg(path));
        if (count == 0)
            break; // the file shrank while we read it
        done += count;
    }
    bytes.truncate(done);
    if (stamp)
        *stamp = FileStamp::of(status);
    return bytes;
}
