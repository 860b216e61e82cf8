#include "CelPng.h"
#include "DecodingError.h"
#include "FuzzPackageFormat.h"
#include "PackageError.h"
#include "ProjectPackage.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

// Feeds mutated package trees to the reader. Every input must end in a sprite or in one of the
// two typed errors; anything else (a crash, a hang, a sanitizer report) is a bug.
namespace {

// A cel without a painted pixel is not stored, so it comes back as an empty slot.
Sprite withoutBlankCels(Sprite sprite) {
    for (Layer& layer : sprite.layers) {
        for (std::optional<Cel>& cel : layer.cels) {
            if (cel && !CelPng::isPainted(*cel))
                cel.reset();
        }
    }
    return sprite;
}

// What opened must save and open again unchanged: the writer refuses nothing the reader took.
void checkRoundTrip(const Sprite& sprite) {
    try {
        if (!(ProjectPackage::sprite(ProjectPackage::fileWrapper(sprite)) ==
              withoutBlankCels(sprite)))
            std::abort();
    } catch (...) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The PNG decoder reports every broken file on the console; the fuzzer makes millions.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    std::optional<Sprite> sprite;
    try {
        sprite = ProjectPackage::sprite(FuzzPackageFormat::treeFromBytes(bytes));
    } catch (const PackageError&) {
    } catch (const DecodingError&) {
    }
    if (sprite)
        checkRoundTrip(*sprite);
    return 0;
}
