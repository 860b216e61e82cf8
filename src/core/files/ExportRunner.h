#pragma once

#include "BackgroundRunner.h"
#include "StepProgress.h"

#include <QObject>
#include <functional>
#include <optional>

// Runs one export at a time on a worker thread, so that the window stays responsive while it
// encodes, and reports back on the thread that started it. The job must work on its own copy
// of everything it reads.
class ExportRunner : public QObject {
    Q_OBJECT

public:
    // Writes the export and returns the number of files written; throws on failure.
    using Job = std::function<qint64(const StepProgress& progress)>;

    // Going away waits for a running export: its files are never cut off halfway.
    explicit ExportRunner(QObject* parent = nullptr);

    // True from start until succeeded or failed has been emitted.
    bool isRunning() const { return background.isRunning(); }
    // Starts job; refused (false) while another runs.
    bool start(Job job);

signals:
    void progressed(qint64 done, qint64 total);
    void succeeded(qint64 filesWritten);
    void failed(const QString& message);

private:
    void finish(std::optional<qint64> filesWritten, const QString& message);

    BackgroundRunner background;
};
