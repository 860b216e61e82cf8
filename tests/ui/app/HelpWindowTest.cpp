#include "HelpWindow.h"
#include "HelpTopic.h"
#include "KeyboardFixups.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(HelpWindowTest, ListsEverySingleKeyShortcutAndClosesWithEscape) {
    QStringList keys;
    for (const HelpTopic& topic : HelpTopic::all()) {
        for (const HelpEntry& entry : topic.entries)
            keys << entry.keys.split(u' ', Qt::SkipEmptyParts);
    }
    for (QChar c : KeyboardFixups::boundCharacters())
        EXPECT_TRUE(keys.contains(QString(c.toUpper()))) << c.toLatin1();

    HelpWindow window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
