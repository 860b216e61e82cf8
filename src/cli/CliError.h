#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <exception>

// A refused command line or request; the message is printed as it is, and the tool exits 1.
class CliError : public std::exception {
public:
    explicit CliError(const QString& message) : text(message), utf8(message.toUtf8()) {}
    QString message() const { return text; }
    const char* what() const noexcept override { return utf8.constData(); }

private:
    QString text;
    QByteArray utf8;
};

// The tool's texts, looked up under one translation context.
inline QString cliText(const char* source) {
    return QCoreApplication::translate("kestrin-cli", source);
}
