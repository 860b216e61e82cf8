#pragma once

#include "Cel.h"

#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// One layer: an identity, how it is shown, and one optional cel per frame.
struct Layer {
    QUuid id;
    QString name;
    bool isVisible = true;
    double opacity = 1.0;
    QList<std::optional<Cel>> cels;

    Layer() = default;
    // A new visible, opaque layer with a fresh id and frameCount empty slots.
    Layer(const QString& name, qint64 frameCount);

    friend bool operator==(const Layer& a, const Layer& b) = default;
};
