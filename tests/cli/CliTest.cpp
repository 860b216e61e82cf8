#include "../core/files/ExportTestSupport.h"
#include "CelPng.h"
#include "PaletteFile.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"
#include "SpriteSheetService.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kestrin::test;

namespace {

struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

// The real executable; a shell prefix ("ulimit -f 8;") limits it like a full disk would.
CliResult kestrinCli(const QStringList& arguments, const QString& workingDirectory,
                     const QString& shellPrefix = {}) {
    const QString program = QStringLiteral(KESTRIN_CLI_PATH);
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM"); // it must not need a display or a platform plugin
    environment.remove("DISPLAY");
    process.setProcessEnvironment(environment);
    if (shellPrefix.isEmpty()) {
        process.start(program, arguments);
    } else {
        process.start(
            "/bin/sh",
            QStringList{"-c", shellPrefix + " trap '' XFSZ; exec \"$0\" \"$@\"", program} +
                arguments);
    }
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Every path below folder, sorted, in one line.
std::string everything(const QString& folder) {
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(QDir(folder).relativeFilePath(it.next()));
    paths.sort();
    return paths.join(", ").toStdString();
}

// Three frames of 16 × 16 on a visible, a hidden and a half-opaque layer "a/b".
Sprite heroSprite() {
    Sprite sprite = animation(16, 16, 3, {100, 250, 40});
    sprite.layers[0].name = "Background";
    for (qint64 f = 0; f < 3; ++f) {
        fill(sprite, 0, f, {0, 12, 16, 4}, 0xFF228833);
        fill(sprite, 0, f, {2 + f * 3, 4, 4, 4}, 0xFFEE4422);
    }
    const qint64 hidden = addLayer(sprite, "Sketch");
    sprite.layers[hidden].isVisible = false;
    fill(sprite, hidden, 0, sprite.bounds(), 0xFF0000FF);
    const qint64 glaze = addLayer(sprite, "a/b");
    sprite.layers[glaze].opacity = 0.5;
    paint(sprite, glaze, 0, {1, 1}, 0xFFFFFFFF);
    return sprite;
}

class KestrinCli : public ::testing::Test {
protected:
    void SetUp() override {
        sprite = heroSprite();
        ProjectPackage::writePackage(sprite, path("hero.pixel"));
    }
    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    CliResult run(const QStringList& arguments, const QString& shellPrefix = {}) const {
        return kestrinCli(arguments, folder.path(), shellPrefix);
    }

    QTemporaryDir folder;
    Sprite sprite;
};

} // namespace

TEST_F(KestrinCli, InfoDescribesTheProject) {
    const CliResult info = run({"info", "hero.pixel"});
    EXPECT_EQ(info.status, 0) << info.err.toStdString();
    for (const char* line : {"Canvas: 16 × 16 px", "Layers: 3 (2 visible)", "1: Sketch (hidden",
                             "2: a/b (visible, opacity 50%)", "Frames: 3 (390 ms loop)",
                             "1: 250 ms", "ICO scales: 100, 200, 300, 400, 800 %"})
        EXPECT_TRUE(info.out.contains(QString::fromUtf8(line))) << line << "\n"
                                                                << info.out.toStdString();
    EXPECT_EQ(run({"info", "hero.pixel/project.json"}).out, info.out);
}

// Which scales and formats exist is the export service's business: here, that the options
// reach it (a name without an extension is a PNG) and the image comes back in as a project.
TEST_F(KestrinCli, ExportsOneFrameAndImportsItAsANewProject) {
    ASSERT_EQ(run({"export", "hero.pixel", "big", "--scale", "300%", "--frame", "2"}).status, 0);
    const QImage big = expectedImage(sprite, 2, 300);
    EXPECT_EQ(words(decodedImage(fileBytes(path("big")))), words(big));
    ASSERT_EQ(run({"export", "hero.pixel", "icon.ico", "-s", "200"}).status, 0);
    const auto image = decodedIcon(fileBytes(path("icon.ico")));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(words(*image), words(expectedImage(sprite, 0, 200)));

    ASSERT_EQ(run({"import", "big", "imported"}).status, 0);
    const Sprite imported = ProjectPackage::readPackage(path("imported.pixel"));
    EXPECT_EQ(imported.layers.size(), 1);
    EXPECT_EQ(imported.layers[0].cels[0]->words(), words(big));
    const CliResult again = run({"import", "big", "imported.pixel"});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("--force"));
    EXPECT_EQ(run({"import", "big", "hero.pixel", "--force"}).status, 0);
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")).layers.size(), 1);
}

