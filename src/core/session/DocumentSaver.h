#pragma once

#include "BackgroundRunner.h"
#include "Sprite.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class PixelDocument;

// Writes one document's packages on a worker thread, so that the window never waits for the
// disk: the user's saves and the recovery copies, one at a time in the order they were asked
// for, so that no two writers ever work for the same document at once. Each write works on a
// copy of the sprite taken when it was asked for (the pixels are shared, so that costs next
// to nothing) and the user may keep drawing meanwhile.
class DocumentSaver : public QObject {
    Q_OBJECT

public:
    explicit DocumentSaver(PixelDocument* document, QObject* parent = nullptr);

    // Saves the document as it is now (floating pixels placed) to the project package at
    // target. Once written, the leftovers of interrupted saves beside it are tidied, the
    // document is marked saved unless it changed meanwhile, and saved is emitted; otherwise
    // failed, and the document stays unsaved.
    void save(const QString& target);
    // Writes a recovery copy of the sprite as it is now to path; finished tells on this thread
    // whether it was written. It is not called when this saver has gone.
    void writeCopy(const QString& path, std::function<void(bool written)> finished);

    // A save is running or waiting.
    bool isSaving() const;
    // A save or a recovery copy is running or waiting.
    bool isBusy() const { return background.isRunning() || !queue.isEmpty(); }
    // Returns once every write asked for has ended and its outcome has been told, running the
    // event loop meanwhile without user input (the window cannot be edited while it waits).
    // False when a save failed meanwhile.
    bool waitUntilIdle();

signals:
    // A save has begun writing; progressed follows for it, then saved or failed (after the
    // next write has started, so that an alert left open holds up nothing).
    void saveStarted(const QString& target);
    void progressed(qint64 done, qint64 total);
    // revision is the one written: the document is saved unless it has moved on since.
    void saved(const QString& target, qint64 revision);
    void failed(const QString& target, const QString& message);
    // Nothing runs or waits any more.
    void idle();

private:
    struct Write {
        Sprite sprite;
        QString target;
        std::optional<qint64> revision; // a save's; none for a recovery copy
        std::function<void(bool)> copyFinished;
    };

    void startNext();
    void finish(const Write& write, const std::optional<QString>& failure);

    PixelDocument* document;
    BackgroundRunner background;
    std::optional<Write> current;
    QList<Write> queue;
    qint64 failedSaves = 0;
};
