#include "HelpWindow.h"
#include "HelpTopic.h"
#include "KeyboardFixups.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(HelpWindowTest, ListsEverySingleKeyShortcutInLinuxNotation) {
    QStringList keys;
    for (const HelpTopic& topic : HelpTopic::all()) {
        EXPECT_FALSE(topic.entries.isEmpty()) << topic.title.toStdString();
        for (const HelpEntry& entry : topic.entries) {
            keys << entry.keys.split(u' ', Qt::SkipEmptyParts);
            EXPECT_FALSE(entry.text.isEmpty()) << entry.keys.toStdString();
        }
    }
    for (QChar c : KeyboardFixups::boundCharacters())
        EXPECT_TRUE(keys.contains(QString(c.toUpper()))) << c.toLatin1();
    for (const char* otherNotation : {"⌘", "⌥", "⇧", "Cmd", "Option"})
        EXPECT_FALSE(keys.join(u' ').contains(QString::fromUtf8(otherNotation))) << otherNotation;
}

TEST(HelpWindowTest, ShowsEveryTopicAndClosesWithCtrlWOrEscape) {
    for (const QKeySequence& keys : {QKeySequence("Ctrl+W"), QKeySequence(Qt::Key_Escape)}) {
        SCOPED_TRACE(keys.toString().toStdString());
        HelpWindow window;
        QStringList shown;
        for (const QLabel* label : window.findChildren<QLabel*>())
            shown << label->text();
        for (const HelpTopic& topic : HelpTopic::all()) {
            EXPECT_TRUE(shown.contains(topic.title));
            for (const HelpEntry& entry : topic.entries)
                EXPECT_TRUE(shown.contains(entry.text)) << entry.text.toStdString();
        }
        EXPECT_FALSE(window.windowIcon().isNull());
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keySequence(&window, keys);
        EXPECT_FALSE(window.isVisible());
    }
}

} // namespace
