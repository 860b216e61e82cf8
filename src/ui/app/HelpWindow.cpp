#include "HelpWindow.h"

#include "ApplicationResources.h"
#include "HelpTopic.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QLabel* label(const QString& text, bool bold, double scale = 1.0) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(bold);
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    label->setWordWrap(!bold);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// One grid for every topic, so the keys of all topics line up in one column.
QWidget* helpPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(16);
    int row = 0;
    for (const HelpTopic& topic : HelpTopic::all()) {
        if (row > 0)
            grid->setRowMinimumHeight(row++, 12);
        grid->addWidget(label(topic.title, true, 1.25), row++, 0, 1, 2);
        for (const HelpEntry& entry : topic.entries) {
            grid->addWidget(label(entry.keys, true), row, 0, Qt::AlignTop);
            grid->addWidget(label(entry.text, false), row++, 1, Qt::AlignTop);
        }
    }
    grid->setRowStretch(row, 1);
    return page;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(tr("Kestrin Help"));
    setWindowIcon(ApplicationResources::applicationIcon());
    auto* scroll = new QScrollArea;
    scroll->setWidget(helpPage());
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    // It has no menu bar of its own: Ctrl+W and Esc close it as they close other windows.
    auto* closeAction = new QAction(tr("Close"), this);
    closeAction->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+W")), QKeySequence(Qt::Key_Escape)});
    closeAction->setShortcutContext(Qt::WindowShortcut);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
    resize(640, 640);
}
