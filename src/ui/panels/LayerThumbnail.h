#pragma once

#include "Cel.h"

#include <QImage>
#include <QWidget>
#include <optional>

// A layer's cel in the active frame, shrunk into a small rounded square over a checkerboard;
// just the checkerboard when the layer has no cel there.
class LayerThumbnail : public QWidget {
    Q_OBJECT

public:
    static constexpr int side = 24;

    explicit LayerThumbnail(QWidget* parent = nullptr);

    void setCel(const std::optional<Cel>& cel);
    const QImage& image() const { return picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Cel> shown;
    QImage picture;
};
