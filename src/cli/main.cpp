#include "CliRunner.h"

#include <QCoreApplication>

// No windows: kestrin-cli runs on build machines without a display.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kestrin-cli");
    return CliRunner::run(QCoreApplication::arguments());
}
