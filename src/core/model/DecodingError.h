#pragma once

#include <QString>
#include <stdexcept>

// A stored value that cannot be read back; the message names what was wrong.
class DecodingError : public std::runtime_error {
public:
    explicit DecodingError(const QString& message)
        : std::runtime_error(message.toStdString()), text(message) {}
    QString message() const { return text; }

private:
    QString text;
};
