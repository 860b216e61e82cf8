#pragma once

#include <QWidget>
#include <functional>

class QListWidget;
class QListWidgetItem;

// The welcome window: Kestrin's name and promise, buttons to start a sprite, open a project,
// import a PNG or read the help, and the recent projects. Closing it only hides it.
class WelcomeView : public QWidget {
    Q_OBJECT

public:
    static constexpr int contentWidth = 620;
    static constexpr int contentHeight = 380;

    explicit WelcomeView(QWidget* parent = nullptr);

    std::function<void()> onNewSprite;
    std::function<void()> onOpen;
    std::function<void()> onImport;
    std::function<void()> onHelp;
    std::function<void()> onQuit;
    std::function<void(const QString& path)> onOpenRecent;

    // The listed projects, newest first; read again every time the window is shown.
    QStringList recents() const { return shownRecents; }
    void reloadRecents();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeIntroduction();
    QWidget* makeRecentColumn();
    void addShortcut(const QKeySequence& keys, const std::function<void()>* handler);
    void openRecent(QListWidgetItem* item);
    void applySymbols();

    QListWidget* recentList = nullptr;
    QStringList shownRecents;
};
