#include "PaletteFile.h"
#include "PaletteFileError.h"
#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrin::test;

namespace {

Palette opaquePalette(qint64 count, quint32 seed) {
    Palette palette{"Sunset / Dusk", {PixelColor(0xFF000000), PixelColor(0xFFFFFFFF)}};
    for (quint32 word : randomPixels(count, seed))
        palette.colors.append(PixelColor(word | 0xFF000000u));
    return palette;
}

QString refusal(const QByteArray& bytes, std::optional<PaletteFileFormat> format) {
    try {
        PaletteFile::decode(bytes, format, "fallback");
    } catch (const PaletteFileError& error) {
        return error.message();
    }
    return QStringLiteral("accepted");
}

} // namespace

TEST(PaletteFile, EveryFormatRoundTripsExactlyOnDisk) {
    QTemporaryDir folder;
    for (qint64 count : {0, 1, 16, 256, 1022}) {
        const Palette palette = opaquePalette(count, quint32(count));
        for (PaletteFileFormat format : PaletteFileFormats::all) {
            const QString path =
                folder.filePath("swatches." + PaletteFileFormats::extension(format));
            PaletteFile::write(palette, format, path);
            const Palette back = PaletteFile::read(path);
            EXPECT_EQ(back.colors, palette.colors) << path.toStdString() << " " << count;
            // Only the GIMP format stores a name; the others are named after the file.
            EXPECT_EQ(back.name,
                      format == PaletteFileFormat::gpl ? palette.name : QString("swatches"));
        }
    }
}

TEST(PaletteFile, ReadsFilesAsOtherProgramsWriteThem) {
    const QByteArray gimp = "GIMP Palette\r\nName: Forest\r\nColumns: 4\r\n# a comment\r\n"
                            "  0 128 255\tDeep sky\r\n\r\n12  34 56\n255 255 255 White snow\n";
    const Palette forest = PaletteFile::decode(gimp, PaletteFileFormat::gpl, "file");
    EXPECT_EQ(forest.name, "Forest");
    EXPECT_EQ(forest.colors, QList<PixelColor>({PixelColor(0xFF0080FF), PixelColor(0xFF0C2238),
                                                PixelColor(0xFFFFFFFF)}));

    const Palette hex = PaletteFile::decode("\xEF\xBB\xBF"
                                            "ff0000\r\n#00Ff00\n\n0000ff",
                                            PaletteFileFormat::hex, "list");
    EXPECT_EQ(hex.colors, QList<PixelColor>({PixelColor(0xFFFF0000), PixelColor(0xFF00FF00),
                                             PixelColor(0xFF0000FF)}));

    // A file with another extension is recognised by its header.
    EXPECT_EQ(PaletteFile::decode(gimp, std::nullopt, "x").name, "Forest");
}

TEST(PaletteFile, BadFilesAreRefusedWithTheReason) {
    using F = PaletteFileFormat;
    EXPECT_EQ(refusal("JASC-PAL\n0100\n0\n", F::gpl),
              "A GIMP palette starts with the line “GIMP Palette”.");
    EXPECT_EQ(refusal("GIMP Palette\n", F::pal),
              "A JASC palette starts with the lines “JASC-PAL” and “0100”.");
    for (const auto& [bytes, format, line] : QList<std::tuple<QByteArray, F, QString>>{
             {"GIMP Palette\n1 2 3\n256 0 0 Too red\n", F::gpl, "Line 3: “256 0 0 Too red”"},
             {"GIMP Palette\n-1 0 0\n", F::gpl, "Line 2: “-1 0 0”"},
             {"JASC-PAL\n0100\n1\n1 2 3 4\n", F::pal, "Line 4: “1 2 3 4”"}})
        EXPECT_EQ(refusal(bytes, format), line + " is not a colour (three numbers from 0 to 255).");
    EXPECT_EQ(refusal("JASC-PAL\n0100\n3\n1 2 3\n", F::pal),
              "The palette says it holds 3 colours but lists 1.");
    EXPECT_EQ(refusal("JASC-PAL\n0100\nmany\n", F::pal), "Line 3: “many” is not a colour count.");
    EXPECT_EQ(refusal("ff0000\nfff\n", F::hex),
              "Line 2: “fff” is not a colour (six hexadecimal digits, RRGGBB).");
    EXPECT_EQ(refusal("ff0000\n", std::nullopt),
              "This is not a palette file Kestrin reads: use a GIMP .gpl, a .hex or a JASC .pal "
              "file.");

    const QByteArray many = "JASC-PAL\n0100\n1025\n" + QByteArray("1 2 3\n").repeated(1025);
    EXPECT_EQ(refusal(many, F::pal), "The palette holds more than 1024 colours.");
    EXPECT_EQ(refusal(QByteArray(PaletteFile::maximumFileBytes + 1, '\n'), F::hex),
              "The file is larger than a palette can be (1 MB).");

    const QByteArray png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    for (F format : PaletteFileFormats::all)
        EXPECT_EQ(refusal(png, format), "The file is not a text file.");
}

TEST(PaletteFile, UnreadableAndUnwritablePathsAreReported) {
    QTemporaryDir folder;
    EXPECT_THROW(PaletteFile::read(folder.filePath("missing.gpl")), PaletteFileError);
    EXPECT_THROW(PaletteFile::write(opaquePalette(2, 2), PaletteFileFormat::gpl,
                                    folder.filePath("no/such/folder/x.gpl")),
                 PaletteFileError);
}
