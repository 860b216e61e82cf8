#include "Layer.h"

Layer::Layer(const QString& name, qint64 frameCount)
    : id(QUuid::createUuid()), name(name), cels(frameCount > 0 ? frameCount : 0) {}
