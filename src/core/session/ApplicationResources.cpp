#include "ApplicationResources.h"

// The resources live in a static library, so the linker keeps them only when something calls
// their initializer; every accessor below goes through this one.
static void loadResources() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(kestrin);
        return true;
    }();
    Q_UNUSED(loaded);
}

namespace ApplicationResources {

const QList<int>& iconSizes() {
    static const QList<int> sizes = {16, 32, 48, 64, 128, 256};
    return sizes;
}

QString iconPath(int size) {
    loadResources();
    return QStringLiteral(":/kestrin/icons/kestrin-%1.png").arg(size);
}

QString desktopEntryPath() {
    loadResources();
    return QStringLiteral(":/kestrin/kestrin.desktop");
}

QString mimeDefinitionPath() {
    loadResources();
    return QStringLiteral(":/kestrin/kestrin-mime.xml");
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : iconSizes())
        icon.addFile(iconPath(size), QSize(size, size));
    return icon;
}

} // namespace ApplicationResources
