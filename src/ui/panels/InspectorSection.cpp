#include "InspectorSection.h"

#include <QVBoxLayout>

InspectorSection::InspectorSection(const QString& title, QWidget* content, QWidget* parent)
    : QWidget(parent), heading(new QLabel(title, this)), body(content) {
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    heading->setForegroundRole(QPalette::PlaceholderText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);
    layout->addWidget(heading);
    layout->addWidget(body);
}
