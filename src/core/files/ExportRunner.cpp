#include "ExportRunner.h"

#include "ExportError.h"

#include <exception>
#include <new>

ExportRunner::ExportRunner(QObject* parent) : QObject(parent) {}

ExportRunner::~ExportRunner() {
    if (worker) {
        worker->wait();
        delete worker;
    }
}

bool ExportRunner::start(Job job) {
    if (running)
        return false;
    running = true;
    // Everything the worker reports is queued to this object's thread; once this object is
    // gone, nothing more arrives.
    worker = QThread::create([this, job = std::move(job)] {
        const ExportProgress progress = [this](qint64 done, qint64 total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { emit progressed(done, total); }, Qt::QueuedConnection);
        };
        std::optional<qint64> written;
        QString message;
        try {
            written = job(progress);
        } catch (const ExportError& error) {
            message = error.message();
        } catch (const std::bad_alloc&) {
            message = ExportError::outOfMemory().message();
        } catch (const std::exception&) {
            message = ExportError::renderFailed().message();
        }
        QMetaObject::invokeMethod(
            this, [this, written, message] { finish(written, message); }, Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    return true;
}

void ExportRunner::finish(std::optional<qint64> filesWritten, const QString& message) {
    running = false;
    if (filesWritten)
        emit succeeded(*filesWritten);
    else
        emit failed(message);
}
