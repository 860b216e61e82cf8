#include "FuzzPackageFormat.h"
#include "ProjectPackage.h"

#include "PixelRenderer.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <cstdio>

// Writes the fuzzer's seed packages into the folder given as the only argument: small valid
// packages of every shape the reader knows, so mutations start from files that open.
namespace {

Sprite seedSprite() {
    Sprite sprite = Sprite::blank(5, 3);
    sprite.insertFrame(1);
    sprite.frames[1].duration = 40;
    sprite.layers.append(Layer(QStringLiteral("Ink"), 2));
    sprite.layers[1].isVisible = false;
    sprite.layers[1].opacity = 0.5;
    sprite.normalize();
    sprite.ensureCel(0, 0);
    sprite.layers[0].cels[0] = Cel(sprite.width, sprite.height,
                                   {0xFF102030, 0x80FF0000, 0, 0x01020304, 0xFFFFFFFF, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0, 0x7F00FF00});
    sprite.ensureCel(1, 1);
    sprite.layers[1].cels[1]->fill(0xC0123456);
    return sprite;
}

// One layer whose image is given by "file", as the first package version stored it.
QByteArray versionOneSeed() {
    Sprite sprite = Sprite::blank(2, 2);
    sprite.ensureCel(0, 0);
    sprite.layers[0].cels[0] = Cel(2, 2, {0xFF000000, 0x40FFFFFF, 0, 0xFF00FF00});
    PackageTree tree = ProjectPackage::fileWrapper(sprite);
    const QString id = sprite.layers[0].id.toString(QUuid::WithoutBraces);
    tree.insert(ProjectPackage::manifestFileName,
                PackageTree::file(QStringLiteral("{\"version\": 1, \"width\": 2, \"height\": 2, "
                                                 "\"palette\": {\"name\": \"P\", \"colors\": "
                                                 "[\"#FF0000\"]}, \"layers\": [{\"id\": \"%1\", "
                                                 "\"name\": \"Old\", \"visible\": true, "
                                                 "\"opacity\": 1, \"file\": "
                                                 "\"layers/layer_0_frame_0.png\"}]}")
                                      .arg(id)
                                      .toUtf8()));
    return FuzzPackageFormat::bytesFromTree(tree);
}

// The same package with cel files other programs might write: indexed, grey, 16-bit, no alpha
// and tagged with another colour space, so the converting decoder path is fuzzed too.
QByteArray foreignCelsSeed() {
    const Sprite sprite = seedSprite();
    PackageTree tree = ProjectPackage::fileWrapper(sprite);
    QImage image(5, 3, QImage::Format_ARGB32);
    image.fill(0x80FF8000);
    const QList<QImage> variants = {image.convertToFormat(QImage::Format_Indexed8),
                                    image.convertToFormat(QImage::Format_Grayscale16),
                                    image.convertToFormat(QImage::Format_RGB32),
                                    image.convertToFormat(QImage::Format_RGBA64)};
    PackageTree layers = *tree.entry(ProjectPackage::layersDirectoryName);
    for (qsizetype i = 0; i < variants.size(); ++i) {
        QImage variant = variants[i];
        if (i == 3)
            variant.setColorSpace(QColorSpace::DisplayP3);
        layers.insert(ProjectPackage::celFileName(i % 2, i / 2),
                      PackageTree::file(PixelRenderer::pngData(variant)));
    }
    tree.insert(ProjectPackage::layersDirectoryName, layers);
    const QString json =
        QString::fromUtf8(tree.entry(ProjectPackage::manifestFileName)->contents());
    const QString cels =
        QStringLiteral("\"cels\": [{\"file\": \"layers/layer_%1_frame_0.png\", "
                       "\"frame\": 0}, {\"file\": \"layers/layer_%1_frame_1.png\", "
                       "\"frame\": 1}]");
    QString manifest = json;
    manifest.replace(QRegularExpression("\"cels\": \\[[^\\]]*\\]"), QStringLiteral("CELS"));
    manifest.replace(manifest.indexOf("CELS"), 4, cels.arg(0));
    manifest.replace(manifest.indexOf("CELS"), 4, cels.arg(1));
    tree.insert(ProjectPackage::manifestFileName, PackageTree::file(manifest.toUtf8()));
    return FuzzPackageFormat::bytesFromTree(tree);
}

bool save(const QDir& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool written =
        save(folder, "two-layers-two-frames",
             FuzzPackageFormat::bytesFromTree(ProjectPackage::fileWrapper(seedSprite()))) &&
        save(folder, "blank",
             FuzzPackageFormat::bytesFromTree(ProjectPackage::fileWrapper(Sprite::blank(1, 1)))) &&
        save(folder, "version-one", versionOneSeed()) &&
        save(folder, "foreign-cels", foreignCelsSeed());
    return written ? 0 : 1;
}
