#pragma once

#include "StepProgress.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <functional>

// Runs one job at a time on a worker thread, so that the window stays responsive while it
// works, and brings its progress and its outcome back to the thread that started it. The job
// must work on its own copy of everything it reads.
class BackgroundRunner : public QObject {
    Q_OBJECT

public:
    // Runs on the worker and must not throw; returns what is to be done on the starting
    // thread once it has ended.
    using Job = std::function<std::function<void()>(const StepProgress& progress)>;

    explicit BackgroundRunner(QObject* parent = nullptr);
    // Waits for a running job: its files are never cut off halfway. Its ending is not run.
    ~BackgroundRunner() override;

    // True from start until the job's ending has been run.
    bool isRunning() const { return running; }
    // Starts job; refused (false) while another runs.
    bool start(Job job);

signals:
    void progressed(qint64 done, qint64 total);

private:
    QPointer<QThread> worker;
    bool running = false;
};
