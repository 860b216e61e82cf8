#include "AppCoordinator.h"
#include "ApplicationResources.h"
#include "OutlinedIndicatorStyle.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new OutlinedIndicatorStyle);
    QApplication::setOrganizationName(QStringLiteral("Kestrin"));
    QApplication::setApplicationName(QStringLiteral("Kestrin"));
    QApplication::setWindowIcon(ApplicationResources::applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrin"));
    // The coordinator decides when the application ends (it counts the welcome and help
    // windows, and a cancelled first sheet).
    QApplication::setQuitOnLastWindowClosed(false);

    AppCoordinator coordinator;
    coordinator.launch(QApplication::arguments().mid(1));
    return QApplication::exec();
}
