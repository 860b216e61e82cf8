#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

// The folder a batch export writes into. Files are written into a hidden staging folder inside
// it and moved into place only once every one of them is complete, so a run that fails leaves
// the folder as it was: files it would have replaced keep their old content, and a folder the
// run made is removed again.
class FolderOutput {
public:
    // Makes the folder when it is missing; throws CliError when it cannot, or when one of the
    // names is taken by something that is not a file.
    FolderOutput(const QString& folder, const QStringList& fileNames);
    ~FolderOutput();
    FolderOutput(const FolderOutput&) = delete;
    FolderOutput& operator=(const FolderOutput&) = delete;

    QString path() const { return folder; }
    // Where the files are to be written before commit().
    QString stagingPath() const { return staging->path(); }
    // Moves every staged file into place. Throws CliError.
    void commit();

private:
    QString folder;
    QStringList fileNames;
    std::optional<QTemporaryDir> staging;
    bool madeFolder = false;
    bool committed = false;
};
