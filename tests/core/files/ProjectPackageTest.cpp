#include "ExportTestSupport.h"
#include "MemoryError.h"
#include "PackageTestSupport.h"
#include "SpriteLimits.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

using namespace kestrin::test;

namespace {

PackageTree layersOf(const PackageTree& tree) {
    return *tree.entry(ProjectPackage::layersDirectoryName);
}

} // namespace

TEST(ProjectPackageRoundTrip, EveryWordAndSettingComesBack) {
    for (qint64 width : awkwardWidths) {
        Sprite sprite = paintedSprite(width, 3, 3, 3, quint32(width));
        sprite.layers[1].isVisible = false;
        sprite.layers[1].opacity = 0.25;
        sprite.layers[2].name = QStringLiteral("Ink / \"quoted\" ✓");
        sprite.activeLayerID = sprite.layers[1].id;
        EXPECT_EQ(ProjectPackage::sprite(ProjectPackage::fileWrapper(sprite)), sprite)
            << "width " << width;
    }
}

namespace {

void editManifest(PackageTree& tree, const std::function<void(QJsonObject&)>& edit) {
    QJsonObject manifest = manifestObject(tree);
    edit(manifest);
    setManifest(tree, manifest);
}

void setLayerKey(QJsonObject& manifest, int index, const char* key, const QJsonValue& value) {
    QJsonArray layers = manifest["layers"].toArray();
    QJsonObject layer = layers[index].toObject();
    if (value.isUndefined())
        layer.remove(key);
    else
        layer[key] = value;
    layers[index] = layer;
    manifest["layers"] = layers;
}

void editLayer(PackageTree& tree, const char* key, const QJsonValue& value) {
    editManifest(tree, [&](QJsonObject& manifest) { setLayerKey(manifest, 0, key, value); });
}

QJsonArray cels(const QList<std::pair<int, const char*>>& references) {
    QJsonArray array;
    for (const auto& [frame, file] : references)
        array.append(QJsonObject{{"frame", frame}, {"file", file}});
    return array;
}

} // namespace

