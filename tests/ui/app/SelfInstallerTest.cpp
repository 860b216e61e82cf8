#include "SelfInstaller.h"
#include "ApplicationResources.h"
#include "InstallPolicy.h"
#include "InstanceChannel.h"
#include "ShellFixture.h"
#include "UserInstallation.h"

#include <QImage>
#include <QSettings>

namespace {

using namespace std::chrono_literals;
using Verdict = InstallPolicy::Verdict;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(InstallPolicyTest, OffersOnlyOutsideInstalledPlacesAndBuildTrees) {
    QTemporaryDir root;
    const QString home = root.filePath("home");
    writeFile(root.filePath("build/CMakeCache.txt"), "");
    const std::tuple<QString, bool, Verdict> cases[] = {
        {home + "/.local/bin/kestrin", false, Verdict::installed},
        {"/usr/bin/kestrin", false, Verdict::installed},
        {"/usr/local/bin/kestrin", false, Verdict::installed},
        {"/opt/kestrin/bin/kestrin", true, Verdict::installed},
        {root.filePath("build/src/app/kestrin"), false, Verdict::buildTree},
        {home + "/Downloads/kestrin", false, Verdict::offer},
        {home + "/Downloads/kestrin", true, Verdict::declined},
        {home + "/.local/binaries/kestrin", false, Verdict::offer},
        {"/usrlocal/kestrin", false, Verdict::offer},
        {root.filePath("buildings/kestrin"), false, Verdict::offer},
    };
    for (const auto& [executable, skipPrompt, expected] : cases)
        EXPECT_EQ(InstallPolicy::verdict(executable, home, skipPrompt), expected)
            << executable.toStdString();
}

TEST(DesktopEntryTest, LauncherQuotesPathsThatNeedIt) {
    const std::pair<QString, QString> cases[] = {
        {"/home/ann b/.local/bin/kestrin", "Exec=\"/home/ann b/.local/bin/kestrin\" %F"},
        {"/home/100%/kestrin", "Exec=/home/100%%/kestrin %F"},
        {"/home/a$b/kestrin", "Exec=\"/home/a\\\\$b/kestrin\" %F"},
    };
    for (const auto& [path, exec] : cases)
        EXPECT_TRUE(UserInstallation::desktopEntry(path).split(u'\n').contains(exec))
            << exec.toStdString();
}

// A throw-away home with a fresh download in ~/Downloads; the user and relaunch are played.
class SelfInstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {".local/bin", ".local/share/applications", ".local/share/icons",
                                   ".local/share/mime", ".local/share/Trash", "Downloads"})
            QDir(home + u'/' + QLatin1String(folder)).removeRecursively();
        writeFile(source, "new build");
        QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin")).remove("SkipInstallPrompt");
    }

    SelfInstaller installer(const QString& executable) {
        SelfInstaller::Interaction interaction{
            .askPermission =
                [this](const QString& question, const QString&) {
                    questions << question;
                    return answer;
                },
            .report = [this](const QString& title,
                             const QString& text) { reports << title + " " + text; },
            .quitOtherInstances =
                [this](const QString& binary) {
                    return InstanceChannel::askToQuit(binary, quitTimeout);
                },
            .relaunch =
                [this](const QString& binary) {
                    relaunched << binary;
                    return relaunchWorks;
                },
        };
        return SelfInstaller(executable, target, interaction);
    }

    QString trashed(const QString& name) const {
        return home + QStringLiteral("/.local/share/Trash/files/") + name;
    }

    const QString home = QDir::homePath();
    const QString source = home + QStringLiteral("/Downloads/kestrin-0.2");
    const UserInstallation target = UserInstallation::forCurrentUser();
    SelfInstaller::Permission answer{true, false};
    std::chrono::milliseconds quitTimeout = 5s;
    bool relaunchWorks = true;
    QStringList questions, reports, relaunched;
};

