#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Why a palette file could not be read or written; message() is the text shown to the user.
class PaletteFileError : public std::exception {
public:
    explicit PaletteFileError(const QString& message) : text(message), utf8(message.toUtf8()) {}

    QString message() const { return text; }
    const char* what() const noexcept override { return utf8.constData(); }

private:
    QString text;
    QByteArray utf8;
};
