#pragma once

#include <QWidget>

// The "Kestrin Help" window: every shortcut and canvas gesture, grouped by topic. Closing it
// only hides it, so it is made once and shown again.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);
};
