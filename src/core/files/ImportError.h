#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Why an image could not become a new sprite; message() is the text for the alert.
class ImportError : public std::exception {
public:
    enum Kind { tooLarge, unreadableImage, refused };

    // width and height are the refused image's size; they matter only for tooLarge.
    explicit ImportError(Kind kind, qint64 width = 0, qint64 height = 0);
    // refused, with the reason (too many frames, a sheet that does not split evenly, …).
    explicit ImportError(const QString& reason);

    Kind kind() const { return errorKind; }
    qint64 width() const { return imageWidth; }
    qint64 height() const { return imageHeight; }
    QString message() const;
    const char* what() const noexcept override { return text.constData(); }

private:
    Kind errorKind;
    qint64 imageWidth;
    qint64 imageHeight;
    QString reason;
    QByteArray text;
};
