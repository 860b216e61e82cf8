#include "MemoryError.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <limits>
#include <new>

namespace MemoryError {
namespace {

std::atomic<qsizetype> failingFrom{std::numeric_limits<qsizetype>::max()};

} // namespace

void checkRequest(qsizetype words) {
    if (words >= failingFrom.load())
        throw std::bad_alloc();
}

QList<quint32> allocatedWords(qsizetype count, quint32 value) {
    if (count < 0 || count > std::numeric_limits<qsizetype>::max() / qsizetype(sizeof(quint32)))
        throw std::bad_alloc();
    checkRequest(count);
    // reserve() throws when the allocation fails, where the sized constructors would not.
    QList<quint32> words;
    words.reserve(count);
    if (words.capacity() < count)
        throw std::bad_alloc();
    words.resize(count, value);
    return words;
}

QList<quint32> unsetWords(qsizetype count) {
    if (count <= 0)
        return {};
    checkRequest(count);
    QArrayDataPointer<quint32> words(QTypedArrayData<quint32>::allocate(count), count);
    if (!words.data())
        throw std::bad_alloc();
    return QList<quint32>(words);
}

void detach(QList<quint32>& words) {
    if (words.isDetached())
        return;
    QList<quint32> copy = allocatedWords(words.size());
    std::copy(words.cbegin(), words.cend(), copy.begin());
    words = std::move(copy);
}

QImage allocatedImage(qint64 width, qint64 height, QImage::Format format) {
    if (width < 1 || height < 1 || width > std::numeric_limits<int>::max() ||
        height > std::numeric_limits<int>::max())
        throw std::bad_alloc();
    checkRequest(width * height * QImage::toPixelFormat(format).bitsPerPixel() / 32);
    return checkedImage(QImage(int(width), int(height), format));
}

QImage checkedImage(QImage image) {
    if (image.isNull())
        throw std::bad_alloc();
    checkRequest(image.sizeInBytes() / qsizetype(sizeof(quint32)));
    return image;
}

QString message(const QString& doing) {
    return QCoreApplication::translate("MemoryError", "There is not enough memory to %1.")
        .arg(doing);
}

FailingFrom::FailingFrom(qsizetype words) : previous(failingFrom.exchange(words)) {}

FailingFrom::~FailingFrom() {
    failingFrom.store(previous);
}

} // namespace MemoryError