TEST_F(SelfInstallerTest, NothingIsAskedWhenInstalledOrDeclined) {
    EXPECT_FALSE(installer(target.binaryPath()).run());

    answer = {false, true}; // "Not Now", "Don't ask again"
    EXPECT_FALSE(installer(source).run());
    EXPECT_FALSE(installer(source).run());
    EXPECT_EQ(questions.size(), 1);
    EXPECT_FALSE(target.hasInstalledCopy());
}

TEST_F(SelfInstallerTest, FirstInstallMovesTheDownloadWithItsLauncherAndHandsOver) {
    EXPECT_TRUE(installer(source).run());
    EXPECT_EQ(readFile(home + "/.local/bin/kestrin"), "new build");
    EXPECT_TRUE(QFileInfo(target.binaryPath()).isExecutable());
    EXPECT_EQ(readFile(trashed("kestrin-0.2")), "new build");
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(relaunched, QStringList{target.binaryPath()});
    EXPECT_TRUE(reports.isEmpty());
    const QString entry = QString::fromUtf8(readFile(target.desktopEntryPath()));
    EXPECT_TRUE(entry.contains("\nExec=" + target.binaryPath() + " %F\n"));
    EXPECT_TRUE(entry.contains("\nMimeType=application/x-kestrin-project;\n"));
    for (int size : ApplicationResources::iconSizes())
        EXPECT_EQ(QImage(target.iconPath(size)).size(), QSize(size, size)) << size;
    EXPECT_TRUE(readFile(target.mimePackagePath()).contains("<glob pattern=\"*.pixel\"/>"));
}

TEST_F(SelfInstallerTest, ReplacingWaitsForTheRunningCopyToQuit) {
    writeFile(target.binaryPath(), "old build");
    int requests = 0;
    // Quitting closes the channel along with the process; here the channel alone goes.
    InstanceChannel* running = nullptr;
    running = new InstanceChannel(target.binaryPath(), [&] {
        ++requests;
        running->deleteLater();
    });
    ASSERT_TRUE(running->isListening());
    EXPECT_TRUE(installer(source).run());
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(readFile(target.binaryPath()), "new build");
    EXPECT_EQ(readFile(trashed("kestrin")), "old build");
}

TEST_F(SelfInstallerTest, FailuresAreReportedKeepTheInstalledCopyAndTheLaunchGoesOn) {
    writeFile(target.binaryPath(), "old build");
    {
        int asked = 0;
        InstanceChannel stubborn(target.binaryPath(), [&] { ++asked; });
        quitTimeout = 300ms;
        EXPECT_FALSE(installer(source).run());
        EXPECT_EQ(asked, 1);
    }
    EXPECT_FALSE(installer(home + "/Downloads/missing").run());
    EXPECT_EQ(readFile(target.binaryPath()), "old build");
    EXPECT_FALSE(QFileInfo::exists(trashed("kestrin")));
    EXPECT_FALSE(QFileInfo::exists(target.desktopEntryPath()));
    EXPECT_EQ(readFile(source), "new build");
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports[0],
              "Kestrin is already running. Quit the copy that is already open, then try again.");
    EXPECT_TRUE(reports[1].startsWith(
        "Kestrin could not be moved. Kestrin could not read ~/Downloads/missing"));

    QDir(home + "/.local/bin").removeRecursively();
    writeFile(home + "/.local/bin", "a file where the folder belongs");
    EXPECT_FALSE(installer(source).run());
    EXPECT_EQ(reports.last(), "Kestrin could not be moved. The folder ~/.local/bin is not writable "
                              "by this account. Copy Kestrin there yourself instead.");

    QFile::remove(home + "/.local/bin");
    relaunchWorks = false;
    EXPECT_FALSE(installer(source).run());
    EXPECT_EQ(reports.last(), "Kestrin could not be reopened. It is installed in ~/.local/bin; "
                              "start it from your applications menu.");
    EXPECT_EQ(readFile(target.binaryPath()), "new build");
    EXPECT_EQ(relaunched.size(), 1);
}

} // namespace
