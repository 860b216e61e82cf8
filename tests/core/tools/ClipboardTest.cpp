#include "Clipboard.h"
#include "MemoryError.h"
#include "ToolFixture.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMimeData>
#include <functional>

namespace {

using Destination = FloatingPaste::Destination;

QImage solid(int width, int height, quint32 color) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QByteArray encoded(const QImage& image, const char* format = "png") {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter(&device, format).write(image);
    return bytes;
}

// What another program would put on the clipboard.
void offer(const QByteArray& bytes, const QString& type = "image/png") {
    auto* data = new QMimeData;
    data->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

struct Clipboards : ToolFixture {
    void SetUp() override {
        ToolFixture::SetUp();
        QGuiApplication::clipboard()->clear();
    }
    void paste(PasteAnchor anchor = PasteAnchor::selectionCorner, bool replacing = false,
               Destination destination = Destination::activeLayer) {
        editor->paste(anchor, replacing, destination);
    }
};

} // namespace

TEST_F(Clipboards, CopyThenPasteOnAnotherFrameKeepsEveryWordExactly) {
    const QList<quint32> colours = {0x40102030, 0x01FFFFFF, 0x80FF0001, 0xFE7F7F7F, blue};
    for (qint64 i = 0; i < colours.size(); ++i)
        paint(5 + i, 6, colours[i]);
    editor->setSelection(PixelRect{4, 5, 7, 3});
    ASSERT_TRUE(editor->copySelection(false));
    EXPECT_TRUE(editor->canPasteInPlace());
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    const QImage offeredImage = qvariant_cast<QImage>(offered->imageData()); // for other programs

    // Kestrin's own PNG back in place, then the same pixels as another program's image object.
    for (const bool fromElsewhere : {false, true}) {
        if (fromElsewhere)
            QGuiApplication::clipboard()->setImage(offeredImage);
        editor->addEmptyFrame();
        editor->setSelection(std::nullopt);
        paste(fromElsewhere ? PasteAnchor::selectionCorner : PasteAnchor::inPlace);
        const qint64 frame = editor->displayFrame();
        const PixelPoint origin = fromElsewhere ? PixelPoint{0, 0} : PixelPoint{4, 5};
        EXPECT_FALSE(sprite().celPointer(0, frame)); // floating pixels are not in the document
        EXPECT_TRUE(editor->commitFloatingPaste());
        EXPECT_FALSE(editor->commitFloatingPaste());
        EXPECT_EQ(painted(0, frame).size(), colours.size());
        for (qint64 i = 0; i < colours.size(); ++i)
            EXPECT_EQ(pixel(origin.x + 1 + i, origin.y + 1, 0, frame), colours[i]) << i;
        EXPECT_EQ(editor->selection(), (PixelRect{origin.x, origin.y, 7, 3}));
        EXPECT_EQ(lastStep(), "Paste");
    }

    // Once another program has copied, the pixels cannot go back in place.
    EXPECT_TRUE(editor->canPaste());
    EXPECT_FALSE(editor->canPasteInPlace());
    editor->setSelection(std::nullopt);
    paste(PasteAnchor::inPlace);
    EXPECT_FALSE(editor->floatingPaste());
    QGuiApplication::clipboard()->setText("plain words");
    EXPECT_FALSE(editor->canPaste());
}

TEST_F(Clipboards, ReplacingPasteClearsUnderItsHoles) {
    for (const PixelPoint& p : pointsIn({0, 0, 4, 4}))
        paint(p.x, p.y, blue);
    QImage clip = solid(3, 3, red);
    clip.setPixel(1, 1, 0); // a transparent hole
    offer(encoded(clip));
    for (const bool replacing : {false, true}) {
        editor->setSelection(PixelRect{1, 1, 1, 1}); // lands on the selection's corner
        paste(PasteAnchor::selectionCorner, replacing);
        editor->commitFloatingPaste();
        EXPECT_EQ(pixel(2, 2), replacing ? 0u : blue);
        EXPECT_EQ(pixel(3, 3), red);
        EXPECT_EQ(pixel(0, 0), blue);
        undo().undo();
    }
}

TEST_F(Clipboards, FloatingPixelsDraggedHalfOffKeepOnlyTheVisiblePart) {
    offer(encoded(solid(4, 4, red)));
    editor->setSelection(PixelRect{2, 2, 1, 1});
    paste();
    drag({{3, 3}, {-1, 15}}); // grabbed inside
    EXPECT_EQ(editor->floatingPaste()->origin, (PixelPoint{-2, 14}));
    EXPECT_TRUE(painted().isEmpty());
    click({10, 3}); // outside: places, paints nothing
    EXPECT_FALSE(editor->floatingPaste());
    EXPECT_EQ(paintedSet(), pointsIn({0, 14, 2, 2}));
    EXPECT_EQ(editor->selection(), (PixelRect{0, 14, 2, 2}));
    EXPECT_EQ(undoCount(), 1);
}

TEST_F(Clipboards, PasteAsNewLayerIsMadeOnlyWhenPlaced) {
    editor->addLayer();
    editor->selectLayer(layerID(0));
    const qint64 steps = undoCount();
    offer(encoded(solid(2, 2, red)));
    editor->setSelection(PixelRect{5, 5, 3, 3});
    paste(PasteAnchor::selectionCorner, false, Destination::newLayer);
    editor->escape(); // only the floating pixels go
    EXPECT_EQ(editor->selection(), (PixelRect{5, 5, 3, 3}));
    EXPECT_EQ(sprite().layers.size(), 2);
    EXPECT_EQ(undoCount(), steps);

    paste(PasteAnchor::selectionCorner, false, Destination::newLayer);
    use(ToolKind::eraser); // changing tool places them
    ASSERT_EQ(sprite().layers.size(), 3);
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
    offer(encoded(solid(2, 2, red)));
    paste();
    const qint64 steps = undoCount();
    editor->deleteSelection();
    EXPECT_FALSE(editor->floatingPaste());
    EXPECT_EQ(undoCount(), steps);
    EXPECT_TRUE(editor->selection());
}

TEST_F(Clipboards, UnusableClipboardContentPastesNothingAndLosesNothing) {
    offer(encoded(solid(2, 2, red)));
    paste();
    editor->setFloatingOrigin({3, 4});
    const FloatingPaste floating = *editor->floatingPaste();
    const QByteArray png = encoded(solid(3, 3, blue));
    const QList<std::pair<const char*, std::function<void()>>> cases = {
        {"text", [] { QGuiApplication::clipboard()->setText("not pixels"); }},
        {"corrupt PNG", [&] { offer(png.left(png.size() / 2) + "garbage"); }},
        {"empty PNG", [] { offer(QByteArray()); }},
        {"too wide", [] { offer(encoded(solid(5000, 10, red))); }},
        {"too tall image", [] { QGuiApplication::clipboard()->setImage(solid(2, 4097, red)); }},
        {"nothing", [] { QGuiApplication::clipboard()->clear(); }},
    };
    for (const auto& [name, put] : cases) {
        put();
        EXPECT_FALSE(Clipboard::read());
        paste();
        paste(PasteAnchor::inPlace, true, Destination::newLayer);
        EXPECT_EQ(editor->floatingPaste(), floating);
        EXPECT_TRUE(painted().isEmpty());
        EXPECT_EQ(undoCount(), 0);
    }

    // Images other programs offer in other formats are read, up to the size limit.
    offer(encoded(solid(4096, 1, blue), "bmp"), "image/bmp");
    paste();
    EXPECT_EQ(editor->floatingPaste()->width, 4096);
    EXPECT_EQ(paintedSet(), pointsIn({3, 4, 2, 2})); // the earlier paste was placed first
}

TEST_F(Clipboards, FloatingPixelsArePlacedBeforeTheyCouldLandElsewhere) {
    const QList<std::pair<const char*, std::function<void()>>> cases = {
        {"new frame", [&] { editor->addEmptyFrame(); }},
        {"new layer", [&] { editor->addLayer(); }},
        {"saving", [&] { document->snapshotForSaving(); }},
        {"copying", [&] { editor->copySelection(false); }},
        {"deselecting", [&] { editor->deselect(); }},
    };
    for (const auto& [name, act] : cases) {
        open(Sprite::blank(16, 16));
        offer(encoded(solid(2, 2, red)));
        editor->setSelection(PixelRect{6, 6, 1, 1});
        paste();
        act();
        EXPECT_FALSE(editor->floatingPaste());
        EXPECT_EQ(paintedSet(0, 0), pointsIn({6, 6, 2, 2}));
        EXPECT_EQ(undo().text(0), "Paste");
    }
}

TEST_F(Clipboards, RunningOutOfMemoryRefusesPasteAndTakesAStrokeBack) {
    QStringList messages;
    QObject::connect(editor.get(), &EditorState::refused,
                     [&](const QString& message) { messages.append(message); });
    paint(1, 1, red);
    const Sprite before = sprite();
    offer(encoded(solid(12, 12, green)));
    {
        const MemoryError::FailingFrom failing(12 * 12);
        paste();

        // A new frame has no cel: the first pixel drawn on it needs a whole canvas.
        editor->addEmptyFrame();
        use(ToolKind::pencil);
        drag({{2, 2}, {3, 3}});
        EXPECT_EQ(sprite().celPointer(0, 1), nullptr);
        EXPECT_FALSE(editor->isGestureActive());
    }
    EXPECT_EQ(messages, QStringList({"There is not enough memory to paste.",
                                     "There is not enough memory to draw."}));
    EXPECT_EQ(undoCount(), 2); // the stroke before, and the new frame
    undo().undo();
    EXPECT_EQ(sprite(), before);
    paste(); // with memory enough it works again
    EXPECT_TRUE(editor->floatingPaste().has_value());
}
