#include "MemoryError.h"

#include <gtest/gtest.h>
#include <limits>
#include <new>

TEST(MemoryError, ChecksEveryLargeBufferItMakes) {
    const QList<quint32> words = MemoryError::allocatedWords(5, 7u);
    EXPECT_EQ(words, QList<quint32>(5, 7u));
    EXPECT_TRUE(MemoryError::allocatedWords(0).isEmpty());
    EXPECT_EQ(MemoryError::allocatedImage(3, 2, QImage::Format_ARGB32).size(), QSize(3, 2));

    // Requests no machine can meet are std::bad_alloc, never a crash.
    constexpr qsizetype huge = std::numeric_limits<qsizetype>::max() / 8;
    EXPECT_THROW(MemoryError::allocatedWords(huge), std::bad_alloc);
    EXPECT_THROW(MemoryError::allocatedWords(-1), std::bad_alloc);
    EXPECT_THROW(MemoryError::allocatedImage(1 << 30, 1 << 30, QImage::Format_ARGB32),
                 std::bad_alloc);
    EXPECT_THROW(MemoryError::checkedImage(QImage()), std::bad_alloc);

    // A shared array is copied, so writing it leaves the other owner as it was.
    QList<quint32> shared = words;
    MemoryError::detach(shared);
    shared[0] = 1;
    EXPECT_EQ(words[0], 7u);

    {
        const MemoryError::FailingFrom failing(100);
        EXPECT_NO_THROW(MemoryError::allocatedWords(99));
        EXPECT_THROW(MemoryError::allocatedWords(100), std::bad_alloc);
        EXPECT_THROW(MemoryError::allocatedImage(10, 10, QImage::Format_ARGB32), std::bad_alloc);
        QList<quint32> big(100, 1u);
        QList<quint32> other = big;
        EXPECT_THROW(MemoryError::detach(other), std::bad_alloc);
        EXPECT_TRUE(other.isSharedWith(big));
    }
    EXPECT_NO_THROW(MemoryError::allocatedWords(100));
}
