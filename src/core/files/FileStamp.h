#pragma once

#include <QtGlobal>
#include <sys/stat.h>

// What identifies one stored file's contents without reading them: the same file (device and
// inode), the same size and the same modification time. A file replaced or rewritten in place
// gets another stamp; a link to it keeps the stamp.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNanoseconds = 0;

    static FileStamp of(const struct stat& status) {
        return {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
                qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
    }

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
