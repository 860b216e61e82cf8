#include "HelpWindow.h"
#include "HelpTopic.h"
#include "KeyboardFixups.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList allKeys() {
    QStringList keys;
    for (const HelpTopic& topic : HelpTopic::all())
        for (const HelpEntry& entry : topic.entries)
            keys << entry.keys;
    return keys;
}

TEST(HelpWindowTest, ListsEverySingleKeyShortcutInLinuxNotation) {
    const QString keys = allKeys().join(u' ');
    const QStringList keyNames = keys.split(u' ', Qt::SkipEmptyParts);
    for (QChar c : KeyboardFixups::boundCharacters())
        EXPECT_TRUE(keyNames.contains(QString(c.toUpper()))) << c.toLatin1();
    for (const char* otherNotation : {"⌘", "⌥", "⇧", "Cmd", "Option"})
        EXPECT_FALSE(keys.contains(QString::fromUtf8(otherNotation))) << otherNotation;
    for (const HelpTopic& topic : HelpTopic::all()) {
        EXPECT_FALSE(topic.title.isEmpty());
        EXPECT_FALSE(topic.entries.isEmpty()) << topic.title.toStdString();
        for (const HelpEntry& entry : topic.entries)
            EXPECT_FALSE(entry.text.isEmpty()) << entry.keys.toStdString();
    }
}

TEST(HelpWindowTest, ShowsEveryTopicAndEntry) {
    HelpWindow window;
    EXPECT_EQ(window.windowTitle(), "Kestrin Help");
    EXPECT_TRUE(window.isWindow());
    QStringList shown;
    for (const QLabel* label : window.findChildren<QLabel*>())
        shown << label->text();
    for (const HelpTopic& topic : HelpTopic::all()) {
        EXPECT_TRUE(shown.contains(topic.title));
        for (const HelpEntry& entry : topic.entries)
            EXPECT_TRUE(shown.contains(entry.text)) << entry.text.toStdString();
    }
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST(HelpWindowTest, CtrlWAndEscapeCloseIt) {
    for (const QKeySequence& keys : {QKeySequence("Ctrl+W"), QKeySequence(Qt::Key_Escape)}) {
        SCOPED_TRACE(keys.toString().toStdString());
        HelpWindow window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keySequence(&window, keys);
        EXPECT_FALSE(window.isVisible());
    }
}

} // namespace
