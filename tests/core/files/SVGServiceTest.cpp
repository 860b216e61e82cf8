#include "SVGService.h"
#include "ExportError.h"

#include <gtest/gtest.h>

namespace {

const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const QByteArray closing = "</svg>\n";

QByteArray opening(int width, int height, int viewWidth, int viewHeight) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + QByteArray::number(width) +
           "\" height=\"" + QByteArray::number(height) + "\" viewBox=\"0 0 " +
           QByteArray::number(viewWidth) + ' ' + QByteArray::number(viewHeight) +
           "\" shape-rendering=\"crispEdges\">\n";
}

struct SvgCase {
    const char* name;
    QList<quint32> pixels;
    qint64 width;
    qint64 height;
    qint64 percent;
    QByteArray expected;
};

} // namespace

TEST(SVGService, WritesOneRectanglePerRunExactly) {
    const SvgCase cases[] = {
        {"two red pixels",
         {0xFFFF0000, 0xFFFF0000},
         2,
         1,
         100,
         declaration + opening(2, 1, 2, 1) +
             "<rect x=\"0\" y=\"0\" width=\"2\" height=\"1\" fill=\"#FF0000\"/>\n" + closing},
        {"half-transparent blue",
         {0x800000FF},
         1,
         1,
         100,
         declaration + opening(1, 1, 1, 1) +
             "<rect x=\"0\" y=\"0\" width=\"1\" height=\"1\" fill=\"#0000FF\" "
             "fill-opacity=\"0.502\"/>\n" +
             closing},
        {"alpha 1 keeps three decimals",
         {0x01102030},
         1,
         1,
         100,
         declaration + opening(1, 1, 1, 1) +
             "<rect x=\"0\" y=\"0\" width=\"1\" height=\"1\" fill=\"#102030\" "
             "fill-opacity=\"0.004\"/>\n" +
             closing},
        {"runs break on colour and alpha, never across rows",
         {0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFFFF0000, 0xFFABCDEF, 0x80ABCDEF, 0x00ABCDEF,
          0xFFABCDEF},
         4,
         2,
         100,
         declaration + opening(4, 2, 4, 2) +
             "<rect x=\"0\" y=\"0\" width=\"2\" height=\"1\" fill=\"#FF0000\"/>\n"
             "<rect x=\"2\" y=\"0\" width=\"1\" height=\"1\" fill=\"#00FF00\"/>\n"
             "<rect x=\"3\" y=\"0\" width=\"1\" height=\"1\" fill=\"#FF0000\"/>\n"
             "<rect x=\"0\" y=\"1\" width=\"1\" height=\"1\" fill=\"#ABCDEF\"/>\n"
             "<rect x=\"1\" y=\"1\" width=\"1\" height=\"1\" fill=\"#ABCDEF\" "
             "fill-opacity=\"0.502\"/>\n"
             "<rect x=\"3\" y=\"1\" width=\"1\" height=\"1\" fill=\"#ABCDEF\"/>\n" +
             closing},
        {"transparent pixels of any colour give nothing",
         {0x00FF0000, 0x00000000, 0x0012FFFF},
         3,
         1,
         100,
         declaration + opening(3, 1, 3, 1) + closing},
        {"percent changes only the declared size", QList<quint32>(256, 0), 16, 16, 1000,
         declaration + opening(160, 160, 16, 16) + closing},
        {"a shrunk side stays one pixel",
         {0},
         1,
         1,
         25,
         declaration + opening(1, 1, 1, 1) + closing},
        {"halves round away from zero", QList<quint32>(6, 0), 3, 2, 50,
         declaration + opening(2, 1, 3, 2) + closing},
    };
    for (const SvgCase& c : cases)
        EXPECT_EQ(SVGService::data(c.pixels, c.width, c.height, c.percent), c.expected) << c.name;
}

TEST(SVGService, RefusesBuffersThatDoNotMatchTheirSize) {
    EXPECT_THROW(SVGService::data({}, 0, 1, 100), ExportError);
    EXPECT_THROW(SVGService::data({0, 0, 0}, 2, 2, 100), ExportError);
    EXPECT_EQ(SVGService::hex(PixelColor(0x7F0A0B0C)), "#0A0B0C");
}
