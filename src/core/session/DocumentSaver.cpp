#include "DocumentSaver.h"

#include "PackageError.h"
#include "PixelDocument.h"
#include "ProjectLocation.h"
#include "ProjectPackage.h"
#include "SaveLeftovers.h"

#include <QEventLoop>
#include <algorithm>
#include <exception>

DocumentSaver::DocumentSaver(PixelDocument* document, QObject* parent)
    : QObject(parent), document(document) {
    connect(&background, &BackgroundRunner::progressed, this, &DocumentSaver::progressed);
}

void DocumentSaver::save(const QString& target) {
    PixelDocument::Snapshot snapshot = document->snapshotForSaving();
    queue.append({std::move(snapshot.sprite), target, snapshot.revision, {}});
    startNext();
}

void DocumentSaver::writeCopy(const QString& path, std::function<void(bool written)> finished) {
    queue.append({document->sprite(), path, std::nullopt, std::move(finished)});
    startNext();
}

bool DocumentSaver::isSaving() const {
    return (current && current->revision) ||
           std::any_of(queue.begin(), queue.end(),
                       [](const Write& write) { return write.revision.has_value(); });
}

bool DocumentSaver::waitUntilIdle() {
    const qint64 failedBefore = failedSaves;
    if (isBusy()) {
        QEventLoop loop;
        connect(this, &DocumentSaver::idle, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return failedSaves == failedBefore;
}

void DocumentSaver::startNext() {
    if (background.isRunning() || queue.isEmpty())
        return;
    current = queue.takeFirst();
    const bool isSave = current->revision.has_value();
    const Sprite sprite = std::move(current->sprite); // the worker's copy now
    const QString target = current->target;
    if (isSave)
        emit saveStarted(target);
    background.start([this, sprite, target, isSave](const StepProgress& progress) {
        std::optional<QString> failure;
        try {
            ProjectPackage::writePackage(sprite, target, isSave ? progress : StepProgress());
            if (isSave)
                SaveLeftovers::tidy(ProjectLocation::canonical(target));
        } catch (const PackageError& error) {
            failure = error.message();
        } catch (const std::exception&) { // out of memory, above all
            failure = PackageError(PackageError::fileWriteUnknown,
                                   tr("There is not enough memory to save it."))
                          .message();
        }
        return std::function<void()>([this, failure] {
            const Write write = *std::exchange(current, std::nullopt);
            startNext();
            finish(write, failure);
            // Queued behind the document's own queued mark of a successful save, so that
            // whoever waited finds the document saved.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!isBusy())
                        emit idle();
                },
                Qt::QueuedConnection);
        });
    });
}

void DocumentSaver::finish(const Write& write, const std::optional<QString>& failure) {
    if (write.copyFinished) {
        write.copyFinished(!failure);
    } else if (failure) {
        ++failedSaves;
        emit failed(write.target, *failure);
    } else {
        document->markSaved(*write.revision);
        emit saved(write.target, *write.revision);
    }
}
