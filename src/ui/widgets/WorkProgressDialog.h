#pragma once

#include <QProgressDialog>

class QProgressBar;

// The progress of work that runs on a worker thread while the window behind waits: modal to
// that window, without a cancel button, shown only once the work has taken longer than a
// moment, and a busy bar until the first step is counted. Deleting it takes it away.
class WorkProgressDialog : public QProgressDialog {
    Q_OBJECT

public:
    static constexpr int showAfterMilliseconds = 400;

    WorkProgressDialog(const QString& title, const QString& label, QWidget* window);

    // Moves the bar only: unlike QProgressDialog::setValue it never runs the event loop, in
    // which the work's end could delete this dialog under the caller.
    void showProgress(qint64 done, qint64 total);

private:
    QProgressBar* bar;
};
