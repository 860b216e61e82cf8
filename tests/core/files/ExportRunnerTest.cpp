#include "ExportRunner.h"
#include "ExportError.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

TEST(ExportRunner, FailuresArriveAsTheirMessages) {
    const QList<std::pair<ExportRunner::Job, QString>> cases = {
        {[](const StepProgress&) -> qint64 {
             throw ExportError::writeFailed("/x/y.png", "Permission denied");
         },
         "The file “/x/y.png” could not be written: Permission denied"},
        {[](const StepProgress&) -> qint64 { throw std::bad_alloc(); },
         "There is not enough memory to export."},
        {[](const StepProgress&) -> qint64 { throw std::runtime_error("x"); },
         "The sprite could not be rendered for export."},
    };
    for (const auto& [job, message] : cases) {
        ExportRunner runner;
        QSignalSpy failed(&runner, &ExportRunner::failed);
        QSignalSpy succeeded(&runner, &ExportRunner::succeeded);
        runner.start(job);
        ASSERT_TRUE(failed.wait(20000)) << message.toStdString();
        EXPECT_EQ(failed.first().first().toString(), message);
        EXPECT_TRUE(succeeded.isEmpty());
        EXPECT_FALSE(runner.isRunning());
    }
}
