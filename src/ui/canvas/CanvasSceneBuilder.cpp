#include "CanvasSceneBuilder.h"

#include "AppSettings.h"
#include "CanvasGeometry.h"

namespace {

// Room on both sides of an outline's rectangle for the lines drawn along it.
constexpr int outlineMargin = 3;

std::optional<CanvasScene::Floating> floatingOverlay(const EditorState& editor, QPointF origin) {
    const auto& paste = editor.floatingPaste();
    if (!paste)
        return std::nullopt;
    return CanvasScene::Floating{
        editor.floatingImage(),
        CanvasGeometry::viewRect(paste->rect(), origin, editor.view().zoom())};
}

} // namespace

namespace CanvasSceneBuilder {

std::optional<OnionSkin> activeOnionSkin(const EditorState& editor) {
    const AppSettings& settings = AppSettings::shared();
    const OnionSkin skin =
        OnionSkin::bounded(settings.onionSkinFramesBefore(), settings.onionSkinFramesAfter(),
                           settings.onionSkinOpacity());
    if (!settings.onionSkinEnabled() || editor.playback().isPlaying() ||
        editor.sprite().frames.size() < 2 || (skin.framesBefore <= 0 && skin.framesAfter <= 0) ||
        skin.opacity <= 0)
        return std::nullopt;
    return skin;
}

CanvasComposite::Source compositeSource(const EditorState& editor) {
    return CanvasComposite::sourceOf(editor.sprite(), editor.displayFrame(),
                                     activeOnionSkin(editor));
}

std::optional<QRectF> selectionRect(const EditorState& editor, QPointF origin) {
    const auto selection = editor.selection();
    if (!selection || selection->isEmpty())
        return std::nullopt;
    return CanvasGeometry::viewRect(*selection, origin, editor.view().zoom());
}

std::optional<QRectF> cursorTarget(const EditorState& editor, QPointF origin) {
    const auto pixel = editor.view().cursorPixel();
    if (!pixel)
        return std::nullopt;
    const PixelRect footprint =
        CanvasGeometry::cursorFootprint(editor.activeTool(), editor.brushSize(), *pixel);
    return CanvasGeometry::viewRect(footprint, origin, editor.view().zoom());
}

CanvasScene::Colors colors(const QPalette& palette) {
    return {palette.color(QPalette::Mid), palette.color(QPalette::Base),
            palette.color(QPalette::WindowText), palette.color(QPalette::Dark),
            palette.color(QPalette::Window).lightness() < 128};
}

CanvasScene scene(const EditorState& editor, const QImage& composite, const ViewFacts& view) {
    const Sprite& sprite = editor.sprite();
    const AppSettings& settings = AppSettings::shared();
    CanvasScene scene;
    scene.origin = view.origin;
    scene.zoom = editor.view().zoom();
    scene.spriteWidth = sprite.width;
    scene.spriteHeight = sprite.height;
    scene.devicePixelRatio = view.devicePixelRatio;
    scene.colors = view.colors;
    scene.checkerboard = settings.showCheckerboard();
    scene.composite = composite;
    scene.floating = floatingOverlay(editor, view.origin);
    if (const auto& preview = editor.preview())
        scene.preview = CanvasScene::Preview{preview->pixels, QColor::fromRgba(preview->color.raw)};
    scene.grid = CanvasGeometry::showsGrid(editor.view().showPixelGrid(), scene.zoom,
                                           settings.automaticGrid(), settings.automaticGridZoom());
    scene.gridOpacity = settings.gridOpacity();
    scene.symmetry = editor.symmetry();
    scene.selection = selectionRect(editor, view.origin);
    if (view.drawsOwnCursor)
        scene.cursorTarget = cursorTarget(editor, view.origin);
    return scene;
}

// Clipped to the view before rounding, so that a far-off rectangle cannot overflow the
// integers.
QRegion outlineRegion(const QRectF& rect, const QRect& view) {
    const QRectF reach = QRectF(view).adjusted(-2 * outlineMargin, -2 * outlineMargin,
                                               2 * outlineMargin, 2 * outlineMargin);
    const QRectF visible = rect.intersected(reach);
    if (visible.isEmpty())
        return {};
    const QRect outer = visible.toAlignedRect().adjusted(-outlineMargin, -outlineMargin,
                                                         outlineMargin, outlineMargin);
    const QRect inner = outer.adjusted(2 * outlineMargin, 2 * outlineMargin, -2 * outlineMargin,
                                       -2 * outlineMargin);
    return inner.isValid() ? QRegion(outer).subtracted(inner) : QRegion(outer);
}

} // namespace CanvasSceneBuilder
