#include "ExportSheet.h"
#include "../../core/files/ExportTestSupport.h"
#include "ApngReader.h"
#include "AppSettings.h"
#include "EditorState.h"
#include "ExportPreviewView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrin::test;

namespace {

// A sheet over an editor, with panels that answer from the fixture and remember what they
// were asked.
class ExportSheetTest : public ::testing::Test {
protected:
    void SetUp() override { AppSettings::shared().setDefaultExportPercent(100); }

    void TearDown() override {
        sheet.reset();
        editor.reset();
    }

    void open(Sprite sprite, const QString& documentName = QStringLiteral("hero")) {
        sheet.reset();
        editor.reset();
        document = std::make_unique<PixelDocument>(std::move(sprite));
        editor = std::make_unique<EditorState>(document.get());
        editor->setUndoManager(document->undoStack());
        sheet = std::make_unique<ExportSheet>(editor.get(), documentName);
        sheet->panels.chooseFile = [this](QWidget*, const ExportSheet::SaveRequest& request) {
            saveRequests << request;
            return answer;
        };
        sheet->panels.chooseFolder = [this](QWidget*, const QString& message) {
            folderMessages << message;
            return answer;
        };
        sheet->panels.revealFolder = [this](const QString& folder) { revealed << folder; };
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
    }

