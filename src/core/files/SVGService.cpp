#include "SVGService.h"

#include "ExportError.h"
#include "ExportScale.h"

namespace {

void appendRun(QByteArray& text, qint64 x, qint64 y, qint64 length, quint32 word) {
    const PixelColor color(word);
    text += "<rect x=\"" + QByteArray::number(x) + "\" y=\"" + QByteArray::number(y) +
            "\" width=\"" + QByteArray::number(length) + "\" height=\"1\" fill=\"" +
            SVGService::hex(color).toLatin1() + '"';
    if (color.alpha() != 255)
        text += " fill-opacity=\"" + QByteArray::number(color.alpha() / 255.0, 'f', 3) + '"';
    text += "/>\n";
}

} // namespace

namespace SVGService {

QByteArray data(const QList<quint32>& pixels, qint64 width, qint64 height, qint64 percent) {
    if (width < 1 || height < 1 || pixels.size() < width * height)
        throw ExportError::renderFailed();
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      QByteArray::number(ExportScale::side(width, percent)) + "\" height=\"" +
                      QByteArray::number(ExportScale::side(height, percent)) + "\" viewBox=\"0 0 " +
                      QByteArray::number(width) + ' ' + QByteArray::number(height) +
                      "\" shape-rendering=\"crispEdges\">\n";
    const quint32* words = pixels.constData();
    for (qint64 y = 0; y < height; ++y) {
        const quint32* row = words + y * width;
        qint64 x = 0;
        while (x < width) {
            const quint32 word = row[x];
            qint64 end = x + 1;
            while (end < width && row[end] == word)
                ++end;
            if (word >> 24)
                appendRun(text, x, y, end - x, word);
            x = end;
        }
    }
    text += "</svg>\n";
    return text;
}

QString hex(PixelColor color) {
    return QString::asprintf("#%02X%02X%02X", color.red(), color.green(), color.blue());
}

} // namespace SVGService
