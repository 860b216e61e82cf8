#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// A project package that could not be opened or saved. message() is the text for the alert:
// a sentence for the kind of failure, followed by the detail when one is known.
class PackageError : public std::exception {
public:
    enum Code {
        fileReadCorruptFile,
        fileReadNoSuchFile,
        fileReadNoPermission,
        fileReadUnknown,
        fileWriteUnknown,
        fileWriteOutOfSpace,
        fileWriteNoPermission,
    };

    explicit PackageError(Code code, const QString& detail = {});

    // The read or write code that fits a failed system call's errno.
    static PackageError fromReadErrno(int error, const QString& detail);
    static PackageError fromWriteErrno(int error, const QString& detail);

    Code code() const { return errorCode; }
    QString detail() const { return why; }
    QString message() const;
    const char* what() const noexcept override { return text.constData(); }

private:
    Code errorCode;
    QString why;
    QByteArray text;
};
