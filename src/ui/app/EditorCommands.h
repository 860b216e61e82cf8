#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class AppCoordinator;
class DocumentWindow;
class EditorState;
class QAction;
class QMenu;
class QMenuBar;

// The menus of one document window and the commands in them. Every editing item acts on this
// window's editor; titles and enabled states follow the editor, the document, its undo
// stack, the clipboard and the settings. The single-key items can also be run by character,
// for the keyboard fixups.
class EditorCommands : public QObject {
    Q_OBJECT

public:
    EditorCommands(DocumentWindow& window, AppCoordinator& coordinator);

    // The command's action, by its object name ("zoomIn", "toggleTimeline", ...).
    QAction* action(const QString& name) const;
    // Runs the single-key command of a character when it is enabled; false otherwise.
    bool triggerSingleKey(QChar character);
    // Re-reads every title and enabled state.
    void refresh();

private:
    struct Command {
        QString name;
        QString title;
        QList<QKeySequence> keys;
        std::function<void()> run;
        std::function<bool()> isEnabled = {};       // always enabled when empty
        std::function<QString()> dynamicTitle = {}; // the fixed title when empty
    };

    QAction* add(QMenu* menu, Command command);
    void addSingleKey(QMenu* menu, QChar key, Command command);
    void buildFileMenu(QMenuBar* bar);
    void buildEditMenu(QMenuBar* bar);
    void buildToolsMenu(QMenuBar* bar);
    void buildLayerMenu(QMenuBar* bar);
    void buildAnimationMenu(QMenuBar* bar);
    void buildSelectMenu(QMenuBar* bar);
    void buildViewMenu(QMenuBar* bar);
    void buildWindowMenu(QMenuBar* bar);
    void buildHelpMenu(QMenuBar* bar);
    void fillRecentMenu(QMenu* menu);
    void fillWindowList(QMenu* menu, QAction* before);
    void watchForChanges();

    // Shared conditions of the enabled states.
    bool hasSelection() const;
    bool takesSingleKeys() const;

    DocumentWindow& window;
    AppCoordinator& coordinator;
    EditorState* editor;
    QList<std::pair<QPointer<QAction>, Command>> commands;
    QHash<QChar, QAction*> singleKeys;
};
