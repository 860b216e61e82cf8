#include "Clipboard.h"
#include "MemoryError.h"
#include "PixelRenderer.h"
#include "ToolFixture.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMimeData>
#include <functional>

namespace {

using Destination = FloatingPaste::Destination;

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter(&device, format).write(image);
    return bytes;
}

// What another program would put on the clipboard.
void offer(const QString& type, const QByteArray& bytes) {
    auto* data = new QMimeData;
    data->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

QImage solid(int width, int height, quint32 color) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

struct ClipboardFixture : ToolFixture {
    void SetUp() override {
        ToolFixture::SetUp();
        QGuiApplication::clipboard()->clear();
    }
    void pasteAt(PasteAnchor anchor, bool replacing = false,
                 Destination destination = Destination::activeLayer) {
        editor->paste(anchor, replacing, destination);
    }
};

} // namespace

using Clipboards = ClipboardFixture;

TEST_F(Clipboards, CopyThenPasteInPlaceOnAnotherFrame) {
    paint(5, 6, red);
    paint(6, 6, blue);
    editor->setSelection(PixelRect{4, 5, 4, 3});
    ASSERT_TRUE(editor->copySelection(false));
    EXPECT_EQ(editor->view().clipboardGeneration(), Clipboard::changeCount());
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(offered->hasFormat("image/png"));
    EXPECT_TRUE(offered->hasImage()); // other programs can take it as an image
    EXPECT_TRUE(editor->canPaste());
    EXPECT_TRUE(editor->canPasteInPlace());

    editor->addEmptyFrame();
    editor->setSelection(std::nullopt);
    pasteAt(PasteAnchor::inPlace);
    ASSERT_TRUE(editor->floatingPaste());
    EXPECT_EQ(editor->floatingPaste()->origin, (PixelPoint{4, 5}));
    EXPECT_FALSE(editor->floatingImage().isNull());
    EXPECT_FALSE(sprite().celPointer(0, 1)); // floating pixels are not in the document
    EXPECT_TRUE(editor->commitFloatingPaste());
    EXPECT_EQ(painted(0, 1), (QList<PixelPoint>{{5, 6}, {6, 6}}));
    EXPECT_EQ(pixel(6, 6, 0, 1), blue);
    EXPECT_EQ(editor->selection(), (PixelRect{4, 5, 4, 3}));
    EXPECT_EQ(lastStep(), "Paste");
    EXPECT_FALSE(editor->commitFloatingPaste());

    // Once another program copies, the pixels cannot go back in place.
    offer("image/png", encoded(solid(2, 2, green), "png"));
    EXPECT_TRUE(editor->canPaste());
    EXPECT_FALSE(editor->canPasteInPlace());
    pasteAt(PasteAnchor::inPlace);
    EXPECT_FALSE(editor->floatingPaste());
    pasteAt(PasteAnchor::selectionCorner); // lands on the selection's corner
    EXPECT_EQ(editor->floatingPaste()->origin, (PixelPoint{4, 5}));
    QGuiApplication::clipboard()->setText("plain words");
    EXPECT_FALSE(editor->canPaste());
}

TEST_F(Clipboards, ReplacingPasteClearsUnderItsHoles) {
    for (qint64 y = 0; y < 4; ++y)
        for (qint64 x = 0; x < 4; ++x)
            paint(x, y, blue);
    QImage clip = solid(3, 3, red);
    clip.setPixel(1, 1, 0); // a transparent hole
    for (const bool replacing : {false, true}) {
        SCOPED_TRACE(replacing ? "replacing" : "over");
        offer("image/png", encoded(clip, "png"));
        editor->setSelection(std::nullopt); // no selection: at the corner of the canvas
        pasteAt(PasteAnchor::selectionCorner, replacing);
        EXPECT_EQ(editor->floatingPaste()->origin, (PixelPoint{0, 0}));
        editor->commitFloatingPaste();
        EXPECT_EQ(pixel(1, 1), replacing ? 0u : blue);
        EXPECT_EQ(pixel(2, 2), red);
        EXPECT_EQ(pixel(3, 3), blue);
        undo().undo();
    }
}

