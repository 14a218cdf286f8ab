#include "audio/WriteTags.h"

#include "audio/AudioUtil.h"
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"
#include "audio/formats/FLACfile.h"
#include "audio/formats/OggVorbis.h"

#include <exception>
#include <mutex>
#include <utility>

namespace cantorix {

namespace {

std::mutex g_overrideMutex;
std::vector<std::pair<std::string, TagWriter>> g_overrides;

// The writer for a row, with a test override taking precedence.
TagWriter writerFor(const TTagWriterRow& row)
{
    std::lock_guard<std::mutex> lock(g_overrideMutex);
    for (const auto& [ext, writer] : g_overrides)
        if (ext == row.Extension) return writer;
    return row.Writer;
}

// The track number an ID3 tag stores: the low 8 bits of a decimal number, 0 (none) otherwise.
uint8_t id3Track(const std::string& track)
{
    if (!IsDecimalTrack(track)) return 0;
    return uint8_t(std::stoul(track) & 0xFF);
}

// ID3v1 and ID3v2 for the MPEG family: each tag is read first and only the six values change, so the
// ID3v1 comment, a Lyrics3 block and every other ID3v2 frame stay. The ID3v2 tag is written even
// when the ID3v1 write failed; the first failure is reported.
// Reads one tag of the file, sets the six values and saves it; TID3v1 and TID3v2 share these setters.
template <typename Tag>
IoResult updateTag(const std::string& fileName, const TTagValues& values, uint8_t track, TFileSystem& files)
{
    Tag tag;
    {
        TFileReader in;
        if (IoResult opened = in.open(fileName); !opened) return opened;
        if (!tag.ReadFromSource(in)) return in.error();
    }
    tag.SetTitle(values.Title);
    tag.SetArtist(values.Artist);
    tag.SetAlbum(values.Album);
    tag.SetYear(values.Year);
    tag.SetTrack(track);
    tag.SetGenre(values.Genre);
    return tag.SaveToFile(fileName, files);
}

IoResult writeID3Tags(const std::string& fileName, const TTagValues& values, TFileSystem& files)
{
    const uint8_t track = id3Track(values.Track);
    IoResult first = updateTag<TID3v1>(fileName, values, track, files);
    IoResult second = updateTag<TID3v2>(fileName, values, track, files);
    return first.ok ? second : first;
}

const TTagWriterRow* findRow(const std::string& fileName)
{
    std::string ext = ExtractExtension(fileName);
    if (ext.empty()) return nullptr;
    for (const TTagWriterRow& row : TagWriterTable())
        if (ext == row.Extension) return &row;
    return nullptr;
}

} // namespace

const std::vector<TTagWriterRow>& TagWriterTable()
{
    // ID3 rows write an ID3v1 and an ID3v2.3 tag (TIT2, TPE1, TALB, TRCK, TYER, TCON); the FLAC row
    // writes the Vorbis comments TITLE, ARTIST, ALBUM, DATE, TRACKNUMBER (the text as it is) and
    // GENRE; the Ogg Vorbis row the same comments with the track as a number. A null writer is a
    // format whose writer is not built yet.
    static const std::vector<TTagWriterRow> rows = {
        {".AAC", nullptr, true},   // ID3v1 + ID3v2
        {".APE", nullptr, true},   // ID3v1 + ID3v2
        {".MAC", nullptr, true},   // ID3v1 + ID3v2, like .APE
        {".FLAC", &WriteFLACTags, false}, // Vorbis comments, TRACKNUMBER as text
        {".MP3", &writeID3Tags, true},   // ID3v1 + ID3v2
        {".MP2", &writeID3Tags, true},   // ID3v1 + ID3v2
        {".MPA", &writeID3Tags, true},   // ID3v1 + ID3v2
        {".MPC", nullptr, true},   // ID3v1 + ID3v2
        {".OGG", &WriteOggTags, true},    // Vorbis comments, track as a number
        {".OFR", nullptr, true},   // ID3v1 + ID3v2
        {".OFS", nullptr, true},   // ID3v1 + ID3v2
        {".TTA", nullptr, true},   // ID3v1 + ID3v2
    };
    return rows;
}

bool IsTagWritingExtension(const std::string& fileName) { return findRow(fileName) != nullptr; }

bool IsDecimalTrack(const std::string& track)
{
    if (track.empty() || track.size() > 9) return false;
    for (char c : track)
        if (c < '0' || c > '9') return false;
    return true;
}

IoResult WriteAudioTags(const std::string& fileName, const TTagValues& values)
{
    return WriteAudioTagsWith(fileName, values, systemFiles());
}

IoResult WriteAudioTagsWith(const std::string& fileName, const TTagValues& values, TFileSystem& files)
{
    const TTagWriterRow* row = findRow(fileName);
    if (!row) return IoResult::success();
    TagWriter writer = writerFor(*row);
    if (!writer) return IoResult::success();
    try {
        if (row->NumericTrack && !IsDecimalTrack(values.Track)) {
            // A track that is no number must not cost the other values: write them without it.
            TTagValues withoutTrack = values;
            withoutTrack.Track.clear();
            return writer(fileName, withoutTrack, files);
        }
        return writer(fileName, values, files);
    } catch (const std::exception& e) {
        return IoResult::failure(e.what());
    } catch (...) {
        return IoResult::failure("unknown error");
    }
}

namespace writetags_testing {
void setWriter(const std::string& extension, TagWriter writer)
{
    std::lock_guard<std::mutex> lock(g_overrideMutex);
    for (auto it = g_overrides.begin(); it != g_overrides.end(); ++it)
        if (it->first == extension) {
            g_overrides.erase(it);
            break;
        }
    if (writer) g_overrides.emplace_back(extension, writer);
}
void clearWriters()
{
    std::lock_guard<std::mutex> lock(g_overrideMutex);
    g_overrides.clear();
}
} // namespace writetags_testing

} // namespace cantorix
