#include "ImportError.h"

#include "SpriteLimits.h"

#include <QCoreApplication>

ImportError::ImportError(Kind kind, qint64 width, qint64 height)
    : errorKind(kind), imageWidth(width), imageHeight(height), text(message().toUtf8()) {}

ImportError::ImportError(const QString& reason)
    : errorKind(refused), imageWidth(0), imageHeight(0), reason(reason), text(reason.toUtf8()) {}

QString ImportError::message() const {
    if (errorKind == refused)
        return reason;
    if (errorKind == unreadableImage)
        return QCoreApplication::translate("ImportError", "That image could not be read.");
    return QCoreApplication::translate("ImportError",
                                       "%1 × %2 is larger than the maximum canvas size of %3 × %4.")
        .arg(imageWidth)
        .arg(imageHeight)
        .arg(SpriteLimits::maximumSide)
        .arg(SpriteLimits::maximumSide);
}
