#include "ExportError.h"

#include "ExportScale.h"
#include "MemoryError.h"

#include <QCoreApplication>
#include <QDir>

ExportError::ExportError(Kind kind, const QString& message)
    : errorKind(kind), text(message), utf8(message.toUtf8()) {}

ExportError ExportError::renderFailed() {
    return ExportError(
        Kind::renderFailed,
        QCoreApplication::translate("ExportError", "The sprite could not be rendered for export."));
}

ExportError ExportError::tooLarge() {
    return ExportError(Kind::tooLarge,
                       QCoreApplication::translate(
                           "ExportError", "The export would be larger than %1 px on a side.")
                           .arg(ExportScale::largestSide));
}

ExportError ExportError::writeFailed(const QString& path, const QString& reason) {
    return ExportError(
        Kind::writeFailed,
        QCoreApplication::translate("ExportError", "The file “%1” could not be written: %2")
            .arg(QDir::toNativeSeparators(path), reason));
}

ExportError ExportError::outOfMemory() {
    return ExportError(Kind::outOfMemory,
                       MemoryError::message(QCoreApplication::translate("ExportError", "export")));
}
