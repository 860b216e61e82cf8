#include "EditorCommands.h"

#include "AppCoordinator.h"
#include "DocumentWindow.h"
#include "RecentProjects.h"
#include "EditorState.h"
#include "AppSettings.h"
#include "ToolKind.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>

namespace {

QList<QKeySequence> keys(std::initializer_list<const char*> portableTexts) {
    QList<QKeySequence> sequences;
    for (const char* text : portableTexts)
        sequences.append(QKeySequence(QString::fromLatin1(text)));
    return sequences;
}

} // namespace

EditorCommands::EditorCommands(DocumentWindow& window, AppCoordinator& coordinator)
    : QObject(&window), window(window), coordinator(coordinator), editor(window.editor()) {
    QMenuBar* bar = window.menuBar();
    buildFileMenu(bar);
    buildEditMenu(bar);
    buildToolsMenu(bar);
    buildLayerMenu(bar);
    buildAnimationMenu(bar);
    buildSelectMenu(bar);
    buildViewMenu(bar);
    buildWindowMenu(bar);
    buildHelpMenu(bar);
    for (QMenu* menu : bar->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &EditorCommands::refresh);
    watchForChanges();
    refresh();
}

QAction* EditorCommands::add(QMenu* menu, Command command) {
    auto* action = new QAction(command.title, this);
    action->setObjectName(command.name);
    action->setShortcuts(command.keys);
    connect(action, &QAction::triggered, this, [this, run = command.run] {
        run();
        refresh();
    });
    menu->addAction(action);
    commands.append({action, std::move(command)});
    return action;
}

void EditorCommands::addSingleKey(QMenu* menu, QChar key, Command command) {
    command.keys = {QKeySequence(QString(key.toUpper()))};
    singleKeys.insert(key, add(menu, std::move(command)));
}

QAction* EditorCommands::action(const QString& name) const {
    for (const auto& [action, command] : commands) {
        if (command.name == name)
            return action;
    }
    return nullptr;
}

bool EditorCommands::triggerSingleKey(QChar character) {
    refresh();
    QAction* action = singleKeys.value(character);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

void EditorCommands::refresh() {
    for (const auto& [action, command] : std::as_const(commands)) {
        if (!action)
            continue;
        action->setEnabled(!command.isEnabled || command.isEnabled());
        if (command.dynamicTitle)
            action->setText(command.dynamicTitle());
    }
}

// Every value a title or an enabled state reads announces its changes through one of these.
void EditorCommands::watchForChanges() {
    const auto update = [this] { refresh(); };
    connect(editor, &EditorState::selectionChanged, this, update);
    connect(&editor->view(), &EditorViewState::timelinePresentedChanged, this, update);
    connect(&editor->view(), &EditorViewState::showPixelGridChanged, this, update);
    connect(&editor->view(), &EditorViewState::editingTextChanged, this, update);
    connect(&editor->playback(), &Playback::playingChanged, this, update);
    connect(editor, &EditorState::gestureActiveChanged, this, update);
    connect(&editor->view(), &EditorViewState::clipboardGenerationChanged, this, update);
    connect(editor, &EditorState::floatingPasteChanged, this, update);
    connect(editor->document(), &PixelDocument::changed, this, update);
    QUndoStack* stack = editor->document()->undoStack();
    connect(stack, &QUndoStack::indexChanged, this, update);
    connect(stack, &QUndoStack::cleanChanged, this, update);
    connect(&AppSettings::shared(), &AppSettings::onionSkinEnabledChanged, this, update);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, update);
}

bool EditorCommands::hasSelection() const {
    return editor->selection().has_value();
}

bool EditorCommands::takesSingleKeys() const {
    return !editor->view().isEditingText();
}

