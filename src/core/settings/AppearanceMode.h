#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// How editor windows pick their colour scheme.
enum class AppearanceMode { system, light, dark };

namespace AppearanceModes {

inline const QList<AppearanceMode> all = {AppearanceMode::system, AppearanceMode::light,
                                          AppearanceMode::dark};

inline QString rawValue(AppearanceMode mode) {
    switch (mode) {
    case AppearanceMode::light:
        return QStringLiteral("light");
    case AppearanceMode::dark:
        return QStringLiteral("dark");
    case AppearanceMode::system:
        break;
    }
    return QStringLiteral("system");
}

// Anything but exactly "light" or "dark" is the system's scheme.
inline AppearanceMode fromRawValue(const QString& raw) {
    if (raw == QLatin1String("light"))
        return AppearanceMode::light;
    if (raw == QLatin1String("dark"))
        return AppearanceMode::dark;
    return AppearanceMode::system;
}

inline QString title(AppearanceMode mode) {
    switch (mode) {
    case AppearanceMode::light:
        return QCoreApplication::translate("AppearanceMode", "Light");
    case AppearanceMode::dark:
        return QCoreApplication::translate("AppearanceMode", "Dark");
    case AppearanceMode::system:
        break;
    }
    return QCoreApplication::translate("AppearanceMode", "System");
}

} // namespace AppearanceModes
