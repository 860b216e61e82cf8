#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Why an export produced no file. The message is the user-facing description.
class ExportError : public std::exception {
public:
    enum class Kind {
        renderFailed, // no image or no bytes could be made
        tooLarge,     // the output would pass the largest exported side
        writeFailed,  // the file system refused the bytes
        outOfMemory,  // a buffer of the export could not be had
    };

    static ExportError renderFailed();
    static ExportError tooLarge();
    static ExportError writeFailed(const QString& path, const QString& reason);
    static ExportError outOfMemory();

    Kind kind() const { return errorKind; }
    QString message() const { return text; }
    const char* what() const noexcept override { return utf8.constData(); }

private:
    ExportError(Kind kind, const QString& message);

    Kind errorKind;
    QString text;
    QByteArray utf8;
};
