#pragma once

#include "SheetCut.h"

#include <QString>

// What Import as Frames is asked to read, from the editor's dialog or the command line.
struct FrameImportRequest {
    enum class Kind {
        animation, // every image of an animated GIF or PNG
        sheet,     // the cells of a sprite-sheet image
        sequence,  // numbered PNG files: walk_0.png, walk_1.png, …
    };

    QString path; // for a sequence, any one of its files
    Kind kind = Kind::animation;
    SheetCut cut; // sheet only
};
