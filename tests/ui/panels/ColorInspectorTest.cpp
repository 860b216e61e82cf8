#include "ColorInspector.h"
#include "AlphaSlider.h"
#include "ColorWellPair.h"
#include "HueSlider.h"
#include "PanelFixture.h"
#include "SaturationValueSquare.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct ColorInspectorTest : PanelFixture {
    ColorInspector* panel = nullptr;

    void SetUp() override {
        PanelFixture::SetUp();
        panel = show<ColorInspector>();
    }

    void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        for (QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(field, c.toLatin1());
            else // QTest maps only ASCII to keys; a typed character needs no key code
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), {});
        }
        QTest::keyClick(field, Qt::Key_Return);
    }
    QStringList channelTexts() const {
        QStringList texts;
        for (auto channel : {ColorInspector::red, ColorInspector::green, ColorInspector::blue,
                             ColorInspector::alpha})
            texts.append(panel->channelField(channel)->text());
        return texts;
    }
    // Gives a strip a track of the given width, so that fractions of it fall on whole pixels,
    // and clicks at a fraction of it.
    void clickStrip(ColorStrip* strip, int trackWidth, double fraction) {
        strip->setFixedWidth(trackWidth + ColorStrip::stripHeight);
        panel->layout()->activate();
        const QRectF track = strip->trackRect();
        ASSERT_EQ(track.width(), trackWidth);
        const QPointF point(track.left() + fraction * track.width(), track.center().y());
        QTest::mouseClick(strip, Qt::LeftButton, {}, point.toPoint());
    }
};

} // namespace

TEST_F(ColorInspectorTest, HexFieldTakesValidColoursAndRevertsAnythingElse) {
    type(panel->hexField(), " #ff8000 ");
    EXPECT_EQ(editor->primaryColor(), PixelColor(0xFFFF8000));
    EXPECT_EQ(panel->hexField()->text(), "#FF8000");
    EXPECT_EQ(channelTexts(), (QStringList{"255", "128", "0", "255"}));
    EXPECT_NEAR(panel->hue(), 30.1, 0.2);

    type(panel->hexField(), "zq");
    EXPECT_EQ(panel->hexField()->text(), "#FF8000");
    EXPECT_EQ(editor->primaryColor(), PixelColor(0xFFFF8000));

    type(panel->hexField(), "#12345680");
    EXPECT_EQ(editor->primaryColor(), PixelColor(0x80123456));
    EXPECT_EQ(panel->hexField()->text(), "#12345680");
    EXPECT_FALSE(undo().canUndo());

    // While a field has the focus, typed letters are not tool shortcuts.
    EXPECT_TRUE(editor->view().isEditingText());
    window->setFocus();
    EXPECT_FALSE(editor->view().isEditingText());
}

TEST_F(ColorInspectorTest, ChannelFieldsClampAndKeepTheOtherChannels) {
    editor->setPrimaryColor(PixelColor::fromChannels(10, 20, 30, 200));
    struct Entry {
        ColorInspector::Channel channel;
        QString text;
        QStringList shown;
    };
    const QList<Entry> entries = {
        {ColorInspector::green, "300", {"10", "255", "30", "200"}},
        {ColorInspector::green, "-5", {"10", "0", "30", "200"}},
        {ColorInspector::red, "\u221212", {"0", "0", "30", "200"}},
        {ColorInspector::alpha, "  77 ", {"0", "0", "30", "77"}},
        {ColorInspector::blue, "lots", {"0", "0", "30", "77"}}, // not a number: put back
    };
    for (const Entry& entry : entries) {
        type(panel->channelField(entry.channel), entry.text);
        EXPECT_EQ(channelTexts(), entry.shown) << entry.text.toStdString();
    }
    EXPECT_EQ(editor->primaryColor(), PixelColor::fromChannels(0, 0, 30, 77));
    EXPECT_EQ(panel->hexField()->text(), "#00001E4D");
    EXPECT_TRUE(editor->view().isEditingText());
}

TEST_F(ColorInspectorTest, StripsAndSquareWriteThePrimaryColourAndKeepTheHueThroughGreys) {
    clickStrip(panel->alphaSlider(), 200, 0.5);
    EXPECT_EQ(editor->primaryColor().alpha(), 128);

    editor->setPrimaryColor(PixelColor(0xFFFF0000));
    clickStrip(panel->hueSlider(), 360, 0.5);
    EXPECT_DOUBLE_EQ(panel->hue(), 180);
    EXPECT_EQ(editor->primaryColor(), PixelColor(0xFF00FFFF));

    // Down to black and back up: the hue chosen before comes back, not red.
    QWidget* square = panel->saturationValueSquare();
    QTest::mousePress(square, Qt::LeftButton, {}, QPoint(square->width() - 1, 0));
    QTest::mouseMove(square, QPoint(square->width() - 1, square->height() + 30));
    EXPECT_EQ(editor->primaryColor(), PixelColor(0xFF000000));
    QTest::mouseMove(square, QPoint(square->width() + 50, -10));
    QTest::mouseRelease(square, Qt::LeftButton, {}, QPoint(square->width() + 50, -10));
    EXPECT_EQ(editor->primaryColor(), PixelColor(0xFF00FFFF));
    EXPECT_EQ(panel->alphaSlider()->base(), PixelColor(0xFF00FFFF));
    EXPECT_FALSE(undo().canUndo());

    // A grey from elsewhere (the eyedropper) is shown, keeps the hue and is not written back.
    QSignalSpy primaryChanges(editor.get(), &EditorState::primaryColorChanged);
    editor->setPrimaryColor(PixelColor(0x80808080));
    EXPECT_EQ(primaryChanges.count(), 1);
    EXPECT_DOUBLE_EQ(panel->hue(), 180);
    EXPECT_DOUBLE_EQ(panel->hueSlider()->hue(), 180);
    EXPECT_EQ(panel->saturation(), 0);
    EXPECT_NEAR(panel->alphaFraction(), 128 / 255.0, 1e-9);
    EXPECT_EQ(panel->hexField()->text(), "#80808080");
    EXPECT_EQ(channelTexts(), (QStringList{"128", "128", "128", "128"}));
}

TEST_F(ColorInspectorTest, ClickingTheWellsSwapsTheColours) {
    editor->setPrimaryColor(PixelColor(0xFFFF0000));
    editor->setSecondaryColor(PixelColor(0xFF0000FF));
    auto* wells = new ColorWellPair(editor.get(), 22, 10, window.get());
    wells->show();
    QTest::mouseClick(wells, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(editor->primaryColor(), PixelColor(0xFF0000FF));
    EXPECT_EQ(editor->secondaryColor(), PixelColor(0xFFFF0000));
}
