#include "UserPrompts.h"

#include "ApplicationResources.h"
#include "PackageOpenDialog.h"
#include "ProjectPackage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace {

void setUp(QMessageBox& box, const QString& message, const QString& detail) {
    box.setWindowTitle(QStringLiteral("Kestrin"));
    box.setText(message);
    box.setInformativeText(detail);
    box.setWindowModality(box.parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
}

void showAlert(QWidget* parent, const QString& message, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok, parent);
    setUp(box, message, detail);
    box.exec();
}

UserPrompts::SaveChoice askToSaveWithDialog(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, parent);
    setUp(box, UserPrompts::tr("Save the changes to “%1” before closing?").arg(name),
          UserPrompts::tr("If you don't save, your changes will be lost."));
    QPushButton* save = box.addButton(UserPrompts::tr("Save"), QMessageBox::AcceptRole);
    QPushButton* discard =
        box.addButton(UserPrompts::tr("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(UserPrompts::tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UserPrompts::SaveChoice::save;
    return box.clickedButton() == discard ? UserPrompts::SaveChoice::discard
                                          : UserPrompts::SaveChoice::cancel;
}

QString saveLocationWithDialog(QWidget* parent, const QString& suggestedPath) {
    const QString extension = ProjectPackage::fileExtension;
    QString path =
        QFileDialog::getSaveFileName(parent, UserPrompts::tr("Save Project"), suggestedPath,
                                     UserPrompts::tr("Kestrin projects (*.%1)").arg(extension));
    if (!path.isEmpty() && QFileInfo(path).suffix() != extension)
        path += u'.' + extension;
    return path;
}

bool replaceWithDialog(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, parent);
    setUp(box, UserPrompts::tr("“%1” already exists. Replace it?").arg(name),
          UserPrompts::tr("The project saved there before will be replaced by this one."));
    QPushButton* replace = box.addButton(UserPrompts::tr("Replace"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(UserPrompts::tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == replace;
}

QString projectWithDialog(QWidget* parent) {
    PackageOpenDialog dialog(parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenPath() : QString();
}

QString imageWithDialog(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent,
                                        UserPrompts::tr("Choose a PNG to open as a new sprite."),
                                        QString(), UserPrompts::tr("PNG images (*.png)"));
}

bool restoreWithDialog(const QString& name, const QDateTime& savedAt) {
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::NoButton);
    setUp(box, UserPrompts::tr("Restore the unsaved changes to “%1”?").arg(name),
          UserPrompts::tr("Kestrin stopped before they were saved. The recovered copy is from "
                          "%1.")
              .arg(QLocale().toString(savedAt, QLocale::ShortFormat)));
    box.setIconPixmap(ApplicationResources::applicationIcon().pixmap(64));
    QPushButton* restore = box.addButton(UserPrompts::tr("Restore"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(UserPrompts::tr("Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    // Only an explicit Discard throws the copy away; closing the alert keeps the work.
    return box.clickedButton() != discard;
}

UserPrompts::FailedRestoreChoice failedRestoreWithDialog(const QString& name,
                                                         const QString& error) {
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton);
    setUp(box, UserPrompts::tr("“%1” could not be restored.").arg(name),
          error + u'\n' +
              UserPrompts::tr("Try again, or discard the recovered copy. Closing this message "
                              "keeps it for the next launch."));
    QPushButton* restore = box.addButton(UserPrompts::tr("Restore"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(UserPrompts::tr("Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    if (box.clickedButton() == restore)
        return UserPrompts::FailedRestoreChoice::retry;
    return box.clickedButton() == discard ? UserPrompts::FailedRestoreChoice::discard
                                          : UserPrompts::FailedRestoreChoice::keep;
}

bool openLockedWithDialog(QWidget* parent, const QString& name, const QString& holder) {
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, parent);
    setUp(box,
          holder.isEmpty() ? UserPrompts::tr("“%1” is locked by another application.").arg(name)
                           : UserPrompts::tr("“%1” is being edited by %2.").arg(name, holder),
          UserPrompts::tr("You can open it read-only; your changes can then be saved only as "
                          "another project, with Save As…"));
    QPushButton* readOnly =
        box.addButton(UserPrompts::tr("Open Read-Only"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(UserPrompts::tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == readOnly;
}

UserPrompts::OverwriteChoice overwriteChangedWithDialog(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, parent);
    setUp(box, UserPrompts::tr("“%1” was changed by another application.").arg(name),
          UserPrompts::tr("Saving now replaces those changes with yours."));
    QPushButton* anyway =
        box.addButton(UserPrompts::tr("Save Anyway"), QMessageBox::DestructiveRole);
    QPushButton* saveAs = box.addButton(UserPrompts::tr("Save As…"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(UserPrompts::tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(saveAs);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == anyway)
        return UserPrompts::OverwriteChoice::saveAnyway;
    return box.clickedButton() == saveAs ? UserPrompts::OverwriteChoice::saveAs
                                         : UserPrompts::OverwriteChoice::cancel;
}

bool reloadChangedWithDialog(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::NoButton, parent);
    setUp(box, UserPrompts::tr("“%1” was changed by another application.").arg(name),
          UserPrompts::tr("Reload it to see those changes? Your unsaved changes stay one Undo "
                          "away."));
    QPushButton* reload = box.addButton(UserPrompts::tr("Reload"), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(UserPrompts::tr("Keep Mine"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.exec();
    return box.clickedButton() == reload;
}

} // namespace

UserPrompts UserPrompts::dialogs() {
    return UserPrompts{
        .alert = showAlert,
        .askToSave = askToSaveWithDialog,
        .chooseSaveLocation = saveLocationWithDialog,
        .askToReplace = replaceWithDialog,
        .chooseProject = projectWithDialog,
        .chooseImage = imageWithDialog,
        .askToRestore = restoreWithDialog,
        .askAfterFailedRestore = failedRestoreWithDialog,
        .askToOpenLocked = openLockedWithDialog,
        .askToOverwriteChanged = overwriteChangedWithDialog,
        .askToReloadChanged = reloadChangedWithDialog,
    };
}
