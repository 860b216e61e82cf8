#include "PaletteFile.h"

#include "PaletteFileError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringList>
#include <algorithm>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("PaletteFile", text);
}

[[noreturn]] void refuse(const QString& message) {
    throw PaletteFileError(message);
}

// A line of the file with its 1-based number, for messages.
struct Line {
    qint64 number;
    QString text;
};

QList<Line> textLines(const QByteArray& bytes) {
    if (bytes.contains('\0'))
        refuse(tr("The file is not a text file."));
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        refuse(tr("The file is not a text file."));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QList<Line> lines;
    qint64 number = 0;
    for (const QString& line : text.split(u'\n'))
        lines.append({++number, line.trimmed()});
    return lines;
}

void checkCount(qint64 count) {
    if (count > PaletteFile::maximumColors)
        refuse(tr("The palette holds more than %1 colours.").arg(PaletteFile::maximumColors));
}

// Three whole numbers from 0 to 255 at the start of the line.
PixelColor channels(const Line& line, bool allowName) {
    const QStringList parts = line.text.split(QRegularExpression(QStringLiteral("\\s+")));
    int values[3] = {};
    bool valid = parts.size() >= 3 && (allowName || parts.size() == 3);
    for (int i = 0; i < 3 && valid; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        valid = ok && values[i] >= 0 && values[i] <= 255;
    }
    if (!valid)
        refuse(tr("Line %1: “%2” is not a colour (three numbers from 0 to 255).")
                   .arg(line.number)
                   .arg(line.text.left(40)));
    return PixelColor::fromChannels(values[0], values[1], values[2]);
}

Palette decodeGpl(const QList<Line>& lines, const QString& fallbackName) {
    if (lines.isEmpty() || lines.first().text != QLatin1String("GIMP Palette"))
        refuse(tr("A GIMP palette starts with the line “GIMP Palette”."));
    Palette palette{fallbackName, {}};
    for (const Line& line : lines.mid(1)) {
        if (line.text.isEmpty() || line.text.startsWith(u'#'))
            continue;
        if (line.text.startsWith(QLatin1String("Name:"))) {
            const QString name = line.text.mid(5).trimmed();
            if (!name.isEmpty())
                palette.name = name;
            continue;
        }
        if (line.text.startsWith(QLatin1String("Columns:")))
            continue;
        checkCount(palette.colors.size() + 1);
        palette.colors.append(channels(line, true));
    }
    return palette;
}

Palette decodeHex(const QList<Line>& lines, const QString& fallbackName) {
    static const QRegularExpression hexLine(QStringLiteral("^#?[0-9A-Fa-f]{6}$"));
    Palette palette{fallbackName, {}};
    for (const Line& line : lines) {
        if (line.text.isEmpty())
            continue;
        if (!hexLine.match(line.text).hasMatch())
            refuse(tr("Line %1: “%2” is not a colour (six hexadecimal digits, RRGGBB).")
                       .arg(line.number)
                       .arg(line.text.left(40)));
        checkCount(palette.colors.size() + 1);
        const QString digits = line.text.right(6);
        palette.colors.append(PixelColor(0xFF000000u | digits.toUInt(nullptr, 16)));
    }
    return palette;
}

Palette decodePal(QList<Line> lines, const QString& fallbackName) {
    while (!lines.isEmpty() && lines.last().text.isEmpty())
        lines.removeLast();
    if (lines.size() < 3 || lines[0].text != QLatin1String("JASC-PAL") ||
        lines[1].text != QLatin1String("0100"))
        refuse(tr("A JASC palette starts with the lines “JASC-PAL” and “0100”."));
    bool ok = false;
    const qint64 count = lines[2].text.toLongLong(&ok);
    if (!ok || count < 0)
        refuse(tr("Line 3: “%1” is not a colour count.").arg(lines[2].text.left(40)));
    checkCount(count);
    if (lines.size() - 3 != count)
        refuse(tr("The palette says it holds %1 colours but lists %2.")
                   .arg(count)
                   .arg(lines.size() - 3));
    Palette palette{fallbackName, {}};
    for (const Line& line : lines.mid(3))
        palette.colors.append(channels(line, false));
    return palette;
}

