#include "ToolKind.h"

#include <QCoreApplication>

namespace {

struct ToolInfo {
    const char* raw;
    const char* title;
    char shortcut;
    const char* systemImage;
};

const ToolInfo& info(ToolKind kind) {
    static const ToolInfo table[] = {
        {"pencil", QT_TRANSLATE_NOOP("ToolKind", "Pencil"), 'p', "pencil.tip"},
        {"eraser", QT_TRANSLATE_NOOP("ToolKind", "Eraser"), 'e', "eraser"},
        {"fill", QT_TRANSLATE_NOOP("ToolKind", "Fill"), 'g', "paint.bucket.classic"},
        {"eyedropper", QT_TRANSLATE_NOOP("ToolKind", "Eyedropper"), 'i', "eyedropper"},
        {"line", QT_TRANSLATE_NOOP("ToolKind", "Line"), 'l', "line.diagonal"},
        {"rectangle", QT_TRANSLATE_NOOP("ToolKind", "Rectangle"), 'u', "square"},
        {"ellipse", QT_TRANSLATE_NOOP("ToolKind", "Ellipse"), 'o', "circle"},
        {"triangle", QT_TRANSLATE_NOOP("ToolKind", "Triangle"), 't', "triangle"},
        {"select", QT_TRANSLATE_NOOP("ToolKind", "Rectangle Selection"), 'm', "rectangle.dashed"},
        {"move", QT_TRANSLATE_NOOP("ToolKind", "Move"), 'v',
         "arrow.up.and.down.and.arrow.left.and.right"},
    };
    return table[int(kind)];
}

} // namespace

namespace ToolKinds {

const QList<ToolKind> all = {ToolKind::pencil,     ToolKind::eraser,   ToolKind::fill,
                             ToolKind::eyedropper, ToolKind::line,     ToolKind::rectangle,
                             ToolKind::ellipse,    ToolKind::triangle, ToolKind::select,
                             ToolKind::move};

QString rawValue(ToolKind kind) {
    return QLatin1String(info(kind).raw);
}

std::optional<ToolKind> fromRawValue(const QString& raw) {
    for (ToolKind kind : all) {
        if (raw == QLatin1String(info(kind).raw))
            return kind;
    }
    return std::nullopt;
}

QString title(ToolKind kind) {
    return QCoreApplication::translate("ToolKind", info(kind).title);
}

QChar shortcut(ToolKind kind) {
    return QLatin1Char(info(kind).shortcut);
}

QString systemImage(ToolKind kind) {
    return QLatin1String(info(kind).systemImage);
}

bool usesPixelPerfect(ToolKind kind) {
    return kind == ToolKind::pencil || kind == ToolKind::eraser;
}

bool usesFill(ToolKind kind) {
    return kind == ToolKind::rectangle || kind == ToolKind::ellipse || kind == ToolKind::triangle;
}

bool usesBrushSize(ToolKind kind) {
    return usesPixelPerfect(kind) || usesFill(kind) || kind == ToolKind::line;
}

} // namespace ToolKinds
