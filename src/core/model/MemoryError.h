#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QtGlobal>

// Large buffers (cels, composites, scaled exports, clipboard images) are made through these
// helpers so that running out of memory is a std::bad_alloc the operation can report, never a
// crash. Qt's sized list constructors write through a null pointer when the allocation fails,
// and QImage comes back null; both are checked here.
namespace MemoryError {

// count words set to value; throws std::bad_alloc when they cannot be had.
QList<quint32> allocatedWords(qsizetype count, quint32 value = 0);
// count words left unset, for a buffer written in full straight away: the zero fill would be
// a wasted pass over it.
QList<quint32> unsetWords(qsizetype count);
// Throws std::bad_alloc where a test asks requests of this many words to fail (FailingFrom);
// for buffers made otherwise than through these helpers.
void checkRequest(qsizetype words);
// Makes words the only owner of its storage, copying it when shared; throws std::bad_alloc
// when the copy cannot be had (Qt's own copy on write would crash instead).
void detach(QList<quint32>& words);
// A width × height image of format; throws std::bad_alloc when it cannot be had.
QImage allocatedImage(qint64 width, qint64 height, QImage::Format format);
// image, unless it is null: then the step that made it ran out of memory (std::bad_alloc).
QImage checkedImage(QImage image);

// "There is not enough memory to " + doing + "."; doing is e.g. "open this project".
QString message(const QString& doing);

// For tests: while one lives, every checked request of at least words 32-bit words (an image
// counts its bytes / 4) fails as if memory had run out.
class FailingFrom {
public:
    explicit FailingFrom(qsizetype words);
    ~FailingFrom();
    FailingFrom(const FailingFrom&) = delete;
    FailingFrom& operator=(const FailingFrom&) = delete;

private:
    qsizetype previous;
};

} // namespace MemoryError
