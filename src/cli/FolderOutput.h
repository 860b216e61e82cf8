#pragma once

#include <QString>
#include <QStringList>

// The folder a batch export writes into. If the export fails, discard() takes back what this
// run added (the files that were not there before, and the folder if it made it), so a
// failed run leaves no partial set of files behind.
class FolderOutput {
public:
    // Makes the folder when it is missing; throws CliError when it cannot.
    FolderOutput(const QString& folder, const QStringList& fileNames);

    QString path() const { return folder; }
    void discard() const;

private:
    QString folder;
    QStringList newFileNames;
    bool madeFolder = false;
};