TEST_F(KestrinCli, WritesFoldersThatImportBackAsFrames) {
    ASSERT_EQ(run({"frames", "hero.pixel", "out/frames"}).status, 0);
    EXPECT_EQ(everything(path("out/frames")), "hero_000.png, hero_001.png, hero_002.png");
    ASSERT_EQ(run({"import", "out/frames/hero_001.png", "walked", "--sequence"}).status, 0);
    EXPECT_EQ(frameWords(ProjectPackage::readPackage(path("walked.pixel"))), composites(sprite));

    ASSERT_EQ(run({"layers", "hero.pixel", "layers", "--name", "x", "-f", "JPG"}).status, 0);
    EXPECT_EQ(everything(path("layers")), "x_00_Background.jpg, x_02_a-b.jpg");
}

TEST_F(KestrinCli, WritesSheetsWithMetadataThatCutBackIntoFrames) {
    ASSERT_EQ(
        run({"sheet", "hero.pixel", "hero-sheet.png", "--trim", "--json", "-s", "200"}).status, 0);
    const QJsonObject metadata =
        QJsonDocument::fromJson(fileBytes(path("hero-sheet.json"))).object();
    const PixelRect trimmed = SpriteSheetService::contentBounds(sprite);
    EXPECT_EQ(metadata["frameWidth"].toInt(), 2 * trimmed.width);
    EXPECT_EQ(metadata["frameHeight"].toInt(), 2 * trimmed.height);

    ASSERT_EQ(run({"sheet", "hero.pixel", "sheet.png", "--padding", "2", "--layout", "grid",
                   "--columns", "2", "--metadata", "hash"})
                  .status,
              0);
    const QJsonObject hash = QJsonDocument::fromJson(fileBytes(path("sheet.json"))).object();
    EXPECT_EQ(hash["meta"].toObject()["image"], "sheet.png");
    EXPECT_EQ(hash["frames"].toObject()["hero 1.png"].toObject()["duration"], 250);
    ASSERT_EQ(run({"import", "sheet.png", "cut", "--cell", "16x16", "--padding", "2", "--offset",
                   "2,2", "--skip-empty"})
                  .status,
              0);
    EXPECT_EQ(frameWords(ProjectPackage::readPackage(path("cut.pixel"))), composites(sprite));
}

TEST_F(KestrinCli, WritesLoopingAnimationsThatImportBackAsFrames) {
    ASSERT_EQ(run({"gif", "hero.pixel", "hero.gif", "--scale", "300"}).status, 0);
    const auto gif = decodedGif(fileBytes(path("hero.gif")));
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->delays, QList<qint64>({10, 25, 4}));
    EXPECT_EQ(gif->shown[1], expectedGifFrame(sprite, 1, 300));

    ASSERT_EQ(run({"apng", "hero.pixel", "hero.png"}).status, 0);
    ASSERT_EQ(run({"import", "hero.png", "animated", "--frames"}).status, 0);
    const Sprite animated = ProjectPackage::readPackage(path("animated.pixel"));
    EXPECT_EQ(frameWords(animated), composites(sprite));
    EXPECT_EQ(animated.frames[1].duration, 250);
}

