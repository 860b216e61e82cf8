#pragma once

#include <QList>
#include <QString>

// One line of the help: a shortcut or gesture, and what it does.
struct HelpEntry {
    QString keys;
    QString text;
};

// A titled group of help entries.
struct HelpTopic {
    QString title;
    QList<HelpEntry> entries;

    // Every topic of the help window, in reading order, keys in Linux notation.
    static const QList<HelpTopic>& all();
};
