#pragma once

#include "PackageTree.h"
#include "StepProgress.h"

#include <QString>

// Puts a package tree on disk so that a failure or a crash at any moment leaves either the
// complete old package or the complete new one at the path, never a mix.
namespace PackageWriter {

enum class SwapMethod {
    exchange, // one atomic exchange of the two directories; renames where unsupported
    renames,  // old package to a backup name, then the new one into place
};

// Writes the tree into a hidden sibling directory, flushes every file and directory to the
// disk, swaps it into place and then deletes the old package. progress counts the files
// written. Throws PackageError; on failure whatever was at the path before is untouched.
void write(const PackageTree& tree, const QString& path, SwapMethod method = SwapMethod::exchange,
           const StepProgress& progress = {});

} // namespace PackageWriter
