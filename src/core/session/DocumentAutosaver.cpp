#include "DocumentAutosaver.h"

#include "DocumentSaver.h"
#include "PixelDocument.h"
#include "RecoveryStore.h"

#include <QPointer>

DocumentAutosaver::DocumentAutosaver(PixelDocument* document, DocumentSaver* saver,
                                     RecoveryStore* store, QString id, QObject* parent)
    : QObject(parent), document(document), saver(saver), store(store), copyID(std::move(id)) {
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &DocumentAutosaver::write);
    connect(document, &PixelDocument::revisionChanged, this, &DocumentAutosaver::documentChanged);
}

std::chrono::milliseconds DocumentAutosaver::configuredDelay() {
    bool valid = false;
    const int milliseconds = qEnvironmentVariableIntValue("KESTRIN_RECOVERY_DELAY_MS", &valid);
    return valid && milliseconds >= 0 ? std::chrono::milliseconds(milliseconds) : defaultDelay;
}

// The timer is not restarted by later changes, so steady work is still copied every delay.
void DocumentAutosaver::documentChanged() {
    if (!timer.isActive())
        timer.start(delay);
}

void DocumentAutosaver::writeSoon() {
    timer.start(0);
}

void DocumentAutosaver::discard() {
    timer.stop();
    writeAgain = false;
    ++generation;
    store->discard(copyID);
}

void DocumentAutosaver::write() {
    if (!document->hasUnsavedChanges())
        return;
    if (isBusy && isBusy()) {
        timer.start(busyRetry);
        return;
    }
    if (writing) {
        writeAgain = true;
        return;
    }
    writing = true;
    const quint64 startedGeneration = generation;
    const QPointer<DocumentAutosaver> self(this);
    saver->writeCopy(store->packagePath(copyID), [self, startedGeneration](bool written) {
        if (self)
            self->finished(written, startedGeneration);
    });
}

void DocumentAutosaver::finished(bool succeeded, quint64 writtenGeneration) {
    writing = false;
    if (writtenGeneration != generation) {
        store->discard(copyID);
    } else if (succeeded) {
        const Description about = describe ? describe() : Description{};
        store->record({copyID, about.originalPath, about.title, QDateTime::currentDateTime()});
        emit copyWritten();
    } else {
        emit copyFailed();
        if (!timer.isActive())
            timer.start(delay); // a full disk, say: try again later
    }
    if (writeAgain) {
        writeAgain = false;
        write();
    }
}
