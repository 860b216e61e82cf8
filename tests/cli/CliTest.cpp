#include "../core/files/ExportTestSupport.h"
#include "ApngReader.h"
#include "AtlasMetadata.h"
#include "CelPng.h"
#include "PaletteFile.h"
#include "ProjectLock.h"
#include "ProjectPackage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

TEST_F(KestrinCli, ExportsOneFrameAsTheScaledComposite) {
    struct Case {
        QStringList arguments;
        QString file;
        qint64 frame, percent;
    } cases[] = {
        {{"export", "hero.pixel", "hero.png"}, "hero.png", 0, 100},
        {{"export", "hero.pixel", "big.png", "--scale", "300%", "--frame", "2"}, "big.png", 2, 300},
        {{"export", "hero.pixel", "small", "-s", "25", "--frame", "1"}, "small", 1, 25},
        {{"export", "hero.pixel", "icon.ico", "-s", "200"}, "icon.ico", 0, 200},
    };
    for (const Case& c : cases) {
        const CliResult result = run(c.arguments);
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
        const QByteArray bytes = readAll(path(c.file));
        const auto image = c.file.endsWith(".ico") ? decodedIcon(bytes)
                                                   : std::optional<QImage>(decodedImage(bytes));
        ASSERT_TRUE(image.has_value()) << c.file.toStdString();
        EXPECT_EQ(words(*image), words(expectedImage(sprite, c.frame, c.percent)))
            << c.file.toStdString();
    }
    ASSERT_EQ(run({"export", "hero.pixel", "flat.out", "--format", "jpg"}).status, 0);
    EXPECT_GT(qGray(decodedImage(readAll(path("flat.out"))).pixel(0, 0)), 245); // white, lossy
    ASSERT_EQ(run({"export", "hero.pixel", "vector.svg", "-s", "1000"}).status, 0);
    EXPECT_TRUE(
        readAll(path("vector.svg")).contains("width=\"160\" height=\"160\" viewBox=\"0 0 16 16\""));
}

TEST_F(KestrinCli, WritesFolders) {
    ASSERT_EQ(run({"frames", "hero.pixel", "out/frames", "-s", "200"}).status, 0);
    EXPECT_EQ(everything(path("out/frames")), "hero_000.png, hero_001.png, hero_002.png");
    EXPECT_EQ(words(decodedImage(readAll(path("out/frames/hero_001.png")))),
              words(expectedImage(sprite, 1, 200)));

    ASSERT_EQ(
        run({"layers", "hero.pixel", "layers", "--name", "x", "--frame", "0", "-f", "bmp"}).status,
        0);
    EXPECT_EQ(everything(path("layers")), "x_00_Background.bmp, x_02_a-b.bmp");
}

TEST_F(KestrinCli, WritesSheetsWithMetadataAndGifs) {
    const CliResult sheet =
        run({"sheet", "hero.pixel", "hero-sheet.png", "--layout", "grid", "--columns", "2",
             "--padding", "1", "--trim", "--json", "-s", "200"});
    ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
    const QJsonObject metadata = QJsonDocument::fromJson(readAll(path("hero-sheet.json"))).object();
    EXPECT_EQ(metadata["columns"].toInt(), 2);
    EXPECT_EQ(metadata["rows"].toInt(), 2);
    EXPECT_EQ(metadata["frames"].toArray()[1].toObject()["duration"].toInt(), 250);
    const QImage image = decodedImage(readAll(path("hero-sheet.png")));
    EXPECT_EQ(image.width(), 2 * (metadata["frameWidth"].toInt() + 2) + 2);
    EXPECT_EQ(image.height(), 2 * (metadata["frameHeight"].toInt() + 2) + 2);

    ASSERT_EQ(run({"gif", "hero.pixel", "hero.gif", "--scale", "300"}).status, 0);
    const auto gif = decodedGif(readAll(path("hero.gif")));
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(gif->width, 48);
    EXPECT_EQ(gif->loopCount, 0);
    EXPECT_EQ(gif->delays, QList<qint64>({10, 25, 4}));
    EXPECT_EQ(gif->shown[1], expectedGifFrame(sprite, 1, 300));
}