    template <typename Widget> Widget* control(const char* name) const {
        auto* widget = sheet->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void choose(const char* picker, const QString& title) {
        QComboBox* combo = control<QComboBox>(picker);
        const int index = combo->findText(title);
        ASSERT_GE(index, 0) << picker << " offers no " << title.toStdString();
        combo->setCurrentIndex(index);
    }

    QStringList offered(const char* picker) const {
        QStringList items;
        QComboBox* combo = control<QComboBox>(picker);
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    bool shows(const char* name) const { return control<QWidget>(name)->isVisible(); }
    QString text(const char* label) const { return control<QLabel>(label)->text(); }
    QPushButton* exportButton() const { return control<QPushButton>("exportButton"); }

    // Clicks Export… and waits until whatever it started has been written or has failed.
    void clickExport() {
        QTest::mouseClick(exportButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !sheet->isExporting(); }, 60000));
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    std::unique_ptr<PixelDocument> document;
    std::unique_ptr<EditorState> editor;
    std::unique_ptr<ExportSheet> sheet;
    QTemporaryDir folder;
    QString answer; // what the panels answer; empty is a cancelled panel
    QList<ExportSheet::SaveRequest> saveRequests;
    QStringList folderMessages;
    QStringList revealed;
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Frame f has its own colour in a corner block; the second layer a pixel in every frame.
Sprite hero(qint64 frames) {
    Sprite sprite = animation(16, 16, frames, {100, 100, 200});
    for (qint64 f = 0; f < frames; ++f)
        fill(sprite, 0, f, {f, f, 4, 4}, 0xFF000000u | quint32(0x203040 * (f + 1)));
    const qint64 eyes = addLayer(sprite, QStringLiteral("Eyes"));
    for (qint64 f = 0; f < frames; ++f)
        paint(sprite, eyes, f, {10, 5}, 0x80FFFFFFu);
    return sprite;
}

} // namespace

TEST_F(ExportSheetTest, OpensAtTheLargestOfferedScaleNotAboveTheDefault) {
    AppSettings::shared().setDefaultExportPercent(150);
    open(Sprite::blank(64, 64));
    EXPECT_EQ(control<QComboBox>("scalePicker")->currentText(), "100%");
    EXPECT_EQ(sheet->choices().scale(), 100);
    EXPECT_EQ(control<QComboBox>("formatPicker")->currentText(), "Frame");
    EXPECT_EQ(control<QComboBox>("fileFormatPicker")->currentText(), "PNG");
    EXPECT_TRUE(exportButton()->isEnabled());
    EXPECT_TRUE(exportButton()->isDefault());
}

TEST_F(ExportSheetTest, IconOfNoIconSizeDisablesExportAndKeepsTheScale) {
    AppSettings::shared().setDefaultExportPercent(200);
    open(Sprite::blank(48, 32));
    choose("fileFormatPicker", "ICO");
    EXPECT_FALSE(exportButton()->isEnabled());
    EXPECT_TRUE(shows("noteLabel"));
    EXPECT_EQ(text("noteLabel"), "This canvas cannot be written as an ICO at any scale.");
    EXPECT_EQ(text("caveatLabel"), ExportFormats::caveat(ExportFormat::ico).value());
    EXPECT_TRUE(offered("scalePicker").isEmpty());
    EXPECT_EQ(sheet->choices().scale(), 200);

    choose("fileFormatPicker", "PNG");
    EXPECT_TRUE(exportButton()->isEnabled());
    EXPECT_FALSE(shows("noteLabel"));
    EXPECT_FALSE(shows("caveatLabel"));
    EXPECT_EQ(control<QComboBox>("scalePicker")->currentText(), "200%");
}

TEST_F(ExportSheetTest, ScaleFollowsTheOfferedListAsChoicesChange) {
    open(animation(16, 16, 2));
    choose("scalePicker", "1000%");
    choose("fileFormatPicker", "ICO");
    EXPECT_EQ(offered("scalePicker"), QStringList({"100%", "200%", "300%", "400%", "800%"}));
    EXPECT_EQ(control<QComboBox>("scalePicker")->currentText(), "800%");

    open(animation(4096, 4096, 8));
    choose("formatPicker", "Sprite Sheet");
    EXPECT_EQ(offered("scalePicker"), QStringList({"25%", "50%"}));
    EXPECT_EQ(sheet->choices().scale(), 50);
    choose("layoutPicker", "Grid"); // 4 × 2 frames: 16384 px wide at 100 %
    EXPECT_EQ(offered("scalePicker"), QStringList({"25%", "50%", "100%"}));
    QTest::keyClick(control<QSpinBox>("columnsStepper"), Qt::Key_Up); // 5 × 2 frames
    EXPECT_EQ(offered("scalePicker"), QStringList({"25%", "50%"}));
}

TEST_F(ExportSheetTest, ControlsShowOnlyWhereTheyApply) {
    open(hero(3));
    const QStringList sheetOnly = {"layoutPicker", "paddingStepper", "metadataToggle",
                                   "trimToggle"};
    for (const QString& name : sheetOnly)
        EXPECT_FALSE(shows(name.toLatin1())) << name.toStdString();
    EXPECT_FALSE(shows("columnsStepper"));

    choose("formatPicker", "Sprite Sheet");
    for (const QString& name : sheetOnly)
        EXPECT_TRUE(shows(name.toLatin1())) << name.toStdString();
    EXPECT_FALSE(shows("columnsStepper"));
    choose("layoutPicker", "Grid");
    EXPECT_TRUE(shows("columnsStepper"));
    EXPECT_EQ(control<QSpinBox>("columnsStepper")->text(), "Columns: 4");
    EXPECT_FALSE(control<QSpinBox>("paddingStepper")->toolTip().isEmpty());
    EXPECT_FALSE(control<QCheckBox>("trimToggle")->toolTip().isEmpty());

    choose("fileFormatPicker", "JPEG");
    EXPECT_TRUE(shows("caveatLabel"));
    choose("formatPicker", "GIF");
    EXPECT_FALSE(shows("fileFormatPicker"));
    EXPECT_FALSE(shows("caveatLabel"));
    EXPECT_FALSE(shows("layoutPicker"));
}

TEST_F(ExportSheetTest, SummaryFollowsEveryControl) {
    open(hero(3));
    choose("scalePicker", "200%");
    choose("formatPicker", "GIF");
    EXPECT_EQ(text("summaryLabel"), QStringLiteral("32 \u00D7 32 px\n3 frames \u00B7 400 ms loop"));

    choose("formatPicker", "Sprite Sheet");
    QSpinBox* padding = control<QSpinBox>("paddingStepper");
    QTest::keyClick(padding, Qt::Key_Up);
    QTest::keyClick(padding, Qt::Key_Up);
    EXPECT_EQ(padding->text(), "Padding: 2 px");
    // 3 × (16 + 2) + 2 = 56 by 16 + 4 = 20, doubled.
    EXPECT_EQ(text("summaryLabel"), QStringLiteral("112 \u00D7 40 px\n3 \u00D7 1 frames"));
    QTest::mouseClick(control<QCheckBox>("trimToggle"), Qt::LeftButton, Qt::NoModifier,
                      QPoint(4, 4));
    // The blocks span 0…5 across and down, the eyes sit at (10, 5): frames of 11 × 6, so
    // 3 × 13 + 2 = 41 by 6 + 4 = 10, doubled.
    EXPECT_EQ(text("summaryLabel"), QStringLiteral("82 \u00D7 20 px\n3 \u00D7 1 frames"));

    choose("formatPicker", "Every Layer as a PNG");
    EXPECT_EQ(text("summaryLabel"), QStringLiteral("32 \u00D7 32 px each\n2 files"));
}

TEST_F(ExportSheetTest, PaddedSheetOverTheLargestSideIsRefusedBeforeTheSaveDialog) {
    open(animation(2048, 8, 8)); // eight canvases side by side: exactly 16384 px at 100 %
    choose("formatPicker", "Sprite Sheet");
    EXPECT_TRUE(exportButton()->isEnabled());
    EXPECT_FALSE(shows("noteLabel"));

    QTest::keyClick(control<QSpinBox>("paddingStepper"), Qt::Key_Up);
    EXPECT_EQ(text("summaryLabel"), QStringLiteral("16393 \u00D7 10 px\n8 \u00D7 1 frames"));
    EXPECT_FALSE(exportButton()->isEnabled());
    EXPECT_TRUE(shows("noteLabel"));
    EXPECT_EQ(text("noteLabel"), "The export would be larger than 16384 px on a side.");

    choose("scalePicker", "50%"); // small enough again
    EXPECT_TRUE(exportButton()->isEnabled());
    EXPECT_FALSE(shows("noteLabel"));
}

TEST_F(ExportSheetTest, OneFrameGifIsRefusedWithANote) {
    open(hero(1));
    choose("formatPicker", "GIF");
    EXPECT_FALSE(exportButton()->isEnabled());
    EXPECT_EQ(text("noteLabel"), "A GIF needs more than one frame.");
    QTest::keyClick(sheet.get(), Qt::Key_Return);
    EXPECT_TRUE(saveRequests.isEmpty());
}

TEST_F(ExportSheetTest, FrameIsWrittenWhereTheUserChose) {
    Sprite sprite = hero(3);
    sprite.activeFrameIndex = 1;
    open(sprite);
    choose("scalePicker", "200%");
    answer = path("chosen.png");
    QTest::keyClick(sheet.get(), Qt::Key_Return); // the default button
    ASSERT_TRUE(QTest::qWaitFor([this] { return !sheet->isExporting(); }, 60000));

    ASSERT_EQ(saveRequests.size(), 1);
    EXPECT_EQ(saveRequests[0].suggestedName, "hero@2x.png");
    EXPECT_EQ(saveRequests[0].mimeType, "image/png");
    EXPECT_EQ(saveRequests[0].extension, "png");
    EXPECT_EQ(words(decodedImage(contents(answer))), words(expectedImage(sprite, 1, 200)));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(AppSettings::shared().defaultExportPercent(), 200);
}

TEST_F(ExportSheetTest, SheetWithMetadataWritesTheJsonBesideTheImage) {
    open(hero(3));
    choose("formatPicker", "Sprite Sheet");
    QTest::mouseClick(control<QCheckBox>("metadataToggle"), Qt::LeftButton, Qt::NoModifier,
                      QPoint(4, 4));
    ASSERT_TRUE(sheet->choices().includeMetadata());
    answer = path("hero-sheet.png");
    clickExport();

    ASSERT_EQ(saveRequests.size(), 1);
    EXPECT_EQ(saveRequests[0].suggestedName, "hero-sheet.png");
    EXPECT_EQ(decodedImage(contents(answer)).size(), QSize(48, 16));
    const QJsonObject metadata =
        QJsonDocument::fromJson(contents(path("hero-sheet.json"))).object();
    EXPECT_EQ(metadata["frames"].toArray().size(), 3);
    EXPECT_EQ(metadata["frames"].toArray()[2].toObject()["duration"].toInt(), 200);
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(ExportSheetTest, MetadataLayoutIsChosenOnceJsonIsAskedFor) {
    open(hero(3));
    choose("formatPicker", "Sprite Sheet");
    EXPECT_FALSE(shows("metadataPicker"));
    QTest::mouseClick(control<QCheckBox>("metadataToggle"), Qt::LeftButton, Qt::NoModifier,
                      QPoint(4, 4));
    EXPECT_TRUE(shows("metadataPicker"));
    EXPECT_EQ(offered("metadataPicker"), QStringList({"Kestrin", "Hash", "Array"}));
    choose("metadataPicker", "Hash");
    answer = path("hero-sheet.png");
    clickExport();
    const QJsonObject json = QJsonDocument::fromJson(contents(path("hero-sheet.json"))).object();
    EXPECT_EQ(json["meta"].toObject()["image"], "hero-sheet.png");
    EXPECT_EQ(json["frames"].toObject()["hero 2.png"].toObject()["duration"], 200);
}

TEST_F(ExportSheetTest, AnimatedPngKeepsEveryColourAndDuration) {
    open(hero(3));
    choose("formatPicker", "Animated PNG");
    EXPECT_FALSE(shows("fileFormatPicker"));
    choose("scalePicker", "200%");
    EXPECT_EQ(text("summaryLabel"), QStringLiteral("32 \u00D7 32 px\n3 frames \u00B7 400 ms loop"));
    answer = path("hero.png");
    clickExport();
    ASSERT_EQ(saveRequests.size(), 1);
    EXPECT_EQ(saveRequests[0].suggestedName, "hero.png");
    const ImportedFrames frames = ApngReader::read(contents(answer));
    EXPECT_EQ(frames.durations, QList<qint64>({100, 100, 200}));
    EXPECT_EQ(frames.images[2], words(expectedImage(sheet->choices().sprite(), 2, 200)));
}

TEST_F(ExportSheetTest, GifHoldsEveryFrameWithItsDelay) {
    open(hero(3));
    choose("formatPicker", "GIF");
    answer = path("hero.gif");
    clickExport();
    ASSERT_EQ(saveRequests.size(), 1);
    EXPECT_EQ(saveRequests[0].suggestedName, "hero.gif");
    EXPECT_EQ(saveRequests[0].mimeType, "image/gif");
    const std::optional<DecodedGif> gif = decodedGif(contents(answer));
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->delays, QList<qint64>({10, 10, 20}));
}

TEST_F(ExportSheetTest, CancelledPanelWritesNothingAndStaysOpen) {
    open(hero(2));
    for (const char* format : {"Frame", "Every Frame as a PNG"}) {
        choose("formatPicker", QString::fromLatin1(format));
        QSignalSpy ended(sheet.get(), &ExportSheet::exportEnded);
        clickExport();
        EXPECT_TRUE(ended.isEmpty()) << format;
        EXPECT_TRUE(sheet->isVisible()) << format;
        EXPECT_EQ(sheet->errorMessage(), std::nullopt) << format;
    }
    EXPECT_EQ(saveRequests.size(), 1);
    EXPECT_EQ(folderMessages, QStringList({"Choose a folder for one PNG per frame."}));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_TRUE(revealed.isEmpty());
}

TEST_F(ExportSheetTest, FailedWriteIsShownAndTheSheetStaysOpen) {
    open(hero(2));
    choose("scalePicker", "300%");
    QFile blocker(path("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    answer = path("not-a-folder/hero.png");
    clickExport();

    ASSERT_TRUE(sheet->errorMessage().has_value());
    EXPECT_FALSE(sheet->errorMessage()->isEmpty());
    EXPECT_TRUE(shows("errorLabel"));
    EXPECT_EQ(text("errorLabel"), *sheet->errorMessage());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(control<QComboBox>("scalePicker")->currentText(), "300%"); // choices kept
    EXPECT_EQ(AppSettings::shared().defaultExportPercent(), 100);

    // A batch into a folder that is not one fails the same way.
    choose("formatPicker", "Every Frame as a PNG");
    answer = path("not-a-folder");
    clickExport();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(revealed.isEmpty());
    EXPECT_EQ(sheet->exported(), 0);
}

TEST_F(ExportSheetTest, NextSheetOpensAtTheScaleLastExported) {
    open(hero(2));
    choose("scalePicker", "300%");
    answer = path("big.png");
    clickExport();
    ASSERT_FALSE(sheet->isVisible());

    open(hero(2));
    EXPECT_EQ(control<QComboBox>("scalePicker")->currentText(), "300%");
}

TEST_F(ExportSheetTest, BatchesWriteOneFilePerFrameOrVisibleLayerAndRevealTheFolder) {
    struct Case {
        const char* format;
        QStringList files;
        QString message;
    };
    const QList<Case> cases = {
        {"Every Frame as a PNG",
         {"hero_000.png", "hero_001.png", "hero_002.png"},
         "Choose a folder for one PNG per frame."},
        {"Every Layer as a PNG",
         {"hero_00_Layer 1.png", "hero_02_Eyes.png"},
         "Choose a folder for one PNG per visible layer."},
    };
    for (const Case& test : cases) {
        Sprite sprite = hero(3);
        sprite.layers.insert(1, Layer(QStringLiteral("Hidden"), 3));
        sprite.layers[1].isVisible = false;
        open(sprite);
        choose("formatPicker", QString::fromLatin1(test.format));
        const QString target = path(QString::fromLatin1(test.format));
        ASSERT_TRUE(QDir().mkpath(target));
        answer = target;
        folderMessages.clear();
        revealed.clear();
        clickExport();

        EXPECT_EQ(folderMessages, QStringList({test.message}));
        EXPECT_EQ(QDir(target).entryList(QDir::Files, QDir::Name), test.files) << test.format;
        EXPECT_EQ(sheet->exported(), test.files.size()) << test.format;
        EXPECT_EQ(revealed, QStringList({target})) << test.format;
        EXPECT_FALSE(sheet->isVisible()) << test.format;
    }
}

TEST_F(ExportSheetTest, EscapeCancelsAndFloatingPixelsArePlacedFirst) {
    document = std::make_unique<PixelDocument>(Sprite::blank(8, 8));
    auto floatingEditor = std::make_unique<EditorState>(document.get());
    floatingEditor->setUndoManager(document->undoStack());
    floatingEditor->setFloatingPaste(FloatingPaste{{0xFF00FF00u}, 1, 1, {3, 4}});
    ExportSheet floatingSheet(floatingEditor.get(), QStringLiteral("pasted"));
    EXPECT_FALSE(floatingEditor->floatingPaste().has_value());
    EXPECT_EQ(floatingSheet.choices().sprite().compositedColor({3, 4}, 0).raw, 0xFF00FF00u);

    floatingSheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&floatingSheet));
    QTest::keyClick(&floatingSheet, Qt::Key_Escape);
    EXPECT_FALSE(floatingSheet.isVisible());
    EXPECT_EQ(floatingSheet.result(), QDialog::Rejected);
}

TEST_F(ExportSheetTest, SteppersCountAsTextEditingWhileFocused) {
    open(hero(3));
    choose("formatPicker", "Sprite Sheet");
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    QSpinBox* padding = control<QSpinBox>("paddingStepper");
    padding->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([this] { return editor->view().isEditingText(); }, 5000));
    control<QComboBox>("formatPicker")->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !editor->view().isEditingText(); }, 5000));
}

TEST_F(ExportSheetTest, RendersAtASensibleSizeWithAPlayingPreview) {
    open(hero(3));
    choose("formatPicker", "GIF");
    const QImage shot = sheet->grab().toImage();
    EXPECT_GE(shot.width(), 300);
    EXPECT_LE(shot.width(), 800);
    EXPECT_GE(shot.height(), 300);
    EXPECT_LE(shot.height(), 800);

    auto* preview = sheet->findChild<ExportPreviewView*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_GE(preview->height(), 100);
    const QImage pictured = preview->grab().toImage();
    EXPECT_NE(pictured.pixel(pictured.width() / 2, pictured.height() / 2),
              pictured.pixel(2, 2)); // something is drawn in the middle
    EXPECT_TRUE(QTest::qWaitFor([preview] { return preview->shownFrame() != 0; }, 5000));
}
