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
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrin::test;

namespace {

// What the sheet offers and refuses is proven on ExportChoices: here each control is checked
// for reaching it. The panels answer from the fixture and remember what they were asked.
class ExportSheetTest : public ::testing::Test {
protected:
    void SetUp() override { AppSettings::shared().setDefaultExportPercent(100); }

    void open(Sprite sprite) {
        sheet.reset();
        editor.reset();
        document = std::make_unique<PixelDocument>(std::move(sprite));
        editor = std::make_unique<EditorState>(document.get());
        sheet = std::make_unique<ExportSheet>(editor.get(), QStringLiteral("hero"));
        sheet->panels.chooseFile = [this](QWidget*, const ExportSheet::SaveRequest& request) {
            suggestedNames << request.suggestedName;
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

    template <typename Widget = QWidget> Widget* control(const char* name) const {
        auto* widget = sheet->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QComboBox* picker(const char* name) const { return control<QComboBox>(name); }
    void choose(const char* name, const QString& title) { picker(name)->setCurrentText(title); }
    QString text(const char* label) const { return control<QLabel>(label)->text(); }
    QPushButton* exportButton() const { return control<QPushButton>("exportButton"); }

    // The controls and messages that come and go, as far as they are shown now.
    QStringList shown() const {
        QStringList names;
        for (const char* name :
             {"fileFormatPicker", "caveatLabel", "layoutPicker", "columnsStepper", "paddingStepper",
              "metadataToggle", "metadataPicker", "trimToggle", "noteLabel", "errorLabel"})
            if (control(name)->isVisible())
                names << name;
        return names;
    }

    // Clicks Export… and waits until whatever it started has been written or has failed.
    void exportTo(const QString& destination) {
        answer = destination;
        QTest::mouseClick(exportButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !sheet->isExporting(); }, 60000));
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    std::unique_ptr<PixelDocument> document;
    std::unique_ptr<EditorState> editor;
    std::unique_ptr<ExportSheet> sheet;
    QTemporaryDir folder;
    QString answer; // what the panels answer; empty is a cancelled panel
    QStringList suggestedNames;
    QStringList folderMessages;
    QStringList revealed;
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Frame f has its own translucent block; a hidden layer sits between it and the top one.
Sprite hero(qint64 frames) {
    Sprite sprite = animation(16, 16, frames, {100, 100, 200});
    for (qint64 f = 0; f < frames; ++f)
        fill(sprite, 0, f, {f, f, 4, 4}, 0x80000000u | quint32(0x203040 * (f + 1)));
    sprite.layers[addLayer(sprite, QStringLiteral("Hidden"))].isVisible = false;
    addLayer(sprite, QStringLiteral("Eyes"));
    return sprite;
}

} // namespace

TEST_F(ExportSheetTest, EveryControlReachesTheChoicesAndShowsOnlyWhereItApplies) {
    AppSettings::shared().setDefaultExportPercent(200);
    open(animation(4096, 4096, 8)); // no icon, and only a grid of 4 × 2 fits at 100 %
    EXPECT_EQ(picker("scalePicker")->currentText(), "200%");
    EXPECT_TRUE(exportButton()->isDefault());
    EXPECT_EQ(shown(), QStringList({"fileFormatPicker"}));
    choose("fileFormatPicker", "ICO");
    EXPECT_EQ(shown(), QStringList({"fileFormatPicker", "caveatLabel", "noteLabel"}));
    EXPECT_EQ(text("caveatLabel"), ExportFormats::caveat(ExportFormat::ico).value());
    EXPECT_EQ(text("noteLabel"), sheet->choices().note().value());
    EXPECT_FALSE(exportButton()->isEnabled());
    EXPECT_FALSE(picker("scalePicker")->isEnabled());
    choose("fileFormatPicker", "PNG");
    EXPECT_TRUE(exportButton()->isEnabled());
    EXPECT_EQ(picker("scalePicker")->currentText(), "200%");

    choose("formatPicker", "Sprite Sheet");
    EXPECT_EQ(shown(), QStringList({"fileFormatPicker", "layoutPicker", "paddingStepper",
                                    "metadataToggle", "trimToggle"}));
    EXPECT_EQ(picker("scalePicker")->count(), 2);
    choose("layoutPicker", "Grid");
    EXPECT_TRUE(shown().contains("columnsStepper"));
    EXPECT_EQ(control<QSpinBox>("columnsStepper")->text(), "Columns: 4");
    EXPECT_EQ(picker("scalePicker")->count(), 3);
    choose("scalePicker", "100%"); // exactly 16384 px wide, until padded
    QTest::keyClick(control("paddingStepper"), Qt::Key_Up);
    EXPECT_EQ(text("summaryLabel"), QStringLiteral("16389 \u00D7 8195 px\n4 \u00D7 2 frames"));
    EXPECT_EQ(text("noteLabel"), "The export would be larger than 16384 px on a side.");
    EXPECT_FALSE(exportButton()->isEnabled());
    QTest::keyClick(sheet.get(), Qt::Key_Return);
    EXPECT_TRUE(suggestedNames.isEmpty());
    QTest::keyClick(control("columnsStepper"), Qt::Key_Up); // 5 × 2 fit at 50 %
    EXPECT_EQ(picker("scalePicker")->count(), 2);
    EXPECT_TRUE(exportButton()->isEnabled());
    EXPECT_FALSE(shown().contains("noteLabel"));
    EXPECT_FALSE(control("paddingStepper")->toolTip().isEmpty());
    EXPECT_FALSE(control("trimToggle")->toolTip().isEmpty());
    control<QCheckBox>("trimToggle")->click();
    EXPECT_TRUE(sheet->choices().trim());
    control<QCheckBox>("metadataToggle")->click();
    EXPECT_TRUE(shown().contains("metadataPicker"));
    choose("metadataPicker", "Hash");
    EXPECT_EQ(sheet->choices().metadataStyle(), SheetMetadataStyle::hash);
    choose("formatPicker", "GIF");
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(ExportSheetTest, FrameAndAnimationsAreWrittenWhereTheUserChose) {
    Sprite sprite = hero(3);
    sprite.activeFrameIndex = 1;
    open(sprite);
    choose("scalePicker", "200%");
    exportTo(path("chosen.png"));
    EXPECT_EQ(suggestedNames, QStringList({"hero@2x.png"}));
    EXPECT_EQ(words(decodedImage(contents(answer))), words(expectedImage(sprite, 1, 200)));
    EXPECT_EQ(sheet->result(), QDialog::Accepted);

    open(sprite); // at the scale last exported
    choose("formatPicker", "Animated PNG");
    EXPECT_EQ(picker("scalePicker")->currentText(), "200%");
    exportTo(path("hero.png"));
    EXPECT_EQ(ApngReader::read(contents(answer)).images[2], words(expectedImage(sprite, 2, 200)));
    open(sprite);
    choose("formatPicker", "GIF");
    exportTo(path("hero.gif"));
    EXPECT_EQ(decodedGif(contents(answer)).value().delays, QList<qint64>({10, 10, 20}));
}

TEST_F(ExportSheetTest, CancelledOrFailedWritesKeepTheSheetOpen) {
    open(hero(1));
    choose("formatPicker", "GIF");
    EXPECT_FALSE(exportButton()->isEnabled());
    EXPECT_EQ(text("noteLabel"), "A GIF needs more than one frame.");
    choose("formatPicker", "Frame");
    choose("scalePicker", "300%");
    exportTo({});
    EXPECT_EQ(suggestedNames.size(), 1);
    EXPECT_EQ(sheet->errorMessage(), std::nullopt);
    QFile(path("not-a-folder")).open(QIODevice::WriteOnly);
    exportTo(path("not-a-folder/hero.png"));
    ASSERT_TRUE(sheet->errorMessage().has_value());
    EXPECT_EQ(shown(), QStringList({"fileFormatPicker", "errorLabel"}));
    EXPECT_EQ(text("errorLabel"), *sheet->errorMessage());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(picker("scalePicker")->currentText(), "300%"); // choices kept
    EXPECT_EQ(AppSettings::shared().defaultExportPercent(), 100);
    choose("formatPicker", "Every Frame as a PNG");
    exportTo({});
    EXPECT_TRUE(revealed.isEmpty());
}

TEST_F(ExportSheetTest, BatchesWriteOneFilePerFrameOrVisibleLayerAndRevealTheFolder) {
    const QList<std::tuple<QString, QStringList, QString>> cases = {
        {"Every Frame as a PNG",
         {"hero_000.png", "hero_001.png", "hero_002.png"},
         "Choose a folder for one PNG per frame."},
        {"Every Layer as a PNG",
         {"hero_00_Layer 1.png", "hero_02_Eyes.png"},
         "Choose a folder for one PNG per visible layer."},
    };
    for (const auto& [format, files, message] : cases) {
        open(hero(3));
        choose("formatPicker", format);
        folderMessages.clear();
        revealed.clear();
        ASSERT_TRUE(QDir().mkpath(path(format)));
        exportTo(path(format));
        EXPECT_EQ(folderMessages, QStringList({message}));
        EXPECT_EQ(QDir(path(format)).entryList(QDir::Files, QDir::Name), files);
        EXPECT_EQ(sheet->exported(), files.size()) << format.toStdString();
        EXPECT_EQ(revealed, QStringList({path(format)}));
    }
}

TEST_F(ExportSheetTest, PreviewPlaysTheAnimation) {
    open(hero(3));
    choose("formatPicker", "GIF");
    auto* preview = sheet->findChild<ExportPreviewView*>();
    ASSERT_NE(preview, nullptr);
    const QImage pictured = preview->grab().toImage();
    EXPECT_NE(pictured.pixel(pictured.width() / 2, pictured.height() / 2),
              pictured.pixel(2, 2)); // something is drawn in the middle
    EXPECT_TRUE(QTest::qWaitFor([preview] { return preview->shownFrame() != 0; }, 5000));
}