TEST_F(KestrinCli, ImportsAnImageAsANewProject) {
    ASSERT_EQ(run({"export", "hero.pixel", "picture.png", "--frame", "1"}).status, 0);
    ASSERT_EQ(run({"import", "picture.png", "imported"}).status, 0);
    const Sprite imported = ProjectPackage::readPackage(path("imported.pixel"));
    EXPECT_EQ(imported.layers.size(), 1);
    EXPECT_EQ(imported.layers[0].cels[0]->words(),
              PixelRenderer::unpremultiply(PixelRenderer::composite(sprite, 1)));

    const CliResult again = run({"import", "picture.png", "imported.pixel"});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("--force"));
    EXPECT_EQ(run({"import", "picture.png", "hero.pixel", "--force"}).status, 0);
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")).layers.size(), 1);
}

// Every refusal: one line on stderr naming the problem, exit status 1, and nothing written.
TEST_F(KestrinCli, RefusesBadRequestsWithoutLeavingFiles) {
    QDir(folder.path()).mkpath("broken.pixel");
    QFile broken(path("broken.pixel/project.json"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{\"version\": 2, \"width\": ");
    broken.close();
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
    const std::string before = everything(folder.path());

    struct Case {
        QStringList arguments;
        const char* says;
        QString shellPrefix = {};
    } cases[] = {
        {{"export", "hero.pixel", "x.png", "--format", "tiff"}, "Unknown format “tiff”"},
        {{"export", "hero.pixel", "x.tiff"}, "Cannot tell the format"},
        {{"export", "hero.pixel", "x.png", "-s", "150"},
         "Offered scales: 25, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000."},
        {{"export", "hero.pixel", "x.ico", "-s", "50"}, "Offered scales: 100, 200, 300, 400, 800."},
        {{"export", "hero.pixel", "x.png", "-s", "big"}, "Invalid scale “big”"},
        {{"export", "hero.pixel", "x.png", "--frame", "3"}, "numbered 0 to 2"},
        {{"export", "hero.pixel", "x.png", "--frame", "-1"}, "Invalid --frame"},
        {{"export", "hero.pixel", "x.png", "--loud"}, "Unknown option 'loud'"},
        {{"export", "hero.pixel"}, "expected 2 arguments, got 1"},
        {{"export", "broken.pixel", "x.png"}, "not valid JSON"},
        {{"export", "missing.pixel", "x.png"}, "missing.pixel"},
        {{"export", "hero.pixel", "no/such/folder/x.png"}, "No such file or directory"},
        {{"export", "hero.pixel", "x.png", "-s", "1000"}, "File too large", "ulimit -f 0;"},
        {{"frames", "hero.pixel", "frames", "-s", "1000"}, "File too large", "ulimit -f 0;"},
        {{"frames", "hero.pixel", "blocker"}, "is not a folder"},
        {{"sheet", "hero.pixel", "x.png", "--layout", "diagonal"}, "Unknown layout “diagonal”"},
        {{"sheet", "hero.pixel", "x.png", "--columns", "0"}, "Invalid --columns “0”"},
        {{"sheet", "hero.pixel", "x.json", "--json", "-f", "png"}, "both be “x.json”"},
        {{"sheet", "hero.pixel", "x.png", "--json", "-s", "1000"},
         "File too large",
         "ulimit -f 0;"},
        {{"gif", "hero.pixel", "x.gif", "-s", "25%x"}, "Invalid scale"},
        {{"import", "nothing.png", "new"}, "nothing.png"},
        {{"import", "hero.pixel/preview.png", "photos.pixel", "--force"},
         "is not a Kestrin project"},
        {{"import", "hero.pixel/preview.png", "notes", "--force"}, "is not a Kestrin project"},
        {{"import", "hero.pixel/preview.png", "held.pixel", "--force"}, "is being edited by"},
        {{"bogus"}, "unknown command “bogus”"},
    };
    for (const Case& c : cases) {
        const CliResult result = run(c.arguments, c.shellPrefix);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_TRUE(result.err.startsWith("kestrin-cli: "))
            << name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.says)))
            << name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << name;
        EXPECT_EQ(everything(folder.path()), before) << name;
    }

    Sprite single = heroSprite();
    single.removeFrame(2);
    single.removeFrame(1);
    ProjectPackage::writePackage(single, path("single.pixel"));
    const CliResult gif = run({"gif", "single.pixel", "x.gif"});
    EXPECT_EQ(gif.status, 1);
    EXPECT_EQ(gif.err, "kestrin-cli: A GIF needs more than one frame.\n");
    Sprite square = heroSprite();
    square.width = 48; // no scale makes 48 × 16 an icon
    square.layers = {Layer("Only", 3)};
    ProjectPackage::writePackage(square, path("wide.pixel"));
    EXPECT_TRUE(run({"export", "wide.pixel", "x.ico"})
                    .err.contains("cannot be written as an ICO at any scale"));
    EXPECT_FALSE(QFileInfo::exists(path("x.ico")));
}

