#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kestrin"));
    QApplication::setApplicationName(QStringLiteral("Kestrin"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kestrin"));
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
