#include "BackgroundRunner.h"

BackgroundRunner::BackgroundRunner(QObject* parent) : QObject(parent) {}

BackgroundRunner::~BackgroundRunner() {
    if (worker) {
        worker->wait();
        delete worker;
    }
}

bool BackgroundRunner::start(Job job) {
    if (running)
        return false;
    running = true;
    // Everything the worker reports is queued to this object's thread; once this object is
    // gone, nothing more arrives.
    worker = QThread::create([this, job = std::move(job)] {
        const StepProgress progress = [this](qint64 done, qint64 total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { emit progressed(done, total); }, Qt::QueuedConnection);
        };
        std::function<void()> ending = job(progress);
        QMetaObject::invokeMethod(
            this,
            [this, ending = std::move(ending)] {
                running = false;
                if (ending)
                    ending();
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    return true;
}
