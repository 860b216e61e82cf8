#include "WelcomeView.h"

#include "ApplicationResources.h"
#include "RecentProjects.h"
#include "SymbolIcons.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& title, const QString& symbol,
                    const std::function<void()>* handler) {
    auto* button = new QPushButton(title);
    button->setProperty("symbol", symbol);
    button->setMinimumWidth(180);
    QObject::connect(button, &QPushButton::clicked, button, [handler] {
        if (*handler)
            (*handler)();
    });
    return button;
}

} // namespace

WelcomeView::WelcomeView(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Kestrin"));
    setWindowIcon(ApplicationResources::applicationIcon());
    setFixedSize(contentWidth, contentHeight);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(28, 28, 28, 28);
    row->setSpacing(28);
    row->addWidget(makeIntroduction());
    row->addWidget(makeRecentColumn(), 1);

    addShortcut(QKeySequence::New, &onNewSprite);
    addShortcut(QKeySequence::Open, &onOpen);
    addShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+I")), &onImport);
    addShortcut(QKeySequence::HelpContents, &onHelp);
    addShortcut(QKeySequence(QStringLiteral("Ctrl+Q")), &onQuit);
    auto* close = new QAction(this);
    close->setShortcuts({QKeySequence(QStringLiteral("Ctrl+W")), QKeySequence::Cancel});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

QWidget* WelcomeView::makeIntroduction() {
    auto* icon = new QLabel;
    icon->setPixmap(ApplicationResources::applicationIcon().pixmap(96));
    auto* name = new QLabel(QStringLiteral("Kestrin"));
    QFont nameFont = name->font();
    nameFont.setPointSize(26);
    name->setFont(nameFont);
    auto* promise = new QLabel(tr("A fast, focused pixel art editor for Linux."));
    promise->setWordWrap(true);

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon);
    layout->addWidget(name);
    layout->addWidget(promise);
    layout->addStretch();
    layout->addWidget(button(tr("New Sprite"), QStringLiteral("plus.square"), &onNewSprite));
    layout->addWidget(button(tr("Open…"), QStringLiteral("folder"), &onOpen));
    layout->addWidget(button(tr("Import PNG…"), QStringLiteral("arrow.down"), &onImport));
    layout->addWidget(button(tr("Kestrin Help"), QString(), &onHelp));
    column->setFixedWidth(240);
    return column;
}

QWidget* WelcomeView::makeRecentColumn() {
    recentList = new QListWidget;
    recentList->setIconSize(QSize(16, 16));
    connect(recentList, &QListWidget::itemClicked, this, &WelcomeView::openRecent);

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Recent")));
    layout->addWidget(recentList, 1);
    return column;
}

void WelcomeView::addShortcut(const QKeySequence& keys, const std::function<void()>* handler) {
    auto* action = new QAction(this);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, [handler] {
        if (*handler)
            (*handler)();
    });
    addAction(action);
}

void WelcomeView::reloadRecents() {
    shownRecents = RecentProjects::shown();
    recentList->clear();
    const QIcon grid = style()->standardIcon(QStyle::SP_FileDialogContentsView);
    for (const QString& path : std::as_const(shownRecents)) {
        auto* item = new QListWidgetItem(grid, QFileInfo(path).fileName(), recentList);
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
    }
    if (shownRecents.isEmpty()) {
        auto* empty = new QListWidgetItem(tr("No recent projects"), recentList);
        empty->setFlags(Qt::NoItemFlags);
    }
}

void WelcomeView::showEvent(QShowEvent* event) {
    reloadRecents();
    applySymbols();
    QWidget::showEvent(event);
}

// The symbols are drawn in the palette's text colour, so they follow the appearance.
void WelcomeView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbols();
    QWidget::changeEvent(event);
}

void WelcomeView::applySymbols() {
    for (QPushButton* button : findChildren<QPushButton*>()) {
        const QString symbol = button->property("symbol").toString();
        if (!symbol.isEmpty())
            button->setIcon(SymbolIcons::icon(symbol, palette(), 16));
    }
}

void WelcomeView::openRecent(QListWidgetItem* item) {
    const QString path = item->data(Qt::UserRole).toString();
    if (!path.isEmpty() && onOpenRecent)
        onOpenRecent(path);
}
