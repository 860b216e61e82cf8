#include "SelfInstaller.h"

#include "ApplicationResources.h"
#include "InstallError.h"
#include "InstallPolicy.h"
#include "InstanceChannel.h"

#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

namespace {

const QString skipSettingKey = QStringLiteral("SkipInstallPrompt");
constexpr std::chrono::seconds quitTimeout(5);

QSettings settingsStore() {
    return QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
}

void setUp(QMessageBox& alert, const QString& title, const QString& text) {
    alert.setIconPixmap(ApplicationResources::applicationIcon().pixmap(64));
    alert.setWindowTitle(QStringLiteral("Kestrin"));
    alert.setText(title);
    alert.setInformativeText(text);
}

SelfInstaller::Permission askWithDialog(const QString& question, const QString& explanation) {
    QMessageBox alert;
    setUp(alert, question, explanation);
    QPushButton* move = alert.addButton(SelfInstaller::tr("Move"), QMessageBox::AcceptRole);
    alert.addButton(SelfInstaller::tr("Not Now"), QMessageBox::RejectRole);
    alert.setDefaultButton(move);
    alert.setCheckBox(new QCheckBox(SelfInstaller::tr("Don't ask again")));
    alert.exec();
    return {alert.clickedButton() == move, alert.checkBox()->isChecked()};
}

void reportWithDialog(const QString& title, const QString& text) {
    QMessageBox alert;
    setUp(alert, title, text);
    alert.addButton(SelfInstaller::tr("OK"), QMessageBox::AcceptRole);
    alert.exec();
}

// Starts the installed binary with this launch's arguments (documents to open) and quits this
// copy once its event loop runs, so a call before QApplication::exec() also takes effect.
bool relaunchAndQuit(const QString& binary) {
    if (!QProcess::startDetached(binary, QCoreApplication::arguments().mid(1)))
        return false;
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    return true;
}

} // namespace

SelfInstaller::SelfInstaller(QString executablePath, UserInstallation target,
                             Interaction interaction)
    : executablePath(std::move(executablePath)), target(std::move(target)),
      interaction(std::move(interaction)) {}

bool SelfInstaller::installIfNeeded() {
    const SelfInstaller installer(QCoreApplication::applicationFilePath(),
                                  UserInstallation::forCurrentUser(), dialogs());
    return installer.run();
}

SelfInstaller::Interaction SelfInstaller::dialogs() {
    return Interaction{
        .askPermission = askWithDialog,
        .report = reportWithDialog,
        .quitOtherInstances =
            [](const QString& binary) { return InstanceChannel::askToQuit(binary, quitTimeout); },
        .relaunch = relaunchAndQuit,
    };
}

QString SelfInstaller::shownBinDirectory() const {
    return UserInstallation::shownPath(target.binDirectory());
}

bool SelfInstaller::run() const {
    const bool skipPrompt = settingsStore().value(skipSettingKey, false).toBool();
    if (InstallPolicy::verdict(executablePath, QDir::homePath(), skipPrompt) !=
        InstallPolicy::Verdict::offer)
        return false;
    const bool replacing = target.hasInstalledCopy();
    const Permission permission = interaction.askPermission(
        tr("Move Kestrin to %1 and add it to your applications menu?").arg(shownBinDirectory()),
        replacing ? tr("The Kestrin already installed there will be moved to the Trash, and this "
                       "one will reopen in its place.")
                  : tr("Kestrin will reopen from its new home."));
    if (permission.dontAskAgain)
        settingsStore().setValue(skipSettingKey, true);
    if (!permission.install)
        return false;
    if (!target.prepareBinDirectory()) {
        interaction.report(tr("Kestrin could not be moved."),
                           tr("The folder %1 is not writable by this account. Copy Kestrin there "
                              "yourself instead.")
                               .arg(shownBinDirectory()));
        return false;
    }
    if (!replaceAndInstall(replacing))
        return false;
    UserInstallation::trashIfSafe(executablePath);
    if (!interaction.relaunch(target.binaryPath())) {
        interaction.report(tr("Kestrin could not be reopened."),
                           tr("It is installed in %1; start it from your applications menu.")
                               .arg(shownBinDirectory()));
        return false;
    }
    return true;
}

bool SelfInstaller::replaceAndInstall(bool replacing) const {
    if (replacing && !interaction.quitOtherInstances(target.binaryPath())) {
        interaction.report(tr("Kestrin is already running."),
                           tr("Quit the copy that is already open, then try again."));
        return false;
    }
    try {
        target.install(executablePath);
    } catch (const InstallError& error) {
        interaction.report(tr("Kestrin could not be moved."), error.message());
        return false;
    }
    return true;
}
