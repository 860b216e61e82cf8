#include "WorkProgressDialog.h"

#include <algorithm>

WorkProgressDialog::WorkProgressDialog(const QString& title, const QString& label, QWidget* window)
    : QProgressDialog(label, QString(), 0, 0, window) {
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setCancelButton(nullptr);
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(showAfterMilliseconds);
}

void WorkProgressDialog::showProgress(qint64 done, qint64 total) {
    if (total < 1)
        return;
    setMaximum(int(total));
    setValue(int(std::min(done, total)));
}
