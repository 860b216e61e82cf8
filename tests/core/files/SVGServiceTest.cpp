#include "SVGService.h"

#include <gtest/gtest.h>

namespace {

QByteArray document(int width, int height, int viewWidth, int viewHeight, const char* rects) {
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + QByteArray::number(width) +
           "\" height=\"" + QByteArray::number(height) + "\" viewBox=\"0 0 " +
           QByteArray::number(viewWidth) + ' ' + QByteArray::number(viewHeight) +
           "\" shape-rendering=\"crispEdges\">\n" + rects + "</svg>\n";
}

} // namespace

TEST(SVGService, WritesOneRectanglePerRunExactly) {
    struct Case {
        const char* name;
        QList<quint32> pixels;
        qint64 width, height, percent;
        QByteArray expected;
    };
    const Case cases[] = {
        {"alpha 1 keeps three decimals",
         {0x01102030},
         1,
         1,
         100,
         document(1, 1, 1, 1,
                  "<rect x=\"0\" y=\"0\" width=\"1\" height=\"1\" fill=\"#102030\" "
                  "fill-opacity=\"0.004\"/>\n")},
        {"runs break on colour and alpha, never across rows; transparent gives nothing",
         {0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFFFF0000, 0xFFABCDEF, 0x80ABCDEF, 0x00ABCDEF,
          0xFFABCDEF},
         4,
         2,
         100,
         document(4, 2, 4, 2,
                  "<rect x=\"0\" y=\"0\" width=\"2\" height=\"1\" fill=\"#FF0000\"/>\n"
                  "<rect x=\"2\" y=\"0\" width=\"1\" height=\"1\" fill=\"#00FF00\"/>\n"
                  "<rect x=\"3\" y=\"0\" width=\"1\" height=\"1\" fill=\"#FF0000\"/>\n"
                  "<rect x=\"0\" y=\"1\" width=\"1\" height=\"1\" fill=\"#ABCDEF\"/>\n"
                  "<rect x=\"1\" y=\"1\" width=\"1\" height=\"1\" fill=\"#ABCDEF\" "
                  "fill-opacity=\"0.502\"/>\n"
                  "<rect x=\"3\" y=\"1\" width=\"1\" height=\"1\" fill=\"#ABCDEF\"/>\n")},
        {"percent changes only the declared size", QList<quint32>(256, 0), 16, 16, 1000,
         document(160, 160, 16, 16, "")},
        {"halves round away from zero", QList<quint32>(6, 0), 3, 2, 50, document(2, 1, 3, 2, "")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SVGService::data(c.pixels, c.width, c.height, c.percent), c.expected) << c.name;
}
