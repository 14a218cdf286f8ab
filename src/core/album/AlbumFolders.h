// Finding the albums of a collection: the folders under some roots that hold audio files, the sets
// of discs ("CD1", "CD2" ... under one folder) among them, and the disc mark at the end of a title.
// The batch (AlbumBatch.h) renames what is found here.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix {

// One album found under the roots. A set of discs is one folder whose subfolders "CD1", "Disc 2" ...
// hold the discs.
struct TBatchAlbum {
    QString Folder;     // with "/"
    QStringList Discs;  // the disc subfolders in disc order (full paths with "/"); empty for one disc
    QString Problem;    // why the album cannot be renamed as found (it is refused); empty when it can
};

// A subfolder name that holds one disc of a set: "CD1", "CD 2", "Disc 1", "Disk2", any letter case
// (a "-", "_" or "." may stand before the number). *number receives the disc number (1 to 99).
bool IsDiscFolderName(const QString& name, int* number);

// The albums under `roots` (folders; one that is an album folder itself counts too), in the order of
// the roots and, inside each, by name: every folder that holds audio files of `extensions` (the scan's
// list), and every folder whose subfolders are two or more disc folders holding audio files. Hidden
// folders and links to folders are not entered; at most `maxFolders` folders are looked at.
QList<TBatchAlbum> FindAlbums(const QStringList& roots, const QStringList& extensions, int maxFolders = 100000);

// An album title without the disc it names at its end ("Album (CD 1)", "Album [Disc 2]", "Album CD1"
// give "Album"); the title itself when nothing is left before the mark.
QString WithoutDiscMark(const QString& album);

// The folders under `root` (root first, with "/"), each before its subfolders, by name; hidden
// folders and links to folders are not entered. At most `limit`.
QStringList FoldersUnder(const QString& root, int limit);

} // namespace cantorix