// Every refusal: one line on stderr naming the problem, exit status 1, and nothing written.
TEST_F(KestrinCli, RefusesBadRequestsWithoutLeavingFiles) {
    QDir(folder.path()).mkpath("broken.pixel");
    writtenFile(path("broken.pixel/project.json"), "{\"version\": 2, \"width\": ");
    QFile::copy(path("hero.pixel/project.json"), path("blocker"));
    // Not projects, and a project another Kestrin (the parent of this test) is editing.
    QDir(folder.path()).mkpath("photos.pixel");
    QFile::copy(path("hero.pixel/preview.png"), path("photos.pixel/beach.png"));
    QFile::copy(path("hero.pixel/project.json"), path("notes.pixel"));
    ProjectPackage::writePackage(heroSprite(), path("held.pixel"));
    ProjectLock::Holder editor = ProjectLock::currentProcess();
    editor.pid = ::getppid();
    ASSERT_EQ(ProjectLock::acquire(path("held.pixel"), editor).outcome,
              ProjectLock::Outcome::acquired);
    ProjectPackage::writePackage(animation(16, 16, 1), path("single.pixel"));
    ProjectPackage::writePackage(animation(48, 16, 1), path("wide.pixel")); // never an icon
    writtenFile(path("bad.pal"), "JASC-PAL\n0100\n2\n1 2 3\n");
    QDir(folder.path()).mkpath("blocked/hero_001.png");
    // Small empty frames first, then one of noise too large for the file size limit.
    Sprite noisy = animation(64, 64, 3);
    noisy.layers[0].cels[2] = Cel(64, 64, randomPixels(64 * 64, 7));
    ProjectPackage::writePackage(noisy, path("noisy.pixel"));
    QDir(folder.path()).mkpath("out");
    writtenFile(path("out/noisy_000.png"), "old content");
    const std::string before = everything(folder.path());

    const QString preview = "hero.pixel/preview.png";
    struct Case {
        QStringList arguments;
        const char* says;
        QString shellPrefix = {};
    } cases[] = {
        {{"export", "hero.pixel", "x.png", "--format", "tiff"}, "Unknown format “tiff”"},
        {{"export", "hero.pixel", "x.tiff"}, "Cannot tell the format"},
        {{"export", "hero.pixel", "x.ico", "-s", "50"}, "Offered scales: 100, 200, 300, 400, 800."},
        {{"export", "wide.pixel", "x.ico"}, "cannot be written as an ICO at any scale"},
        {{"export", "hero.pixel", "x.png", "-s", "25%x"}, "Invalid scale “25%x”"},
        {{"export", "hero.pixel", "x.png", "--frame", "3"}, "numbered 0 to 2"},
        {{"export", "hero.pixel", "x.png", "--frame", "-1"}, "Invalid --frame"},
        {{"export", "hero.pixel", "x.png", "--loud"}, "Unknown option 'loud'"},
        {{"export", "hero.pixel"}, "expected 2 arguments, got 1"},
        {{"export", "broken.pixel", "x.png"}, "not valid JSON"},
        {{"export", "missing.pixel", "x.png"}, "missing.pixel"},
        {{"frames", "noisy.pixel", "out", "-s", "1000"}, "File too large", "ulimit -f 16;"},
        {{"frames", "hero.pixel", "blocker"}, "is not a folder"},
        // Something in the way that is not a file is named before anything is written.
        {{"frames", "hero.pixel", "blocked"}, "blocked/hero_001.png” is in the way"},
        {{"sheet", "hero.pixel", "x.png", "--layout", "diagonal"}, "Unknown layout “diagonal”"},
        {{"sheet", "hero.pixel", "x.png", "--columns", "0"}, "Invalid --columns “0”"},
        {{"sheet", "hero.pixel", "x.json", "--json", "-f", "png"}, "both be “x.json”"},
        {{"sheet", "hero.pixel", "x.png", "--metadata", "xml"},
         "Unknown metadata layout “xml”. Use one of: kestrin, hash, array."},
        {{"gif", "single.pixel", "x.gif"}, "kestrin-cli: A GIF needs more than one frame.\n"},
        {{"import", "nothing.png", "new"}, "nothing.png"},
        {{"import", preview, "photos.pixel", "--force"}, "is not a Kestrin project"},
        {{"import", preview, "notes", "--force"}, "is not a Kestrin project"},
        {{"import", preview, "held.pixel", "--force"}, "is being edited by"},
        {{"import", preview, "x", "--frames", "--sequence"}, "Choose one way to import frames"},
        {{"import", preview, "x", "--skip-empty"}, "cut a sprite sheet"},
        {{"import", preview, "x", "--columns", "5"}, "does not split into 5 equal cells"},
        {{"import", preview, "x", "--cell", "16"}, "Invalid --cell"},
        {{"palette", "import", "bad.pal", "hero.pixel"},
         "The palette says it holds 2 colours but lists 1."},
        {{"palette", "export", "hero.pixel", "x.act"},
         "Cannot tell the palette format from “x.act”"},
    };
    for (const Case& c : cases) {
        const CliResult result = run(c.arguments, c.shellPrefix);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_TRUE(result.err.startsWith("kestrin-cli: "))
            << name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.says)))
            << name << ": " << result.err.toStdString();
        EXPECT_EQ(result.err.count(u'\n'), 1) << name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << name;
        EXPECT_EQ(everything(folder.path()), before) << name;
    }
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")), sprite);
    EXPECT_EQ(fileBytes(path("out/noisy_000.png")), "old content");
    // A folder export that succeeds replaces the old files.
    ASSERT_EQ(run({"frames", "noisy.pixel", "out"}).status, 0);
    EXPECT_EQ(decodedImage(fileBytes(path("out/noisy_000.png"))).width(), 64);
}

TEST_F(KestrinCli, EveryCommandHasHelp) {
    for (const char* command :
         {"info", "export", "frames", "layers", "sheet", "gif", "apng", "import", "palette"}) {
        const CliResult help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_TRUE(help.out.startsWith(QString("Usage: kestrin-cli ") + command))
            << help.out.toStdString();
    }
    EXPECT_TRUE(run({"--help"}).out.contains("sheet"));
    EXPECT_EQ(run({}).status, 1);
    const CliResult bogus = run({"bogus"}); // followed by the usage
    EXPECT_EQ(bogus.status, 1);
    EXPECT_TRUE(bogus.err.startsWith("kestrin-cli: unknown command “bogus”"));
}

