#include "WorkProgressDialog.h"

#include <QProgressBar>
#include <algorithm>

WorkProgressDialog::WorkProgressDialog(const QString& title, const QString& label, QWidget* window)
    : QProgressDialog(label, QString(), 0, 0, window), bar(new QProgressBar) {
    setBar(bar);
    bar->setRange(0, 0); // busy until the first step is counted
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setCancelButton(nullptr);
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(showAfterMilliseconds);
    setMinimumWidth(320);
    // Starts the clock of the minimum duration: without a first value the dialog would wait for
    // Qt's default of four seconds before it appears.
    setValue(0);
}

void WorkProgressDialog::showProgress(qint64 done, qint64 total) {
    if (total < 1)
        return;
    bar->setRange(0, int(total));
    bar->setValue(int(std::min(done, total)));
}