void EditorCommands::buildFileMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&File"));
    add(menu, {"newSprite", tr("New Sprite…"), {QKeySequence::New}, [this] {
                   coordinator.newDocument();
               }});
    add(menu, {"open", tr("Open…"), {QKeySequence::Open}, [this] { coordinator.open(); }});
    QMenu* recent = menu->addMenu(tr("Open Recent"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentMenu(recent); });
    menu->addSeparator();
    add(menu, {"importPNG", tr("Import PNG…"), keys({"Ctrl+Shift+I"}),
               [this] { coordinator.importImage(); }});
    add(menu, {"importFrames", tr("Import as Frames…"), {},
               [this] { coordinator.importFrames(); }});
    add(menu, {"exportPNG", tr("Export as PNG…"), keys({"Ctrl+Shift+E"}),
               [this] { editor->view().setExportSheetPresented(true); }});
    menu->addSeparator();
    add(menu, {"save", tr("Save"), {QKeySequence::Save}, [this] { window.save(); }});
    add(menu, {"saveAs", tr("Save As…"), keys({"Ctrl+Shift+S"}), [this] { window.saveAs(); }});
    menu->addSeparator();
    add(menu, {"close", tr("Close"), keys({"Ctrl+W"}), [this] { window.close(); }});
    add(menu, {"quit", tr("Quit"), keys({"Ctrl+Q"}), [this] { coordinator.quit(); }});
}

void EditorCommands::fillRecentMenu(QMenu* menu) {
    menu->clear();
    const QStringList paths = RecentProjects::shown();
    for (const QString& path : paths) {
        QAction* item = menu->addAction(QFileInfo(path).fileName());
        item->setToolTip(path);
        connect(item, &QAction::triggered, this, [this, path] { coordinator.openDocument(path); });
    }
    if (paths.isEmpty())
        menu->addAction(tr("No recent projects"))->setEnabled(false);
    menu->addSeparator();
    QAction* clear = menu->addAction(tr("Clear Menu"));
    clear->setEnabled(!paths.isEmpty());
    connect(clear, &QAction::triggered, this, [] { RecentProjects::clear(); });
}

void EditorCommands::buildEditMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Edit"));
    QUndoStack* stack = editor->document()->undoStack();
    const auto named = [](const QString& verb, const QString& action) {
        return action.isEmpty() ? verb : tr("%1 %2").arg(verb, action);
    };
    // Undoing in the middle of a stroke would pull its pixels out from under the tool.
    add(menu, {"undo", tr("Undo"), QKeySequence::keyBindings(QKeySequence::Undo),
               [this, stack] {
                   if (!editor->isGestureActive())
                       stack->undo();
               },
               [this, stack] { return stack->canUndo() && !editor->isGestureActive(); },
               [stack, named] { return named(tr("Undo"), stack->undoText()); }});
    add(menu, {"redo", tr("Redo"), QKeySequence::keyBindings(QKeySequence::Redo),
               [this, stack] {
                   if (!editor->isGestureActive())
                       stack->redo();
               },
               [this, stack] { return stack->canRedo() && !editor->isGestureActive(); },
               [stack, named] { return named(tr("Redo"), stack->redoText()); }});
    menu->addSeparator();
    const auto selected = [this] { return hasSelection(); };
    add(menu,
        {"cut", tr("Cut"), {QKeySequence::Cut}, [this] { editor->cutSelection(); }, selected});
    add(menu, {"copy",
               tr("Copy"),
               {QKeySequence::Copy},
               [this] { editor->copySelection(false); },
               selected});
    add(menu, {"copyMerged", tr("Copy Merged"), keys({"Ctrl+Shift+C"}),
               [this] { editor->copySelection(true); }, selected});
    menu->addSeparator();
    using Destination = FloatingPaste::Destination;
    const auto canPaste = [this] { return editor->canPaste(); };
    add(menu,
        {"paste",
         tr("Paste"),
         {QKeySequence::Paste},
         [this] { editor->paste(PasteAnchor::selectionCorner, false, Destination::activeLayer); },
         canPaste});
    add(menu, {"pasteInPlace", tr("Paste in Place"), keys({"Ctrl+Shift+V"}),
               [this] { editor->paste(PasteAnchor::inPlace, false, Destination::activeLayer); },
               [this] { return editor->canPasteInPlace(); }});
    add(menu,
        {"pasteReplacing", tr("Paste Replacing"), keys({"Ctrl+Alt+V"}),
         [this] { editor->paste(PasteAnchor::selectionCorner, true, Destination::activeLayer); },
         canPaste});
    add(menu,
        {"pasteAsNewLayer", tr("Paste as New Layer"), keys({"Ctrl+Alt+Shift+V"}),
         [this] { editor->paste(PasteAnchor::selectionCorner, false, Destination::newLayer); },
         canPaste});
    add(menu, {"pasteAsNewSprite",
               tr("Paste as New Sprite"),
               {},
               [this] { coordinator.pasteAsNewSprite(); },
               canPaste});
    menu->addSeparator();
    add(menu, {"delete", tr("Delete"), keys({"Del", "Backspace"}),
               [this] { editor->deleteSelection(); }, selected});
    menu->addSeparator();
    add(menu,
        {"settings", tr("Settings…"), keys({"Ctrl+,"}), [this] { coordinator.showSettings(); }});
}