std::optional<PaletteFileFormat> sniffed(const QList<Line>& lines) {
    if (lines.isEmpty())
        return std::nullopt;
    if (lines.first().text == QLatin1String("GIMP Palette"))
        return PaletteFileFormat::gpl;
    if (lines.first().text == QLatin1String("JASC-PAL"))
        return PaletteFileFormat::pal;
    return std::nullopt;
}

QString hexDigits(PixelColor color) {
    return QStringLiteral("%1").arg(color.raw & 0xFFFFFFu, 6, 16, QChar(u'0'));
}

} // namespace

namespace PaletteFile {

Palette decode(const QByteArray& bytes, std::optional<PaletteFileFormat> format,
               const QString& fallbackName) {
    if (bytes.size() > maximumFileBytes)
        refuse(tr("The file is larger than a palette can be (1 MB)."));
    const QList<Line> lines = textLines(bytes);
    const std::optional<PaletteFileFormat> chosen = format ? format : sniffed(lines);
    if (!chosen)
        refuse(tr("This is not a palette file Kestrin reads: use a GIMP .gpl, a .hex or a JASC "
                  ".pal file."));
    switch (*chosen) {
    case PaletteFileFormat::hex:
        return decodeHex(lines, fallbackName);
    case PaletteFileFormat::pal:
        return decodePal(lines, fallbackName);
    case PaletteFileFormat::gpl:
        break;
    }
    return decodeGpl(lines, fallbackName);
}

Palette read(const QString& path) {
    return read(path, PaletteFileFormats::fromPath(path));
}

Palette read(const QString& path, std::optional<PaletteFileFormat> format) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(
            tr("“%1” could not be read: %2").arg(QFileInfo(path).fileName(), file.errorString()));
    if (file.size() > maximumFileBytes)
        refuse(tr("The file is larger than a palette can be (1 MB)."));
    return decode(file.read(maximumFileBytes + 1), format, QFileInfo(path).completeBaseName());
}

QByteArray encode(const Palette& palette, PaletteFileFormat format) {
    QString text;
    switch (format) {
    case PaletteFileFormat::gpl: {
        QString name = palette.name;
        name.replace(u'\r', u' ').replace(u'\n', u' ');
        text = QStringLiteral("GIMP Palette\nName: %1\n#\n").arg(name.trimmed());
        for (PixelColor color : palette.colors)
            text += QStringLiteral("%1 %2 %3\t#%4\n")
                        .arg(color.red(), 3)
                        .arg(color.green(), 3)
                        .arg(color.blue(), 3)
                        .arg(hexDigits(color).toUpper());
        break;
    }
    case PaletteFileFormat::hex:
        for (PixelColor color : palette.colors)
            text += hexDigits(color) + u'\n';
        break;
    case PaletteFileFormat::pal:
        text = QStringLiteral("JASC-PAL\r\n0100\r\n%1\r\n").arg(palette.colors.size());
        for (PixelColor color : palette.colors)
            text += QStringLiteral("%1 %2 %3\r\n")
                        .arg(color.red())
                        .arg(color.green())
                        .arg(color.blue());
        break;
    }
    return text.toUtf8();
}

void write(const Palette& palette, PaletteFileFormat format, const QString& path) {
    QSaveFile file(path);
    const QByteArray bytes = encode(palette, format);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        refuse(tr("“%1” could not be written: %2")
                   .arg(QFileInfo(path).fileName(), file.errorString()));
}

std::optional<QString> alphaNote(const Palette& palette) {
    const qint64 translucent = std::count_if(palette.colors.cbegin(), palette.colors.cend(),
                                             [](PixelColor color) { return color.alpha() != 255; });
    if (translucent == 0)
        return std::nullopt;
    if (translucent == 1)
        return tr("1 colour had transparency: the file keeps only its red, green and blue.");
    return tr("%1 colours had transparency: the file keeps only their red, green and blue.")
        .arg(translucent);
}

} // namespace PaletteFile
