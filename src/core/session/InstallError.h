#pragma once

#include <QString>
#include <stdexcept>

// A failed step of installing Kestrin for the user; the message is shown as it is.
class InstallError : public std::runtime_error {
public:
    explicit InstallError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
