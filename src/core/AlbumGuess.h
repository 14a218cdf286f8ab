// The album guess of the name query: artist and album words for the web search, from the first listed
// file's tags, else its file name, else its folder's name. The window puts them into edArtist/edAlbum;
// cantorix-cli search uses them when no words are given.
#pragma once

#include <QByteArray>
#include <QString>

namespace cantorix {

struct TAlbumGuess {
    QString Artist;
    QString Album;
    bool operator==(const TAlbumGuess&) const = default;
};

// The guess from values already known: `folder` is the folder path (a trailing "/" is ignored),
// `fileName` the file's bare name as shown, `tagArtist`/`tagAlbum` what its tags hold (empty for none).
TAlbumGuess GuessAlbum(const QString& folder, const QString& fileName, const QString& tagArtist,
                       const QString& tagAlbum);

// The guess for the file `fileBytes` (its bare name as the file system holds it) in `folder`, reading
// its artist and album tags first.
TAlbumGuess GuessAlbumFromFile(const QString& folder, const QByteArray& fileBytes);

} // namespace cantorix
