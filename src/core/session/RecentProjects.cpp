#include "RecentProjects.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

namespace {

const QString settingKey = QStringLiteral("RecentProjects");

QSettings settingsStore() {
    return QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
}

void store(const QStringList& paths) {
    const QJsonArray array = QJsonArray::fromStringList(paths.mid(0, RecentProjects::keptCount));
    settingsStore().setValue(
        settingKey, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

QString normalized(const QString& path) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

} // namespace

namespace RecentProjects {

QStringList all() {
    const QByteArray json = settingsStore().value(settingKey).toString().toUtf8();
    QStringList paths;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).array()) {
        if (value.isString() && !value.toString().isEmpty())
            paths.append(value.toString());
    }
    return paths;
}

QStringList shown() {
    return all().mid(0, shownCount);
}

void add(const QString& path) {
    const QString entry = normalized(path);
    QStringList paths = all();
    paths.removeAll(entry);
    paths.prepend(entry);
    store(paths);
}

void remove(const QString& path) {
    QStringList paths = all();
    if (paths.removeAll(normalized(path)) > 0)
        store(paths);
}

void clear() {
    settingsStore().remove(settingKey);
}

} // namespace RecentProjects