TEST_F(KestrinCli, EveryCommandHasHelp) {
    for (const char* command :
         {"info", "export", "frames", "layers", "sheet", "gif", "apng", "import", "palette"}) {
        const CliResult help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_TRUE(help.out.startsWith(QString("Usage: kestrin-cli ") + command))
            << help.out.toStdString();
    }
    const CliResult overview = run({"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_TRUE(overview.out.contains("sheet"));
    EXPECT_EQ(run({}).status, 1);
}

QList<QList<quint32>> celWords(const Sprite& sprite) {
    QList<QList<quint32>> frames;
    for (qint64 f = 0; f < sprite.frames.size(); ++f)
        frames.append(sprite.layers[0].cels[f]->words());
    return frames;
}

QList<QList<quint32>> compositeWords(const Sprite& sprite) {
    QList<QList<quint32>> frames;
    for (qint64 f = 0; f < sprite.frames.size(); ++f)
        frames.append(PixelRenderer::unpremultiply(PixelRenderer::composite(sprite, f)));
    return frames;
}

TEST_F(KestrinCli, WritesAnimatedPngsAndAtlasMetadata) {
    const CliResult apng = run({"apng", "hero.pixel", "hero.png", "--scale", "200"});
    ASSERT_EQ(apng.status, 0) << apng.err.toStdString();
    const ImportedFrames frames = ApngReader::read(readAll(path("hero.png")));
    EXPECT_EQ(frames.width, 32);
    EXPECT_EQ(frames.durations, QList<qint64>({100, 250, 40}));
    EXPECT_EQ(frames.images[2], words(expectedImage(sprite, 2, 200)));

    const CliResult sheet =
        run({"sheet", "hero.pixel", "hero-sheet.png", "--metadata", "hash", "--trim"});
    ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(readAll(path("hero-sheet.json"))).object();
    EXPECT_EQ(json["meta"].toObject()["image"], "hero-sheet.png");
    EXPECT_EQ(json["frames"].toObject()["hero 1.png"].toObject()["duration"], 250);
    EXPECT_TRUE(
        run({"sheet", "hero.pixel", "x.png", "--metadata", "xml"})
            .err.contains("Unknown metadata layout “xml”. Use one of: kestrin, hash, array."));
}

TEST_F(KestrinCli, PaletteFilesInAndOut) {
    const CliResult out = run({"palette", "export", "hero.pixel", "hero.gpl"});
    ASSERT_EQ(out.status, 0) << out.err.toStdString();
    EXPECT_EQ(PaletteFile::read(path("hero.gpl")), sprite.palette);

    QFile hex(path("warm.hex"));
    ASSERT_TRUE(hex.open(QIODevice::WriteOnly));
    hex.write("ff0000\n00ff00\n");
    hex.close();
    ASSERT_EQ(run({"palette", "import", "warm.hex", "hero.pixel"}).status, 0);
    const Palette warm{"warm", {PixelColor(0xFFFF0000), PixelColor(0xFF00FF00)}};
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")).palette, warm);
    EXPECT_EQ(run({"palette", "export", "hero.pixel", "warm.txt", "--format", "pal"}).status, 0);
    EXPECT_TRUE(readAll(path("warm.txt")).startsWith("JASC-PAL\r\n0100\r\n2\r\n"));

    QFile bad(path("bad.pal"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("JASC-PAL\n0100\n2\n1 2 3\n");
    bad.close();
    const CliResult refused = run({"palette", "import", "bad.pal", "hero.pixel"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("The palette says it holds 2 colours but lists 1."))
        << refused.err.toStdString();
    EXPECT_EQ(ProjectPackage::readPackage(path("hero.pixel")).palette, warm);
    EXPECT_TRUE(run({"palette", "export", "hero.pixel", "x.act"})
                    .err.contains("Cannot tell the palette format from “x.act”"));
}

TEST_F(KestrinCli, ImportsAnimationsSheetsAndSequencesAsFrames) {
    ASSERT_EQ(run({"apng", "hero.pixel", "hero.png"}).status, 0);
    ASSERT_EQ(run({"import", "hero.png", "animated", "--frames"}).status, 0);
    const Sprite animated = ProjectPackage::readPackage(path("animated.pixel"));
    EXPECT_EQ(celWords(animated), compositeWords(sprite));
    EXPECT_EQ(animated.frames[1].duration, 250);

    ASSERT_EQ(run({"sheet", "hero.pixel", "sheet.png", "--padding", "2", "--layout", "grid",
                   "--columns", "2"})
                  .status,
              0);
    const CliResult cut = run({"import", "sheet.png", "cut", "--cell", "16x16", "--padding", "2",
                               "--offset", "2,2", "--skip-empty"});
    ASSERT_EQ(cut.status, 0) << cut.err.toStdString();
    EXPECT_EQ(celWords(ProjectPackage::readPackage(path("cut.pixel"))), compositeWords(sprite));

    ASSERT_EQ(run({"frames", "hero.pixel", "walk", "--name", "walk"}).status, 0);
    ASSERT_EQ(run({"import", "walk/walk_001.png", "walked", "--sequence"}).status, 0);
    EXPECT_EQ(celWords(ProjectPackage::readPackage(path("walked.pixel"))), compositeWords(sprite));

    EXPECT_TRUE(run({"import", "sheet.png", "x", "--frames", "--sequence"})
                    .err.contains("Choose one way to import frames"));
    EXPECT_TRUE(
        run({"import", "sheet.png", "x", "--skip-empty"}).err.contains("cut a sprite sheet"));
    EXPECT_TRUE(run({"import", "sheet.png", "x", "--columns", "5"})
                    .err.contains("does not split into 5 equal cells"));
    EXPECT_TRUE(run({"import", "sheet.png", "x", "--cell", "16"}).err.contains("Invalid --cell"));
    EXPECT_FALSE(QFileInfo::exists(path("x.pixel")));
}

TEST_F(KestrinCli, LibraryMessagesStayOutOfTheOneErrorLine) {
    QByteArray png = readAll(path("hero.pixel/preview.png"));
    ASSERT_FALSE(png.isEmpty());
    png[24] = char(png[24] ^ 0x55); // a damaged header makes libpng complain
    QFile damaged(path("damaged.png"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(png);
    damaged.close();

    const CliResult quiet = run({"import", "damaged.png", "out"});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.err.count(u'\n'), 1) << quiet.err.toStdString();
    EXPECT_TRUE(quiet.err.startsWith("kestrin-cli: ")) << quiet.err.toStdString();
    const CliResult verbose = run({"import", "--verbose", "damaged.png", "out"});
    EXPECT_EQ(verbose.status, 1);
    EXPECT_TRUE(verbose.err.contains("libpng")) << verbose.err.toStdString();
    EXPECT_TRUE(verbose.err.endsWith(quiet.err));
    EXPECT_FALSE(QFileInfo::exists(path("out.pixel")));

    // Only regular files are imported: a FIFO would block the read forever.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.png")).constData(), 0600), 0);
    const CliResult fifo = run({"import", "pipe.png", "piped"});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_TRUE(fifo.err.contains("That image could not be read.")) << fifo.err.toStdString();
}

TEST_F(KestrinCli, LayerNamesCannotForgeLinesOrCutFileNames) {
    Sprite named = heroSprite();
    named.layers[0].name = QStringLiteral("Back\nFrames: 99 (0 ms loop):\x1b[2J");
    named.layers[2].name = QStringLiteral("Eyes") + QChar(0) + QStringLiteral(".txt");
    named.layers[2].name += QChar(0x2028);
    ProjectPackage::writePackage(named, path("named.pixel"));

    const CliResult info = run({"info", "named.pixel"});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    const QStringList lines = info.out.split(u'\n');
    EXPECT_EQ(lines.filter(QRegularExpression("^Frames:")).size(), 1) << info.out.toStdString();
    EXPECT_FALSE(info.out.contains(QChar(0x1b)));
    EXPECT_FALSE(info.out.contains(QChar(0x2028)));
    EXPECT_TRUE(info.out.contains("0: Back\\nFrames: 99 (0 ms loop):\\u001B[2J (visible"))
        << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("2: Eyes\\u0000.txt\\u2028 (visible")) << info.out.toStdString();

    ASSERT_EQ(run({"layers", "named.pixel", "layers"}).status, 0);
    EXPECT_EQ(everything(path("layers")),
              "named_00_Back-Frames: 99 (0 ms loop):-[2J.png, named_02_Eyes-.txt\u2028.png");
}

TEST_F(KestrinCli, AFolderExportThatFailsKeepsTheOldFiles) {
    // Small empty frames first, then one of noise too large for the file size limit.
    Sprite sprite = animation(64, 64, 3);
    sprite.layers[0].cels[2] = Cel(64, 64, randomPixels(64 * 64, 7));
    ProjectPackage::writePackage(sprite, path("noisy.pixel"));
    QDir(folder.path()).mkpath("out");
    QFile old(path("out/noisy_000.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();
    const std::string before = everything(folder.path());

    const CliResult failed = run({"frames", "noisy.pixel", "out", "-s", "1000"}, "ulimit -f 16;");
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.contains("File too large")) << failed.err.toStdString();
    EXPECT_EQ(readAll(path("out/noisy_000.png")), "old content");
    EXPECT_EQ(everything(folder.path()), before);

    // Something in the way that is not a file is named before anything is written.
    QDir(folder.path()).mkpath("out/noisy_001.png");
    const CliResult blocked = run({"frames", "noisy.pixel", "out"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(blocked.err.contains("is in the way")) << blocked.err.toStdString();
    EXPECT_EQ(readAll(path("out/noisy_000.png")), "old content");

    QDir(path("out")).rmdir("noisy_001.png");
    ASSERT_EQ(run({"frames", "noisy.pixel", "out"}).status, 0);
    EXPECT_EQ(everything(path("out")), "noisy_000.png, noisy_001.png, noisy_002.png");
    EXPECT_EQ(decodedImage(readAll(path("out/noisy_000.png"))).width(), 64);
}

TEST_F(KestrinCli, RunningOutOfMemoryIsAnErrorLineNotACrash) {
    // One painted cel of the largest canvas: the binary starts within 150 MB of address
    // space, but the cel's 64 MiB and the buffers decoding it do not fit beside it.
    Sprite big = animation(4096, 4096, 1);
    fill(big, 0, 0, big.bounds(), 0xFF3366CC);
    ProjectPackage::writePackage(big, path("big.pixel"));
    QFile image(path("big.png"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write(CelPng::encode(*big.celPointer(0, 0)));
    image.close();
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
