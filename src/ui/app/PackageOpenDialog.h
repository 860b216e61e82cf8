#pragma once

#include <QFileDialog>

// The Open dialog for projects. A project is a folder ending in ".pixel", which a file dialog
// would walk into instead of choosing; this one takes a selected or double-clicked package
// folder as the answer, and "project.json" inside a package as that package. It starts beside
// the last project.
class PackageOpenDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit PackageOpenDialog(QWidget* parent = nullptr);

    // The package folder chosen, or the file chosen when it is not one; empty until accepted.
    QString chosenPath() const { return chosen; }

    // The package a path stands for: a "*.pixel" folder itself, or the folder holding a
    // "project.json"; empty for anything else.
    static QString packageFor(const QString& path);
    // Where the dialog starts: the folder holding the last project opened or saved (never a
    // package), else the Documents folder.
    static QString startFolder();

public slots:
    void accept() override;

private:
    void choose(const QString& path);

    QString chosen;
};
