#include "SpriteLimits.h"

#include "MemoryError.h"

#include <QCoreApplication>
#include <QLocale>
#include <sys/resource.h>
#include <unistd.h>

namespace SpriteLimits {
namespace {

QString text(const char* source) {
    return QCoreApplication::translate("SpriteLimits", source);
}

QString mebibytes(qint64 bytes) {
    return QLocale().toString((bytes + (qint64(1) << 20) - 1) >> 20) + QStringLiteral(" MiB");
}

} // namespace

QString layerFramesRefusal(qint64 layers, qint64 frames) {
    if (layers * frames <= maximumLayerFrames)
        return {};
    return text("%1 layers × %2 frames would pass the limit of %3 layers × frames.")
        .arg(QString::number(layers), QString::number(frames),
             QLocale().toString(maximumLayerFrames));
}

qint64 memoryBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    qint64 bytes =
        pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : std::numeric_limits<qint64>::max();
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        bytes = std::min<qint64>(bytes, qint64(limit.rlim_cur));
    return bytes;
}

QString celMemoryRefusal(qint64 cels, qint64 width, qint64 height, const QString& doing) {
    const qint64 needed = cels * width * height * qint64(sizeof(quint32));
    const qint64 available = memoryBytes();
    if (needed <= available)
        return {};
    return MemoryError::message(doing) + ' ' +
           text("Its %1 cels of %2 × %3 pixels need %4; this computer has %5.")
               .arg(QString::number(cels), QString::number(width), QString::number(height),
                    mebibytes(needed), mebibytes(available));
}

} // namespace SpriteLimits
