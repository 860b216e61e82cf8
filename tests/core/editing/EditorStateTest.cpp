#include "EditorFixture.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <functional>

TEST_F(EditorFixture, ObservedFieldsAnnounceOnlyRealChanges) {
    const QList<std::pair<const char*, std::function<void(EditorState&)>>> changes = {
        {"activeTool", [](EditorState& e) { e.setActiveTool(ToolKind::fill); }},
        {"primaryColor", [](EditorState& e) { e.setPrimaryColor(PixelColor(red)); }},
        {"brushSize", [](EditorState& e) { e.setBrushSize(5); }},
        {"pixelPerfect", [](EditorState& e) { e.setPixelPerfect(true); }},
        {"shapeFilled", [](EditorState& e) { e.setShapeFilled(true); }},
        {"symmetry", [](EditorState& e) { e.setSymmetry(SymmetryMode::both); }},
        {"selection", [](EditorState& e) { e.setSelection(PixelRect(1, 1, 2, 2)); }},
    };
    for (const auto& [name, set] : changes) {
        const QMetaProperty property = EditorState::staticMetaObject.property(
            EditorState::staticMetaObject.indexOfProperty(name));
        ASSERT_TRUE(property.hasNotifySignal()) << name;
        QSignalSpy spy(editor.get(), property.notifySignal());
        property.write(editor.get(), property.read(editor.get())); // the same value again
        EXPECT_EQ(spy.count(), 0) << name;
        set(*editor);
        set(*editor);
        EXPECT_EQ(spy.count(), 1) << name;
    }
}

TEST_F(EditorFixture, SimpleCommands) {
    editor->setBrushSize(32);
    editor->increaseBrushSize();
    EXPECT_EQ(editor->brushSize(), 32);
    editor->setBrushSize(-3);
    EXPECT_EQ(editor->brushSize(), 1);
    editor->decreaseBrushSize();
    EXPECT_EQ(editor->brushSize(), 1);

    editor->setPrimaryColor(PixelColor(red));
    editor->swapColors();
    EXPECT_EQ(editor->primaryColor().raw, 0xFFFFFFFFu);
    EXPECT_EQ(editor->secondaryColor().raw, red);

    editor->setSymmetry(SymmetryMode::diagonal);
    editor->setSymmetry(SymmetryMode::diagonal);
    EXPECT_EQ(invalidated, QList<std::optional<PixelRect>>{std::nullopt}); // once, whole canvas

    editor->setPreview(ToolPreview{PixelSpans::rectangle({1, 1, 1, 1}), PixelColor(red)});
    editor->clearPreview();
    editor->clearPreview();
    EXPECT_FALSE(editor->preview().has_value());
    EXPECT_EQ(invalidated.size(), 2);
}

TEST_F(EditorFixture, ReplacedSpriteResetsViewState) {
    QList<EditorViewState::ZoomIntent> zooms;
    editor->view().performZoom = [&](EditorViewState::ZoomIntent intent) { zooms.append(intent); };
    editor->setSelection(PixelRect{0, 0, 2, 2});
    editor->view().setCursorPixel(PixelPoint{1, 1});
    editor->beginStroke();
    Sprite replacement = Sprite::blank(40, 30);
    replacement.insertFrame(1);
    document->setSprite(replacement);
    editor->spriteWasReplaced();
    EXPECT_FALSE(editor->selection());
    EXPECT_FALSE(editor->view().cursorPixel());
    EXPECT_FALSE(editor->isGestureActive());
    EXPECT_TRUE(editor->view().isTimelinePresented());
    EXPECT_EQ(zooms, QList<EditorViewState::ZoomIntent>{EditorViewState::ZoomIntent::fit});

    // An editor opened on an animation shows its timeline from the start.
    const EditorState second(document.get());
    EXPECT_TRUE(second.view().isTimelinePresented());
}

TEST_F(EditorFixture, SavingAfterTheEditorClosedIsSafe) {
    editor.reset();
    const auto snapshot = document->snapshotForSaving(); // its hook held the editor weakly
    EXPECT_EQ(snapshot.sprite, sprite());
}