void EditorCommands::buildToolsMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Tools"));
    const auto singleKeysAllowed = [this] { return takesSingleKeys(); };
    for (ToolKind tool : ToolKinds::all) {
        addSingleKey(menu, ToolKinds::shortcut(tool),
                     {QStringLiteral("tool.") + ToolKinds::rawValue(tool),
                      ToolKinds::title(tool),
                      {},
                      [this, tool] { editor->setActiveTool(tool); },
                      singleKeysAllowed});
    }
    menu->addSeparator();
    addSingleKey(menu, u'[',
                 {"decreaseBrushSize",
                  tr("Decrease Brush Size"),
                  {},
                  [this] { editor->decreaseBrushSize(); },
                  singleKeysAllowed});
    addSingleKey(menu, u']',
                 {"increaseBrushSize",
                  tr("Increase Brush Size"),
                  {},
                  [this] { editor->increaseBrushSize(); },
                  singleKeysAllowed});
    addSingleKey(
        menu, u'x',
        {"swapColors", tr("Swap Colors"), {}, [this] { editor->swapColors(); }, singleKeysAllowed});
}

void EditorCommands::buildLayerMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Layer"));
    // Every layer command works on the active layer; without one they do nothing.
    const auto onActiveLayer = [this](auto operation) {
        return [this, operation] {
            if (const std::optional<QUuid> id = editor->document()->sprite().activeLayerID)
                operation(*id);
        };
    };
    add(menu,
        {"addLayer", tr("Add Layer"), keys({"Ctrl+Shift+N"}), [this] { editor->addLayer(); }});
    add(menu, {"duplicateLayer", tr("Duplicate Layer"), keys({"Ctrl+Shift+D"}),
               onActiveLayer([this](const QUuid& id) { editor->duplicateLayer(id); })});
    add(menu, {"mergeLayerDown", tr("Merge Layer Down"), keys({"Ctrl+E"}),
               onActiveLayer([this](const QUuid& id) { editor->mergeLayerDown(id); })});
    menu->addSeparator();
    add(menu, {"moveLayerUp", tr("Move Layer Up"), {}, onActiveLayer([this](const QUuid& id) {
                   editor->moveLayer(id, 1);
               })});
    add(menu, {"moveLayerDown", tr("Move Layer Down"), {}, onActiveLayer([this](const QUuid& id) {
                   editor->moveLayer(id, -1);
               })});
    menu->addSeparator();
    add(menu, {"deleteLayer",
               tr("Delete Layer"),
               {},
               onActiveLayer([this](const QUuid& id) { editor->deleteLayer(id); }),
               [this] { return editor->document()->sprite().layers.size() >= 2; }});
}

void EditorCommands::buildAnimationMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Animation"));
    AppSettings& settings = AppSettings::shared();
    add(menu, {"newFrame", tr("New Frame"), keys({"Ctrl+Alt+N"}),
               [this] { editor->duplicateFrame(tr("Add Frame")); }});
    add(menu, {"newEmptyFrame", tr("New Empty Frame"), keys({"Ctrl+Alt+Shift+N"}),
               [this] { editor->addEmptyFrame(); }});
    add(menu, {"clearFrame", tr("Clear Frame"), {}, [this] { editor->clearFrame(); }});
    menu->addSeparator();
    add(menu, {"toggleOnionSkin",
               tr("Show Onion Skin"),
               keys({"Ctrl+Alt+O"}),
               [&settings] { settings.setOnionSkinEnabled(!settings.onionSkinEnabled()); },
               {},
               [&settings] {
                   return settings.onionSkinEnabled() ? tr("Hide Onion Skin")
                                                      : tr("Show Onion Skin");
               }});
    menu->addSeparator();
    // With floating pixels on the canvas, Return places them instead.
    add(menu, {"togglePlayback", tr("Play Animation"), keys({"Return", "Enter"}),
               [this] { editor->playback().isPlaying() ? editor->playback().stop() : editor->startPlayback(); },
               [this] { return takesSingleKeys() && !editor->floatingPaste(); },
               [this] { return editor->playback().isPlaying() ? tr("Stop") : tr("Play Animation"); }});
    menu->addSeparator();
    add(menu, {"toggleTimeline",
               tr("Show Timeline"),
               keys({"Ctrl+Alt+T"}),
               [this] { editor->view().setTimelinePresented(!editor->view().isTimelinePresented()); },
               {},
               [this] {
                   return editor->view().isTimelinePresented() ? tr("Hide Timeline") : tr("Show Timeline");
               }});
    menu->addSeparator();
    const auto singleKeysAllowed = [this] { return takesSingleKeys(); };
    addSingleKey(menu, u',',
                 {"previousFrame",
                  tr("Previous Frame"),
                  {},
                  [this] { editor->selectPreviousFrame(); },
                  singleKeysAllowed});
    addSingleKey(menu, u'.',
                 {"nextFrame",
                  tr("Next Frame"),
                  {},
                  [this] { editor->selectNextFrame(); },
                  singleKeysAllowed});
    menu->addSeparator();
    add(menu, {"deleteFrame",
               tr("Delete Frame"),
               {},
               [this] { editor->deleteFrame(); },
               [this] { return editor->document()->sprite().frames.size() >= 2; }});
}

