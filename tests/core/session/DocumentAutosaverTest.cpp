#include "DocumentAutosaver.h"
#include "DocumentSaver.h"
#include "PixelDocument.h"
#include "ProjectPackage.h"
#include "RecoveryStore.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A recovery copy never holds half a stroke: while the gesture is open the autosaver waits, and
// once it has ended the copy holds the finished stroke.
TEST(DocumentAutosaver, WaitsForAnOpenStrokeAndThenCopiesItFinished) {
    QTemporaryDir folder;
    RecoveryStore store(folder.path());
    PixelDocument document(Sprite::blank(8, 8));
    DocumentSaver saver(&document);
    DocumentAutosaver autosaver(&document, &saver, &store, RecoveryStore::newID());
    autosaver.setDelay(std::chrono::milliseconds(5));
    bool strokeOpen = true;
    autosaver.isBusy = [&strokeOpen] { return strokeOpen; };
    QSignalSpy written(&autosaver, &DocumentAutosaver::copyWritten);
    const QString copy = store.packagePath(autosaver.id());

    // The stroke pipeline writes into the cel in place and announces each dab.
    std::optional<Cel>& cel = document.sprite().layers[0].cels[0];
    cel = Cel(8, 8);
    cel->setPixel(1, 1, 0xFF112233);
    document.notifyContentChanged();
    EXPECT_FALSE(written.wait(300));
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_TRUE(store.entries().isEmpty());

    cel->setPixel(2, 2, 0xFF445566);
    document.notifyContentChanged();
    strokeOpen = false;
    ASSERT_TRUE(written.wait(1500)); // the retry comes a second after the first try
    EXPECT_EQ(ProjectPackage::readPackage(copy), document.sprite());
    ASSERT_EQ(store.entries().size(), 1);
    EXPECT_EQ(store.entries()[0].id, autosaver.id());
}
