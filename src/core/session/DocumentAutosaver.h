#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

class DocumentSaver;
class PixelDocument;
class RecoveryStore;

// Keeps a recovery copy of one document while it has unsaved changes. The copy is written at
// most `delay` after a change, by the document's saver: on its worker thread and never at the
// same time as a save of the document.
class DocumentAutosaver : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultDelay{30000};
    // The delay of new autosavers: defaultDelay, or the milliseconds in the environment
    // variable KESTRIN_RECOVERY_DELAY_MS (the end-to-end tests would otherwise idle for it).
    static std::chrono::milliseconds configuredDelay();
    // How long to wait before trying again while a drawing gesture is open.
    static constexpr std::chrono::milliseconds busyRetry{1000};

    struct Description {
        QString originalPath;
        QString title;
    };

    // The copy is known to the store under id and written by saver.
    DocumentAutosaver(PixelDocument* document, DocumentSaver* saver, RecoveryStore* store,
                      QString id, QObject* parent = nullptr);

    // What the copy's listing says about the document.
    std::function<Description()> describe;
    // True while the document's pixels are being written in place (a stroke is open).
    std::function<bool()> isBusy;

    QString id() const { return copyID; }
    void setDelay(std::chrono::milliseconds value) { delay = value; }
    // Writes soon, without waiting for the delay.
    void writeSoon();
    // Deletes the copy: the document was saved, closed or its changes thrown away.
    void discard();

signals:
    void copyWritten();
    // A copy could not be written (the recovery folder is not writable, say).
    void copyFailed();

private:
    void documentChanged();
    void write();
    void finished(bool succeeded, quint64 writtenGeneration);

    PixelDocument* document;
    DocumentSaver* saver;
    RecoveryStore* store;
    QString copyID;
    QTimer timer;
    std::chrono::milliseconds delay = configuredDelay();
    bool writing = false;
    bool writeAgain = false;
    // Grows with every discard, so a write that was under way by then is thrown away too.
    quint64 generation = 0;
};