TEST_F(KestrinCli, PaletteFilesInAndOut) {
    ASSERT_EQ(run({"palette", "export", "hero.pixel", "hero.gpl"}).status, 0);
    EXPECT_EQ(PaletteFile::read(path("hero.gpl")), sprite.palette);

    writtenFile(path("warm.hex"), "ff0000\n00ff00\n");
    ASSERT_EQ(run({"palette", "import", "warm.hex", "hero.pixel"}).status, 0);
    const Palette warm{"warm", {PixelColor(0xFFFF0000), PixelColor(0xFF00FF00)}};
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")).palette, warm);
    EXPECT_EQ(run({"palette", "export", "hero.pixel", "warm.txt", "--format", "pal"}).status, 0);
    EXPECT_TRUE(fileBytes(path("warm.txt")).startsWith("JASC-PAL\r\n0100\r\n2\r\n"));
}

TEST_F(KestrinCli, LibraryMessagesStayOutOfTheOneErrorLine) {
    QByteArray png = fileBytes(path("hero.pixel/preview.png"));
    ASSERT_FALSE(png.isEmpty());
    png[24] = char(png[24] ^ 0x55); // a damaged header makes libpng complain
    writtenFile(path("damaged.png"), png);

    const CliResult quiet = run({"import", "damaged.png", "out"});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.err.count(u'\n'), 1) << quiet.err.toStdString();
    EXPECT_TRUE(quiet.err.startsWith("kestrin-cli: ")) << quiet.err.toStdString();
    const CliResult verbose = run({"import", "--verbose", "damaged.png", "out"});
    EXPECT_EQ(verbose.status, 1);
    EXPECT_TRUE(verbose.err.contains("libpng")) << verbose.err.toStdString();
    EXPECT_TRUE(verbose.err.endsWith(quiet.err));
}

TEST_F(KestrinCli, LayerNamesCannotForgeLinesOrCutFileNames) {
    Sprite named = heroSprite();
    named.layers[0].name = QStringLiteral("Back\nFrames: 99 (0 ms loop):\x1b[2J");
    named.layers[2].name = QStringLiteral("Eyes") + QChar(0) + QStringLiteral(".txt");
    named.layers[2].name += QChar(0x2028);
    ProjectPackage::writePackage(named, path("named.pixel"));

    const CliResult info = run({"info", "named.pixel"});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    EXPECT_EQ(info.out.split(u'\n').filter(QRegularExpression("^Frames:")).size(), 1);
    EXPECT_FALSE(info.out.contains(QChar(0x1b)));
    EXPECT_FALSE(info.out.contains(QChar(0x2028)));
    EXPECT_TRUE(info.out.contains("0: Back\\nFrames: 99 (0 ms loop):\\u001B[2J (visible"))
        << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("2: Eyes\\u0000.txt\\u2028 (visible")) << info.out.toStdString();

    ASSERT_EQ(run({"layers", "named.pixel", "layers"}).status, 0);
    EXPECT_EQ(everything(path("layers")),
              "named_00_Back-Frames: 99 (0 ms loop):-[2J.png, named_02_Eyes-.txt\u2028.png");
}

TEST_F(KestrinCli, RunningOutOfMemoryIsAnErrorLineNotACrash) {
    // One painted cel of the largest canvas: the binary starts within 150 MB of address
    // space, but the cel's 64 MiB and the buffers decoding it do not fit beside it.
    Sprite big = animation(4096, 4096, 1);
    fill(big, 0, 0, big.bounds(), 0xFF3366CC);
    ProjectPackage::writePackage(big, path("big.pixel"));
    writtenFile(path("big.png"), CelPng::encode(*big.celPointer(0, 0)));
    const std::string before = everything(folder.path());

    const QString limit = "ulimit -v 150000;";
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"info", "big.pixel"}, "There is not enough memory to open this project."},
        {{"export", "big.pixel", "big-export.png"}, "There is not enough memory to"},
        {{"sheet", "big.pixel", "sheet.png"}, "There is not enough memory to"},
        {{"import", "big.png", "imported.pixel"}, "There is not enough memory to"},
    };
    for (const auto& c : cases) {
        const CliResult result = run(c.arguments, limit);
        EXPECT_EQ(result.status, 1) << c.arguments.join(' ').toStdString(); // -1: a signal
        EXPECT_TRUE(result.err.startsWith("kestrin-cli: ")) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
    }
    EXPECT_EQ(everything(folder.path()), before);
    EXPECT_EQ(run({"info", "big.pixel"}).status, 0); // with memory enough, it opens
}
