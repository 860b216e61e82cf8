#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <optional>

// Animated images read back by a decoder that shares no code with Kestrin: Pillow. It is
// optional; tests skip with a message when it is missing.
namespace kestrin::test {

struct ExternalAnimation {
    qint64 width = 0;
    qint64 height = 0;
    std::optional<qint64> loop;
    QList<double> durations;      // milliseconds
    QList<QList<quint32>> frames; // straight 0xAARRGGBB, the full canvas as a viewer shows it
};

inline QList<quint32> wordsFromRgba(const QByteArray& rgba) {
    QList<quint32> words(rgba.size() / 4);
    const auto* bytes = reinterpret_cast<const uchar*>(rgba.constData());
    for (qsizetype i = 0; i < words.size(); ++i) {
        const uchar* p = bytes + 4 * i;
        words[i] = (quint32(p[3]) << 24) | (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | p[2];
    }
    return words;
}

inline std::optional<QByteArray> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

// Debian's interpreter first: another python3 on the path may lack Pillow.
inline std::optional<QString> pythonWithPillow() {
    for (const QString& candidate :
         {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
        if (!candidate.isEmpty() && run(candidate, {"-c", "import PIL.PngImagePlugin"}))
            return candidate;
    }
    return std::nullopt;
}

inline const char* pillowScript = R"(
import sys, json, base64
from PIL import Image
im = Image.open(sys.argv[1])
out = {"format": im.format, "width": im.width, "height": im.height,
       "loop": im.info.get("loop"), "n": getattr(im, "n_frames", 1), "frames": []}
for i in range(out["n"]):
    im.seek(i)
    out["frames"].append({"duration": im.info.get("duration"),
                          "rgba": base64.b64encode(im.convert("RGBA").tobytes()).decode()})
print(json.dumps(out))
)";

// Every frame as Pillow shows it (disposal and blending applied), or nothing when Pillow
// refuses the file.
inline std::optional<ExternalAnimation> decodedWithPillow(const QString& python,
                                                          const QString& path) {
    const auto output = run(python, {"-c", pillowScript, path});
    if (!output)
        return std::nullopt;
    const QJsonObject json = QJsonDocument::fromJson(*output).object();
    ExternalAnimation result;
    result.width = json["width"].toInteger();
    result.height = json["height"].toInteger();
    if (json["loop"].isDouble())
        result.loop = json["loop"].toInteger();
    for (const QJsonValue& frame : json["frames"].toArray()) {
        result.durations.append(frame["duration"].toDouble(-1));
        result.frames.append(
            wordsFromRgba(QByteArray::fromBase64(frame["rgba"].toString().toLatin1())));
    }
    return result;
}

} // namespace kestrin::test