void EditorCommands::buildSelectMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Select"));
    add(menu, {"selectAll", tr("Select All"), {QKeySequence::SelectAll}, [this] {
                   editor->commitFloatingPaste();
                   editor->setSelection(editor->document()->sprite().bounds());
               }});
    add(menu, {"deselect", tr("Deselect"), keys({"Ctrl+Shift+A"}), [this] { editor->deselect(); },
               [this] { return hasSelection(); }});
}

void EditorCommands::buildViewMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&View"));
    using Intent = EditorViewState::ZoomIntent;
    const auto ask = [this](Intent intent) {
        return [this, intent] {
            if (editor->view().performZoom)
                editor->view().performZoom(intent);
        };
    };
    add(menu, {"zoomIn", tr("Zoom In"), keys({"Ctrl++", "Ctrl+="}), [this] { editor->view().zoomIn(); }});
    add(menu, {"zoomOut", tr("Zoom Out"), keys({"Ctrl+-"}), [this] { editor->view().zoomOut(); }});
    add(menu,
        {"actualSize", tr("Actual Size"), keys({"Ctrl+1"}), [this] { editor->view().setZoom(1.0); }});
    add(menu, {"fitCanvas", tr("Fit Canvas"), keys({"Ctrl+0"}), ask(Intent::fit)});
    add(menu, {"centerCanvas", tr("Center Canvas"), {}, ask(Intent::center)});
    menu->addSeparator();
    add(menu, {"togglePixelGrid",
               tr("Show Pixel Grid"),
               keys({"Ctrl+'"}),
               [this] { editor->view().setShowPixelGrid(!editor->view().showPixelGrid()); },
               {},
               [this] {
                   return editor->view().showPixelGrid() ? tr("Hide Pixel Grid") : tr("Show Pixel Grid");
               }});
}

void EditorCommands::buildWindowMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Window"));
    QAction* divider = menu->addSeparator();
    add(menu, {"welcome", tr("Welcome to Kestrin"), {}, [this] { coordinator.showWelcome(); }});
    connect(menu, &QMenu::aboutToShow, this,
            [this, menu, divider] { fillWindowList(menu, divider); });
}

// The open document windows, this one checked, above the fixed items.
void EditorCommands::fillWindowList(QMenu* menu, QAction* before) {
    for (QAction* item : menu->actions()) {
        if (item == before)
            break;
        menu->removeAction(item);
        item->deleteLater();
    }
    for (DocumentWindow* other : coordinator.documentWindows()) {
        auto* item = new QAction(other->displayName(), menu);
        item->setCheckable(true);
        item->setChecked(other == &window);
        connect(item, &QAction::triggered, other, [other] {
            other->raise();
            other->activateWindow();
        });
        menu->insertAction(before, item);
    }
}

void EditorCommands::buildHelpMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("&Help"));
    QList<QKeySequence> helpKeys = QKeySequence::keyBindings(QKeySequence::HelpContents);
    helpKeys.append(QKeySequence(QStringLiteral("Ctrl+?")));
    add(menu, {"help", tr("Kestrin Help"), helpKeys, [this] { coordinator.showHelp(); }});
}
