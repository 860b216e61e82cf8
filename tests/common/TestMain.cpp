#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef KESTRIN_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

// Every test process runs with its own HOME and XDG folders, so settings, recent files,
// recovery copies and the Trash never touch the developer's own.
int main(int argc, char** argv) {
    QTemporaryDir home;
    const QByteArray homePath = home.path().toUtf8();
    QDir(home.path()).mkpath(".local/share");
    QDir(home.path()).mkpath(".config");
    QDir(home.path()).mkpath(".cache");
    qputenv("HOME", homePath);
    qputenv("XDG_CONFIG_HOME", homePath + "/.config");
    qputenv("XDG_DATA_HOME", homePath + "/.local/share");
    qputenv("XDG_CACHE_HOME", homePath + "/.cache");
    qputenv("XDG_RUNTIME_DIR", homePath);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