TEST_F(Clipboards, FloatingPixelsDraggedHalfOffKeepOnlyTheVisiblePart) {
    offer("image/png", encoded(solid(4, 4, red), "png"));
    editor->setSelection(PixelRect{2, 2, 1, 1});
    pasteAt(PasteAnchor::selectionCorner);
    EXPECT_FALSE(editor->floatingPasteIsClipped());
    editor->pointerDown({3, 3}, {}); // inside: grabs
    EXPECT_TRUE(editor->floatingGrab());
    editor->pointerMoved({-1, 15}, {});
    EXPECT_EQ(editor->floatingPaste()->origin, (PixelPoint{-2, 14}));
    EXPECT_TRUE(editor->floatingPasteIsClipped());
    editor->pointerUp({-1, 15}, {});
    EXPECT_FALSE(editor->floatingGrab());
    EXPECT_TRUE(painted().isEmpty());

    editor->pointerDown({10, 3}, {}); // outside: places, paints nothing
    editor->pointerUp({10, 3}, {});
    EXPECT_FALSE(editor->floatingPaste());
    EXPECT_EQ(paintedSet(), pointsIn({0, 14, 2, 2}));
    EXPECT_EQ(editor->selection(), (PixelRect{0, 14, 2, 2}));
    EXPECT_EQ(undoCount(), 1);
}

TEST_F(Clipboards, PasteAsNewLayerIsMadeOnlyWhenPlaced) {
    editor->addLayer();
    editor->selectLayer(layerID(0));
    const qint64 steps = undoCount();
    offer("image/png", encoded(solid(2, 2, red), "png"));
    editor->setSelection(PixelRect{5, 5, 3, 3});
    pasteAt(PasteAnchor::selectionCorner, false, Destination::newLayer);
    editor->escape(); // only the floating pixels go
    EXPECT_FALSE(editor->floatingPaste());
    EXPECT_EQ(editor->selection(), (PixelRect{5, 5, 3, 3}));
    EXPECT_EQ(sprite().layers.size(), 2);
    EXPECT_EQ(undoCount(), steps);

    pasteAt(PasteAnchor::selectionCorner, false, Destination::newLayer);
    use(ToolKind::eraser); // changing tool places them
    ASSERT_EQ(sprite().layers.size(), 3);
    EXPECT_EQ(sprite().layers[1].name, "Layer 3");
    EXPECT_EQ(*sprite().activeLayerID, layerID(1));
    EXPECT_EQ(paintedSet(1), pointsIn({5, 5, 2, 2}));
    EXPECT_EQ(lastStep(), "Paste as New Layer");
    undo().undo();
    EXPECT_EQ(sprite().layers.size(), 2);
}

TEST_F(Clipboards, CopyMergedCutAndDelete) {
    paint(1, 1, 0x80FF0000);
    editor->addLayer();
    paint(1, 1, 0x800000FF);
    editor->setSelection(PixelRect{0, 0, 3, 3});
    ASSERT_TRUE(editor->copySelection(true));
    const auto merged = Clipboard::read();
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->width, 3);
    EXPECT_EQ(PixelColor(merged->pixels[4]), sprite().compositedColor({1, 1}, 0));
    EXPECT_NE(merged->pixels[4], 0x800000FFu);

    editor->cutSelection(); // the active layer's pixels go to the clipboard and leave it
    EXPECT_EQ(Clipboard::read()->pixels[4], 0x800000FFu);
    EXPECT_EQ(pixel(1, 1, 1), 0u);
    EXPECT_EQ(pixel(1, 1, 0), 0x80FF0000u);
    EXPECT_EQ(lastStep(), "Delete");

    // Nothing copied (an empty slot), nothing deleted: not even a blank cel is made.
    editor->addEmptyFrame();
    QGuiApplication::clipboard()->setText("kept");
    editor->cutSelection();
    EXPECT_FALSE(sprite().celPointer(1, 1));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");

    // Delete while pixels float only throws them away.
    offer("image/png", encoded(solid(2, 2, red), "png"));
    pasteAt(PasteAnchor::selectionCorner);
    const qint64 steps = undoCount();
    editor->deleteSelection();
    EXPECT_FALSE(editor->floatingPaste());
    EXPECT_EQ(undoCount(), steps);
    EXPECT_TRUE(editor->selection());
}

TEST_F(Clipboards, UnusableClipboardContentPastesNothingAndLosesNothing) {
    offer("image/png", encoded(solid(2, 2, red), "png"));
    pasteAt(PasteAnchor::selectionCorner);
    editor->setFloatingOrigin({3, 4});
    const FloatingPaste floating = *editor->floatingPaste();
    const QByteArray png = encoded(solid(3, 3, blue), "png");
    struct Bad {
        const char* name;
        std::function<void()> put;
    };
    const QList<Bad> cases = {
        {"text", [] { QGuiApplication::clipboard()->setText("not pixels"); }},
        {"corrupt PNG", [&] { offer("image/png", png.left(png.size() / 2) + "garbage"); }},
        {"empty PNG", [] { offer("image/png", QByteArray()); }},
        {"too wide", [] { offer("image/png", encoded(solid(5000, 10, red), "png")); }},
        {"too tall image object",
         [] { QGuiApplication::clipboard()->setImage(solid(2, 4097, red)); }},
        {"nothing", [] { QGuiApplication::clipboard()->clear(); }},
    };
    for (const Bad& bad : cases) {
        SCOPED_TRACE(bad.name);
        bad.put();
        EXPECT_FALSE(Clipboard::read());
        pasteAt(PasteAnchor::selectionCorner);
        pasteAt(PasteAnchor::inPlace, true, Destination::newLayer);
        EXPECT_EQ(editor->floatingPaste(), floating);
        EXPECT_TRUE(painted().isEmpty());
        EXPECT_EQ(undoCount(), 0);
    }

    // Images other programs offer in other formats are read, up to the size limit.
    offer("image/bmp", encoded(solid(4096, 1, blue), "bmp"));
    pasteAt(PasteAnchor::selectionCorner);
    EXPECT_EQ(editor->floatingPaste()->width, 4096);
    EXPECT_EQ(paintedSet(), pointsIn({3, 4, 2, 2})); // the earlier paste was placed first
}

