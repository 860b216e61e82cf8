#pragma once

#include <QLabel>

// A small, quieter line of explanation under an inspector control; wraps to the column.
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    explicit CaptionLabel(const QString& text = QString(), QWidget* parent = nullptr);
};
