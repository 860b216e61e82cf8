#pragma once

#include "FrameImportRequest.h"

#include <QDialog>
#include <QSize>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QSpinBox;

// Asks how a chosen file becomes frames: every image of an animation, the cells of a sprite
// sheet (by count or by size, with padding, offset and empty cells skipped or kept) or the
// numbered sequence it belongs to. Shows what the choice gives, or why it cannot work, before
// anything is decoded, and allows Import only when it can.
class ImportFramesDialog : public QDialog {
    Q_OBJECT

public:
    explicit ImportFramesDialog(const QString& path, QWidget* parent = nullptr);

    FrameImportRequest request() const;
    // The one-line outcome of the current choice, e.g. "8 frames of 16 × 16 px".
    QString summary() const;
    bool canImport() const;

    // The kind a file suggests: an animation for a GIF or an animated PNG, a sequence for a
    // numbered PNG with numbered siblings, else a sheet.
    static FrameImportRequest::Kind suggestedKind(const QString& path);

    void setKind(FrameImportRequest::Kind kind);
    QSpinBox* columnsBox() const { return columns; }
    QSpinBox* rowsBox() const { return rows; }
    QSpinBox* paddingBox() const { return padding; }
    QSpinBox* offsetXBox() const { return offsetX; }
    QSpinBox* offsetYBox() const { return offsetY; }
    QSpinBox* cellWidthBox() const { return cellWidth; }
    QSpinBox* cellHeightBox() const { return cellHeight; }
    QComboBox* modeBox() const { return mode; }
    QCheckBox* skipEmptyBox() const { return skipEmpty; }

private:
    QSpinBox* spinBox(int minimum, int value);
    void refresh();

    QString path;
    QSize sheetSize; // from the image's header; invalid when unreadable
    QButtonGroup* kinds;
    QComboBox* mode;
    QSpinBox* columns;
    QSpinBox* rows;
    QSpinBox* cellWidth;
    QSpinBox* cellHeight;
    QSpinBox* padding;
    QSpinBox* offsetX;
    QSpinBox* offsetY;
    QCheckBox* skipEmpty;
    QFormLayout* sheetForm;
    QLabel* outcome;
    QDialogButtonBox* buttons;
};
