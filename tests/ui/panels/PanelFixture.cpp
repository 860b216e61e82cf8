#include "PanelFixture.h"

#include <QApplication>
#include <QTest>

bool showActive(QWidget& widget) {
    widget.show();
    widget.activateWindow();
    QApplication::setActiveWindow(&widget);
    return QTest::qWaitForWindowActive(&widget);
}
