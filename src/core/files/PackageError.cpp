#include "PackageError.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

namespace {

QString summary(PackageError::Code code) {
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("PackageError", text);
    };
    switch (code) {
    case PackageError::fileReadCorruptFile:
        return tr("The file couldn't be opened because it isn't in the correct format.");
    case PackageError::fileReadNoSuchFile:
        return tr("The file couldn't be opened because there is no such file.");
    case PackageError::fileReadNoPermission:
        return tr("The file couldn't be opened because you don't have permission to view it.");
    case PackageError::fileReadUnknown:
        return tr("The file couldn't be opened.");
    case PackageError::fileWriteUnknown:
        return tr("The file couldn't be saved.");
    case PackageError::fileWriteOutOfSpace:
        return tr("The file couldn't be saved because there isn't enough space.");
    case PackageError::fileWriteNoPermission:
        return tr("The file couldn't be saved because you don't have permission.");
    }
    return {};
}

QString withSystemText(const QString& detail, int error) {
    return detail + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)) + '.';
}

} // namespace

PackageError::PackageError(Code code, const QString& detail)
    : errorCode(code), why(detail), text(message().toUtf8()) {}

PackageError PackageError::fromReadErrno(int error, const QString& detail) {
    const Code code = error == ENOENT || error == ENOTDIR ? fileReadNoSuchFile
                      : error == EACCES || error == EPERM ? fileReadNoPermission
                                                          : fileReadUnknown;
    return PackageError(code, withSystemText(detail, error));
}

PackageError PackageError::fromWriteErrno(int error, const QString& detail) {
    const Code code = error == ENOSPC || error == EDQUOT                    ? fileWriteOutOfSpace
                      : error == EACCES || error == EPERM || error == EROFS ? fileWriteNoPermission
                                                                            : fileWriteUnknown;
    return PackageError(code, withSystemText(detail, error));
}

QString PackageError::message() const {
    const QString base = summary(errorCode);
    return why.isEmpty() ? base : base + ' ' + why;
}
