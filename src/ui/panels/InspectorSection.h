#pragma once

#include <QLabel>
#include <QWidget>

// One section of the inspector column: its title above its content.
class InspectorSection : public QWidget {
    Q_OBJECT

public:
    // Takes ownership of content.
    InspectorSection(const QString& title, QWidget* content, QWidget* parent = nullptr);

    QString title() const { return heading->text(); }
    QWidget* content() const { return body; }

private:
    QLabel* heading;
    QWidget* body;
};
