#include "core/AlbumGuess.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/FormatRegistry.h"

#include <QFile>

namespace cantorix {

namespace {

// The extension as it stands in the name, with its dot; empty without one.
QString extensionOf(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    return dot < 0 ? QString() : fileName.mid(dot);
}

// Artist and album from "artist - album - ..." (step 2 of the guess). Values are not trimmed: the
// spaces around the hyphens stay, and the double-space pass at the end takes care of pairs only.
TAlbumGuess fromFileName(const QString& fileName)
{
    QString name = fileName;
    name.replace('_', ' ');
    const qsizetype hyphen = name.indexOf('-');
    TAlbumGuess guess;
    guess.Artist = name.left(hyphen);
    const QString rest = name.mid(hyphen + 1);
    const qsizetype next = rest.indexOf('-');
    if (next >= 0) guess.Album = rest.left(next);
    // A name that starts with the track number carries no artist.
    if (guess.Artist.startsWith("01") || guess.Artist.size() < 2) guess.Artist.clear();
    const QString extension = extensionOf(fileName);
    if (!extension.isEmpty()) guess.Album.remove(extension, Qt::CaseSensitive);
    return guess;
}

// Artist and album from "Artist - Album [extra] (year)" (step 3).
TAlbumGuess fromFolderName(QString folder)
{
    while (folder.size() > 1 && folder.endsWith('/')) folder.chop(1);
    QString name = folder.mid(folder.lastIndexOf('/') + 1);
    if (const qsizetype bracket = name.indexOf('['); bracket >= 0) name.truncate(bracket);
    if (const qsizetype paren = name.indexOf('('); paren >= 0) name.truncate(paren);
    name.replace('_', ' ');
    TAlbumGuess guess;
    if (name.contains('-')) {
        guess.Artist = name.left(name.indexOf('-')).trimmed();
        guess.Album = name.mid(name.lastIndexOf('-') + 1).trimmed();
    } else {
        guess.Album = name;
    }
    return guess;
}

} // namespace

TAlbumGuess GuessAlbum(const QString& folder, const QString& fileName, const QString& tagArtist,
                       const QString& tagAlbum)
{
    TAlbumGuess guess{tagArtist.trimmed(), tagAlbum.trimmed()};
    if (guess.Artist.isEmpty() || guess.Album.isEmpty()) {
        guess = {};
        if (fileName.contains('-')) guess = fromFileName(fileName);
        if (guess.Artist.isEmpty() || guess.Album.isEmpty()) guess = fromFolderName(folder);
    }
    // One pass, as the field shows it: three spaces become two.
    guess.Artist.replace("  ", " ");
    guess.Album.replace("  ", " ");
    return guess;
}

TAlbumGuess GuessAlbumFromFile(const QString& folder, const QByteArray& fileBytes)
{
    QByteArray path = QFile::encodeName(folder);
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    path += '/' + fileBytes;
    const std::string file = path.toStdString();

    // The file's own reader knows its tags; formats that only the media-information library reads
    // (MP4 audio) ask the library.
    QString artist, album;
    const TFormat* format = FindFormat(file);
    if (format && format->Info) {
        const TFileInfoValues values = ReadFileInfo(file);
        artist = QString::fromStdString(values.Artist);
        album = QString::fromStdString(values.Album);
    } else if (format && format->MediaInfo) {
        artist = QString::fromStdString(GetMediaInfoArtist(file));
        album = QString::fromStdString(GetMediaInfoAlbum(file));
    }
    return GuessAlbum(folder, QFile::decodeName(fileBytes), artist, album);
}

} // namespace cantorix
