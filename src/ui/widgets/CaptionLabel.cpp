#include "CaptionLabel.h"

namespace {

constexpr qreal captionScale = 0.85;

} // namespace

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setWordWrap(true);
    // The placeholder colour is the palette's secondary text, in light and dark schemes alike.
    setForegroundRole(QPalette::PlaceholderText);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * captionScale);
    setFont(small);
}
