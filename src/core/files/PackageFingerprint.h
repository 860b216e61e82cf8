#pragma once

#include <QByteArray>
#include <QString>

// What a project package on disk looks like, in a few bytes: a hash of its "project.json" and
// of the name, size, time and inode of each file in "layers". A window keeps the fingerprint
// of the package it last read or wrote, so that it notices another application's changes.
// The preview and the lock file are left out: they say nothing about the drawing.
namespace PackageFingerprint {

// Empty when the package has no readable "project.json" (it is missing, say).
QByteArray of(const QString& package);

} // namespace PackageFingerprint