TEST(ProjectPackageReading, OlderAndLooserManifestsOpen) {
    Sprite sprite = paintedSprite(3, 2, 2, 1, 3);
    sprite.layers[1].cels[0] = Cel(3, 2, randomPixels(6, 99));
    const PackageTree saved = ProjectPackage::fileWrapper(sprite);

    struct Case {
        const char* what;
        std::function<void(QJsonObject&)> edit;
        std::function<void(const Sprite&)> check;
    };
    const std::vector<Case> cases = {
        {"version 1: one image per layer, no frames",
         [](QJsonObject& m) {
             m["version"] = 1;
             m.remove("frames");
             m.remove("activeFrameIndex");
             setLayerKey(m, 0, "file", "layers/layer_0_frame_0.png");
             setLayerKey(m, 0, "cels", QJsonValue::Undefined);
             setLayerKey(m, 1, "cels", QJsonValue::Undefined);
         },
         [&](const Sprite& s) {
             EXPECT_EQ(s.frames, QList<Frame>{Frame{100}});
             EXPECT_EQ(s.cel(0, 0), sprite.cel(0, 0));
             EXPECT_FALSE(s.cel(1, 0).has_value());
             EXPECT_EQ(s.activeFrameIndex, 0);
         }},
        {"cel outside the frames is ignored; unknown keys are too",
         [](QJsonObject& m) {
             setLayerKey(m, 1, "cels", cels({{7, "layers/none.png"}, {-1, "x"}}));
             m["comment"] = "from the future";
         },
         [](const Sprite& s) { EXPECT_FALSE(s.cel(1, 0).has_value()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackageTree tree = saved;
        editManifest(tree, c.edit);
        c.check(ProjectPackage::sprite(tree));
    }

    // Layers without cels need no "layers" folder at all.
    const Sprite empty = Sprite::blank(8, 8);
    PackageTree bare;
    bare.insert(ProjectPackage::manifestFileName,
                *ProjectPackage::fileWrapper(empty).entry(ProjectPackage::manifestFileName));
    EXPECT_EQ(ProjectPackage::sprite(bare), empty);
}

namespace {

enum class Expect { corrupt, decoding };

struct BrokenPackage {
    const char* what;
    std::function<void(PackageTree&)> damage;
    Expect expect;
    const char* messagePart = ""; // for decoding errors: the value the message must name
};

void setCelFile(PackageTree& tree, PackageTree file) {
    PackageTree layers = *tree.entry(ProjectPackage::layersDirectoryName);
    layers.insert("layer_0_frame_0.png", std::move(file));
    tree.insert(ProjectPackage::layersDirectoryName, layers);
}

std::vector<BrokenPackage> brokenPackages(const QByteArray& goodPng) {
    const auto json = [](const char* text) {
        return [text](PackageTree& t) {
            t.insert(ProjectPackage::manifestFileName, PackageTree::file(text));
        };
    };
    const auto top = [](const char* key, QJsonValue value) {
        return [key, value](PackageTree& t) {
            editManifest(t, [&](QJsonObject& m) { m[key] = value; });
        };
    };
    const auto without = [](const char* key) {
        return [key](PackageTree& t) { editManifest(t, [&](QJsonObject& m) { m.remove(key); }); };
    };
    const auto inLayer = [](const char* key, QJsonValue value) {
        return [key, value](PackageTree& t) { editLayer(t, key, value); };
    };
    const auto celFile = [](PackageTree file) {
        return [file](PackageTree& t) { setCelFile(t, file); };
    };
    const QImage narrow(3, 4, QImage::Format_ARGB32);
    const QImage right(4, 4, QImage::Format_ARGB32);
    QJsonArray tooManyFrames;
    for (int i = 0; i < 70000; ++i)
        tooManyFrames.append(QJsonObject{{"duration", 100}});
    const QJsonArray tooManyCels =
        cels(QList<std::pair<int, const char*>>(65537, {0, "layers/layer_0_frame_0.png"}));

    return {
        {"root is a file", [](PackageTree& t) { t = PackageTree::file("{}"); }, Expect::corrupt},
        {"no project.json",
         [](PackageTree& t) {
             PackageTree copy;
             copy.insert("layers", *t.entry("layers"));
             t = copy;
         },
         Expect::corrupt},
        {"invalid JSON", json("{\"version\": 2,"), Expect::decoding, "not valid JSON"},
        {"JSON that is no object", json("[1, 2]"), Expect::decoding, "object"},
        {"missing width", without("width"), Expect::decoding, "\"width\" is missing"},
        {"width as text", top("width", "4"), Expect::decoding, "\"width\""},
        {"visible as text", inLayer("visible", "yes"), Expect::decoding, "layers[0].visible"},
        {"bad layer UUID", inLayer("id", "not-a-uuid"), Expect::decoding, "layers[0].id"},
        {"cel without file", inLayer("cels", QJsonArray{QJsonObject{{"frame", 0}}}),
         Expect::decoding, "layers[0].cels[0].file"},
        {"bad palette colour",
         top("palette", QJsonObject{{"name", "P"}, {"colors", QJsonArray{"#12345G"}}}),
         Expect::decoding, "#12345G"},
        {"zero width", top("width", 0), Expect::decoding, "0 × 4"},
        {"absurd width", top("width", 1e15), Expect::decoding, "1000000000000000 × 4"},
        {"width above the limit", top("width", 4097), Expect::decoding, "4097 × 4"},
        {"too many layer frames", top("frames", tooManyFrames), Expect::decoding, "70000 frames"},
        {"too many cel references", inLayer("cels", tooManyCels), Expect::decoding,
         "65537 cel references"},
        {"cel header of another size than the canvas",
         [](PackageTree& t) {
             editManifest(t, [](QJsonObject& m) {
                 m["width"] = 4096;
                 m["height"] = 4096;
             });
         },
         Expect::corrupt},
        {"no layers folder",
         [](PackageTree& t) {
             PackageTree copy;
             copy.insert(ProjectPackage::manifestFileName,
                         *t.entry(ProjectPackage::manifestFileName));
             t = copy;
         },
         Expect::corrupt},
        {"cel file missing", inLayer("cels", cels({{0, "layers/gone.png"}})), Expect::corrupt},
        {"cel file is a folder", celFile(PackageTree()), Expect::corrupt},
        {"cel file is a BMP of the right size",
         celFile(PackageTree::file(encodedImage(right, "bmp"))), Expect::corrupt},
        {"cel PNG truncated", celFile(PackageTree::file(goodPng.left(goodPng.size() - 20))),
         Expect::corrupt},
        {"cel PNG one pixel narrower", celFile(PackageTree::file(encodedImage(narrow, "png"))),
         Expect::corrupt},
        {"no layers", top("layers", QJsonArray()), Expect::corrupt},
    };
}

} // namespace

TEST(ProjectPackageReading, EveryBrokenPackageFailsWithATypedError) {
    Sprite sprite = Sprite::blank(4, 4);
    sprite.ensureCel(0, 0);
    sprite.layers[0].cels[0]->fill(0xFF00FF00);
    const PackageTree good = ProjectPackage::fileWrapper(sprite);
    const QByteArray goodPng = layersOf(good).entry("layer_0_frame_0.png")->contents();

    for (const BrokenPackage& broken : brokenPackages(goodPng)) {
        SCOPED_TRACE(broken.what);
        PackageTree tree = good;
        broken.damage(tree);
        try {
            ProjectPackage::sprite(tree);
            ADD_FAILURE() << "opened";
        } catch (const PackageError& error) {
            EXPECT_EQ(broken.expect, Expect::corrupt) << error.what();
            EXPECT_EQ(error.code(), PackageError::fileReadCorruptFile);
        } catch (const DecodingError& error) {
            EXPECT_EQ(broken.expect, Expect::decoding) << error.what();
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(broken.messagePart)))
                << error.what();
        }
    }
}

TEST(ProjectPackageWriting, RefusesSpritesThatWouldNotOpenAgain) {
    const auto refused = [](const std::function<void(Sprite&)>& damage) {
        Sprite sprite = Sprite::blank(4, 4);
        damage(sprite);
        expectPackageError([&] { ProjectPackage::fileWrapper(sprite); },
                           PackageError::fileWriteUnknown);
    };
    refused([](Sprite& s) { s.layers[0].cels[0] = Cel(3, 4, QList<quint32>(12, 0xFF000000)); });
    refused([](Sprite& s) { s.layers[0].opacity = std::nan(""); });
    refused([](Sprite& s) { s.layers.clear(); });
    refused([](Sprite& s) {
        s.width = 5000;
        s.layers[0].cels[0].reset();
    });

    // Past the layers × frames limit the count alone refuses it: nothing reaches the disk.
    Sprite sprite = Sprite::blank(8, 8);
    sprite.frames = QList<Frame>(256, Frame{});
    sprite.layers.clear();
    for (qint64 l = 0; l < 257; ++l) {
        Layer layer(QString::number(l), 256);
        for (qint64 f = 0; f < 256; ++f)
            layer.cels[f] = Cel(8, 8, QList<quint32>(8 * 8, 0xFF000000 | quint32(l * 256 + f)));
        sprite.layers.append(layer);
    }
    sprite.activeLayerID = sprite.layers[0].id;
    const QTemporaryDir folder;
    const QString path = folder.filePath("many.pixel");
    const QString message =
        messageOf<PackageError>([&] { ProjectPackage::writePackage(sprite, path); });
    EXPECT_TRUE(message.startsWith("The file couldn't be saved. ")) << message.toStdString();
    EXPECT_TRUE(message.contains("257 layers × 256 frames would pass the limit of 65,536 layers × "
                                 "frames"));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(ProjectPackageReading, RefusesCelsBeyondThisMachinesMemoryBeforeDecoding) {
    // Headers only: 65536 distinct 4096 × 4096 cels would need 4 TiB.
    Sprite sprite = Sprite::blank(4, 4);
    PackageTree tree = ProjectPackage::fileWrapper(sprite);
    const QByteArray named = pngHeader(4096, 4096);
    PackageTree layers;
    QJsonArray cels;
    const qint64 frames = 256;
    for (qint64 i = 0; i < SpriteLimits::maximumLayerFrames; ++i) {
        const QString name = QStringLiteral("cel_%1.png").arg(i);
        layers.insert(name, PackageTree::file(named));
        cels.append(QJsonObject{{"frame", i % frames}, {"file", "layers/" + name}});
    }
    tree.insert(ProjectPackage::layersDirectoryName, layers);
    editManifest(tree, [&](QJsonObject& m) {
        m["width"] = 4096;
        m["height"] = 4096;
        QJsonArray durations;
        for (qint64 f = 0; f < frames; ++f)
            durations.append(QJsonObject{{"duration", 100}});
        m["frames"] = durations;
    });
    editLayer(tree, "cels", cels);
    EXPECT_TRUE(messageOf<PackageError>([&] {
                    ProjectPackage::sprite(tree);
                }).contains("There is not enough memory to open this project."));
}

namespace {

// Every file below folder with its bytes.
QMap<QString, QByteArray> filesBelow(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files.insert(file.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return files;
}

} // namespace

TEST(ProjectPackageOnDisk, RunningOutOfMemoryLeavesSpriteAndPackageAsTheyWere) {
    const Sprite saved = paintedSprite(64, 48, 2, 3, 11);
    const QTemporaryDir folder;
    const QString path = folder.filePath("hero.pixel");
    ProjectPackage::writePackage(saved, path);
    const QMap<QString, QByteArray> before = filesBelow(folder.path());
    Sprite changed = saved; // a new cel: the save must encode it and draw a new preview
    changed.layers[0].cels[0] = Cel(64, 48, QList<quint32>(64 * 48, 0xFF123456));

    const MemoryError::FailingFrom failing(64 * 48); // any canvas-sized buffer
    for (const auto& [operation, code, message] :
         {std::tuple{std::function<void()>([&] { ProjectPackage::readPackage(path); }),
                     PackageError::fileReadUnknown, "open this project"},
          std::tuple{std::function<void()>([&] { ProjectPackage::writePackage(changed, path); }),
                     PackageError::fileWriteUnknown, "save this project"}}) {
        try {
            operation();
            ADD_FAILURE() << "did not run out of memory: " << message;
        } catch (const PackageError& error) {
            EXPECT_EQ(error.code(), code);
            EXPECT_EQ(error.detail(),
                      QStringLiteral("There is not enough memory to %1.").arg(message));
        }
    }
    EXPECT_EQ(filesBelow(folder.path()), before);
}
