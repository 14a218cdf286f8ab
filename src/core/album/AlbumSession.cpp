#include "core/album/AlbumSession.h"

#include "core/rename/NameFormat.h"

#include <QFile>

namespace cantorix {

namespace {
const TAlbumRow kNoRow{};
}

TAlbumSession::TAlbumSession(QObject* parent) : QObject(parent) {}

void TAlbumSession::loadScan(const TScanResult& scan)
{
    m_folder = scan.scanned ? scan.folder : QString();
    m_rows.clear();
    const qsizetype n = std::min(scan.names.size(), scan.lengths.size());
    m_rows.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        m_rows.append({scan.names[i], i < scan.files.size() ? scan.files[i] : QFile::encodeName(scan.names[i]),
                       scan.lengths[i], scan.problems.value(i), QString(), QString()});
    m_fileCount = int(n);
    m_fields = {};
    m_ids = {};
    m_disc.clear();
    m_trackArtists = false;
    setCanRename(false);
    emit reset();
    emit fieldsChanged();
}

void TAlbumSession::clear() { loadScan(TScanResult{}); }

const TAlbumRow& TAlbumSession::row(int i) const
{
    return i >= 0 && i < m_rows.size() ? m_rows[i] : kNoRow;
}

QList<TTrackLength> TAlbumSession::lengths() const
{
    QList<TTrackLength> lengths;
    lengths.reserve(m_fileCount);
    for (int i = 0; i < m_fileCount; ++i) lengths << m_rows[i].Length;
    return lengths;
}

QStringList TAlbumSession::fileNames() const
{
    QStringList names;
    names.reserve(m_fileCount);
    for (int i = 0; i < m_fileCount; ++i) names << m_rows[i].FileName;
    return names;
}

std::vector<std::string> TAlbumSession::fileBytes() const
{
    std::vector<std::string> names;
    for (int i = 0; i < m_fileCount; ++i) names.push_back(m_rows[i].FileBytes.toStdString());
    return names;
}

int TAlbumSession::filesWithoutPlayingTime() const
{
    int n = 0;
    for (int i = 0; i < m_fileCount; ++i) n += m_rows[i].DurationProblem.isEmpty() ? 0 : 1;
    return n;
}

bool TAlbumSession::ensureRow(int i)
{
    if (i < 0 || i >= MaxRows) return false;
    while (m_rows.size() <= i) m_rows.append(TAlbumRow{});
    return true;
}

void TAlbumSession::setTrackNo(int i, const QString& text)
{
    const int before = rowCount();
    if (!ensureRow(i)) return;
    if (m_rows[i].TrackNo == text && i < before) return;
    m_rows[i].TrackNo = text;
    emit rowsChanged(std::min(i, before), i);
}

void TAlbumSession::setTitle(int i, const QString& text)
{
    const int before = rowCount();
    if (!ensureRow(i)) return;
    TAlbumRow& row = m_rows[i];
    if (TitleCell(row) == text && i < before) return;
    // The text is what the person typed: split, if at all, when the files are named.
    row.Title = text;
    row.TrackArtist.clear();
    row.Credited = false;
    emit rowsChanged(std::min(i, before), i);
}

void TAlbumSession::setFileName(int i, const QByteArray& bytes)
{
    if (i < 0 || i >= m_fileCount || bytes.isEmpty() || m_rows[i].FileBytes == bytes) return;
    m_rows[i].FileBytes = bytes;
    m_rows[i].FileName = QFile::decodeName(bytes);
    emit rowsChanged(i, i);
}

void TAlbumSession::setFields(const TAlbumFields& fields)
{
    if (fields == m_fields) return;
    m_fields = fields;
    emit fieldsChanged();
}

void TAlbumSession::setCanRename(bool can)
{
    if (can == m_canRename) return;
    m_canRename = can;
    emit canRenameChanged(can);
}

void TAlbumSession::setFieldsFrom(const AlbumRecord& record)
{
    m_ids = {record.MbReleaseId, record.MbArtistIds, record.MbReleaseGroupId};
    m_disc = record.Disc;
    m_trackArtists = record.TrackArtists;
    setFields({record.Artist, record.Album, record.Year, record.Genre});
}

int TAlbumSession::applyPairing(const QList<TrackTitle>& titles, const QList<TAlignedRow>& rows)
{
    for (TAlbumRow& row : m_rows) {
        row.TrackNo.clear();
        row.Title.clear();
        row.MbRecordingId.clear();
        row.AcoustId.clear();
        row.Unmatched.clear();
        row.TrackArtist.clear();
        row.Credited = false;
    }
    int set = 0;
    for (const TAlignedRow& row : rows) {
        if (row.Title < 0 || row.Title >= titles.size() || row.GridRow < 0 || row.GridRow >= m_fileCount) continue;
        TAlbumRow& file = m_rows[row.GridRow];
        if (!file.Title.isEmpty() || !file.TrackNo.isEmpty()) continue; // a file takes one title
        file.TrackNo = titles[row.Title].No.trimmed();
        file.Title = titles[row.Title].Title.trimmed();
        file.MbRecordingId = titles[row.Title].MbRecordingId;
        file.TrackArtist = titles[row.Title].Artist.trimmed();
        file.Credited = titles[row.Title].Credited;
        ++set;
    }
    if (!m_rows.isEmpty()) emit rowsChanged(0, int(m_rows.size()) - 1);
    if (set > 0) setCanRename(true);
    return set;
}

void TAlbumSession::applyEntry(const AlbumRecord& record)
{
    setFieldsFrom(record);
    const TAlbumFields& fields = m_fields;
    const int before = rowCount();
    const int titles = int(std::min<qsizetype>(record.Titles.size(), MaxRows));
    for (int k = 0; k < titles; ++k) {
        ensureRow(k);
        m_rows[k].TrackNo = record.Titles[k].No;
        m_rows[k].Title = record.Titles[k].Title;
        m_rows[k].MbRecordingId = record.Titles[k].MbRecordingId;
        m_rows[k].AcoustId = record.Titles[k].AcoustId;
        m_rows[k].Unmatched = record.Titles[k].Unmatched;
        m_rows[k].TrackArtist = record.Titles[k].Artist;
        m_rows[k].Credited = record.Titles[k].Credited;
    }
    if (titles > 0) emit rowsChanged(0, std::max(titles, before) - 1);
    if (!fields.Album.isEmpty()) setCanRename(true);
}

bool TAlbumSession::variousArtists() const
{
    return m_trackArtists || IsVariousArtists(m_fields.Artist.toStdString());
}

TAlbumGuess TAlbumSession::guessedWords() const
{
    if (m_fileCount == 0) return {};
    return GuessAlbumFromFile(folder(), m_rows[0].FileBytes);
}

std::vector<TRenameRow> TAlbumSession::renameRows() const
{
    std::vector<TRenameRow> rows;
    rows.reserve(size_t(m_fileCount));
    const bool various = variousArtists();
    for (int i = 0; i < m_fileCount; ++i) {
        const TAlbumRow& r = m_rows[i];
        TRenameRow row{r.FileBytes.toStdString(), r.TrackNo.toStdString(), r.Title.toStdString()};
        row.MbRecordingId = r.MbRecordingId.toStdString();
        row.AcoustId = r.AcoustId.toStdString();
        if (r.Credited) {
            row.TrackArtist = r.TrackArtist.toStdString();
        } else if (various) {
            TTrackCredit credit = SplitTrackArtist(row.Track);
            row.Track = std::move(credit.Title);
            row.TrackArtist = std::move(credit.Artist);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

TAlbumData TAlbumSession::albumData() const
{
    TAlbumData data{m_fields.Artist.toStdString(), m_fields.Album.toStdString(), m_fields.Year.toStdString(),
                    m_fields.Genre.toStdString(), m_disc.toStdString()};
    data.MbReleaseId = m_ids.Release.toStdString();
    for (const QString& id : m_ids.Artists) data.MbArtistIds.push_back(id.toStdString());
    data.MbReleaseGroupId = m_ids.ReleaseGroup.toStdString();
    return data;
}

} // namespace cantorix
