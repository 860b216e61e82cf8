#pragma once

// Where a paste lands.
enum class PasteAnchor {
    selectionCorner, // the selection's top-left corner, or (0, 0) without a selection
    inPlace,         // where the pixels were copied from
};