TEST_F(Clipboards, FloatingPixelsArePlacedBeforeTheyCouldLandElsewhere) {
    struct Case {
        const char* name;
        std::function<void(EditorState&, PixelDocument&)> act;
    };
    const QList<Case> cases = {
        {"new frame", [](EditorState& e, PixelDocument&) { e.addEmptyFrame(); }},
        {"new layer", [](EditorState& e, PixelDocument&) { e.addLayer(); }},
        {"saving", [](EditorState&, PixelDocument& d) { d.snapshotForSaving(); }},
        {"copying", [](EditorState& e, PixelDocument&) { e.copySelection(false); }},
        {"deselecting", [](EditorState& e, PixelDocument&) { e.deselect(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(Sprite::blank(16, 16));
        offer("image/png", encoded(solid(2, 2, red), "png"));
        editor->setSelection(PixelRect{6, 6, 1, 1});
        pasteAt(PasteAnchor::selectionCorner);
        c.act(*editor, *document);
        EXPECT_FALSE(editor->floatingPaste());
        EXPECT_EQ(paintedSet(0, 0), pointsIn({6, 6, 2, 2}));
        EXPECT_EQ(undo().text(0), "Paste");
    }
}

TEST_F(Clipboards, SemiTransparentColoursSurviveCopyAndPasteExactly) {
    const QList<quint32> colours = {0x40102030, 0x01FFFFFF, 0x80FF0001, 0xFE7F7F7F};
    for (qint64 i = 0; i < colours.size(); ++i)
        paint(i, 0, colours[i]);
    editor->setSelection(PixelRect{0, 0, colours.size(), 1});
    ASSERT_TRUE(editor->copySelection(false));
    const QImage offeredImage =
        qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());

    // Kestrin's own PNG, and the same pixels handed over as an image object only.
    for (const bool asImageObject : {false, true}) {
        SCOPED_TRACE(asImageObject ? "image object" : "png");
        if (asImageObject)
            QGuiApplication::clipboard()->setImage(offeredImage);
        editor->addEmptyFrame();
        editor->setSelection(std::nullopt);
        pasteAt(PasteAnchor::selectionCorner);
        ASSERT_TRUE(editor->commitFloatingPaste());
        const qint64 frame = editor->displayFrame();
        for (qint64 i = 0; i < colours.size(); ++i)
            EXPECT_EQ(pixel(i, 0, 0, frame), colours[i]) << "pixel " << i;
    }
}

TEST_F(Clipboards, RunningOutOfMemoryRefusesPasteAndTakesAStrokeBack) {
    QStringList messages;
    QObject::connect(editor.get(), &EditorState::refused,
                     [&](const QString& message) { messages.append(message); });
    paint(1, 1, red);
    const Sprite before = sprite();
    const qint64 steps = undo().count();
    offer("image/png", encoded(solid(12, 12, 0xFF00FF00), "png"));
    {
        const MemoryError::FailingFrom failing(12 * 12);
        pasteAt(PasteAnchor::selectionCorner);
        EXPECT_FALSE(editor->floatingPaste().has_value());

        // A new frame has no cel: the first pixel drawn on it needs a whole canvas.
        editor->addEmptyFrame();
        use(ToolKind::pencil);
        drag({{2, 2}, {3, 3}});
        EXPECT_EQ(sprite().celPointer(0, 1), nullptr);
        EXPECT_FALSE(editor->isGestureActive());
    }
    EXPECT_EQ(messages, QStringList({"There is not enough memory to paste.",
                                     "There is not enough memory to draw."}));
    EXPECT_EQ(undo().count(), steps + 1); // only the new frame
    undo().undo();
    EXPECT_EQ(sprite(), before);

    // With memory enough both work again.
    pasteAt(PasteAnchor::selectionCorner);
    EXPECT_TRUE(editor->floatingPaste().has_value());
}
