#include "ExportRunner.h"

#include "ExportError.h"

#include <exception>
#include <new>

ExportRunner::ExportRunner(QObject* parent) : QObject(parent) {
    connect(&background, &BackgroundRunner::progressed, this, &ExportRunner::progressed);
}

bool ExportRunner::start(Job job) {
    return background.start([this, job = std::move(job)](const StepProgress& progress) {
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
        return std::function<void()>([this, written, message] { finish(written, message); });
    });
}

void ExportRunner::finish(std::optional<qint64> filesWritten, const QString& message) {
    if (filesWritten)
        emit succeeded(*filesWritten);
    else
        emit failed(message);
}
