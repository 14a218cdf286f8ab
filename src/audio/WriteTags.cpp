#include "audio/WriteTags.h"

#include "audio/APETag.h"
#include "audio/FormatRegistry.h"
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"
#include "audio/TagText.h"
#include "audio/formats/AACfile.h"
#include "audio/formats/MPEGaudio.h"
#include "audio/TextCodec.h"

#include <exception>

namespace cantorix {

namespace {

// The track number an ID3 tag stores: the low 8 bits of a decimal number, 0 (none) otherwise.
uint8_t id3Track(const std::string& track)
{
    if (!IsDecimalTrack(track)) return 0;
    return uint8_t(std::stoul(track) & 0xFF);
}

// The track as a whole number; 0 (none) when it is no decimal number.
uint32_t wholeTrack(const std::string& track)
{
    return IsDecimalTrack(track) ? uint32_t(std::stoul(track)) : 0;
}

// Each tag stores as much of the track as it can hold and otherwise none: ID3v1 a byte, ID3v2 (as
// this program reads it back) up to 65535.
void setTrack(TID3v1& tag, uint32_t track) { tag.SetTrack(track <= 255 ? uint8_t(track) : 0); }
void setTrack(TID3v2& tag, uint32_t track) { tag.SetTrack(track <= 65535 ? uint16_t(track) : 0); }

// Sets the six values on one tag; TID3v1 and TID3v2 share these setters.
template <typename Tag>
void setValues(Tag& tag, const TTagValues& values, uint32_t track)
{
    tag.SetTitle(values.Title);
    tag.SetArtist(values.Artist);
    tag.SetAlbum(values.Album);
    tag.SetYear(values.Year);
    setTrack(tag, track);
    tag.SetGenre(values.Genre);
}

// The ID3v2 tag also carries the MusicBrainz identifiers that are given, as other taggers write them.
void setValues(TID3v2& tag, const TTagValues& values, uint32_t track)
{
    setValues<TID3v2>(tag, values, track);
    if (!values.AlbumArtist.empty()) tag.SetAlbumArtist(values.AlbumArtist);
    for (const TMusicBrainzField& f : MusicBrainzFields(values)) {
        if (f.Id3Description)
            tag.SetUserText(f.Id3Description, f.Values);
        else
            tag.SetUniqueFileId(kMusicBrainzUfidOwner, f.Values.front());
    }
}

// Whether the `length` bytes of the file at `offset` are exactly `bytes` (`same`); false when the
// read failed.
bool holdsAt(TInSource& in, int64_t offset, int64_t length, const ByteVector& bytes, bool& same)
{
    same = false;
    if (length != int64_t(bytes.size()) || offset < 0 || offset > in.size() || length > in.size() - offset) return true;
    ByteVector old;
    if (!in.seek(offset) || !in.read(old, bytes.size())) return false;
    same = old == bytes;
    return true;
}

// The same for everything from `offset` to the end of the file.
bool holds(TInSource& in, int64_t offset, const ByteVector& bytes, bool& same)
{
    return holdsAt(in, offset, in.size() - offset, bytes, same);
}

IoResult writeID3AndApe(const std::string& fileName, const TTagValues& values, uint32_t track, TFileSystem& files,
                        TFileReader& in, const TAPETag& ape);

// Both ID3 tags of a file written so that the file never holds one new tag and one old, even when the
// writer is killed half way: tags that already hold the values are not written; when only one of the
// two changes and fits its old space, that one is overwritten in place (a single write); otherwise
// one rewrite carries both, and the rename that ends it switches from all old to all new. Two
// overwrites in place would leave a torn pair between them. An MPEG file must first be one the
// reader accepts: a junk or empty ".mp3" gets no tags. A file that holds an APE tag gets it updated
// in the same step (its players read it first).
IoResult writeID3Pair(const std::string& fileName, const TTagValues& values, uint32_t track, TFileSystem& files,
                      bool mpegAudio)
{
    TFileReader in;
    if (IoResult opened = in.open(fileName); !opened) return opened;
    TMPEGaudio mpeg;
    TID3v1 ownV1;
    TID3v2 ownV2;
    TID3v1* v1 = &ownV1;
    TID3v2* v2 = &ownV2;
    if (mpegAudio) {
        // The reader reads both tags on its way to the first frame.
        if (!mpeg.ReadFromSource(in)) return in.error();
        if (!mpeg.Valid()) return IoResult::failure("not a valid MPEG audio file");
        TAPETag ape;
        // False without a refused read only means the file is too short for an APE tag.
        if (!ape.ReadFromSource(in) && in.error().code != 0) return in.error();
        if (ape.Present()) return writeID3AndApe(fileName, values, track, files, in, ape);
        v1 = &mpeg.V1Tag();
        v2 = &mpeg.V2Tag();
    } else {
        if (!ownV1.ReadFromSource(in)) return in.error();
        if (!ownV2.ReadFromSource(in)) return in.error();
    }
    setValues(*v1, values, track);
    setValues(*v2, values, track);

    TID3v1Plan end;
    TID3v2Plan front;
    if (IoResult planned = v1->PlanSave(in, end); !planned) return planned;
    if (IoResult planned = v2->PlanSave(in, front); !planned) return planned;
    if (front.oldSize > end.keep) return IoResult::failure("The ID3v2 tag overlaps the tags at the end");

    bool frontSame = false, endSame = false;
    if (front.inPlace && !holdsAt(in, 0, front.oldSize, front.tag, frontSame)) return in.error();
    if (end.inPlace() && !holds(in, end.keep, end.tail, endSame)) return in.error();
    if (frontSame && endSame) return IoResult::success();
    if (front.inPlace && end.inPlace() && (frontSame || endSame)) {
        in.close();
        return frontSame ? writeInPlace(fileName, end.keep, end.tail.data(), end.tail.size(), files)
                         : writeInPlace(fileName, 0, front.tag.data(), front.tag.size(), files);
    }
    auto produce = [&](TOutSink& out) {
        return out.write(front.tag) && out.copyFrom(in, front.oldSize, end.keep - front.oldSize) &&
               out.write(end.tail);
    };
    return rewriteFrom(in, fileName, produce, files);
}

// An APE tag larger than this is not rewritten (it would be held in memory whole).
constexpr int64_t kMaxApeTag = int64_t(64) << 20;

// Sets one APE item: the first item of the key (compared without case) takes the value in its place,
// further items of the key go; an empty value removes them all; a new key is appended. Several
// values are stored as one item, separated by zero bytes as the APE tag defines.
void setApeItem(std::vector<TAPEItem>& items, const char* key, const std::vector<std::string>& values, bool latin1)
{
    std::string stored;
    for (const std::string& v : values) {
        if (v.empty()) continue;
        if (!stored.empty()) stored += '\0';
        stored += latin1 ? utf8ToLatin1(v) : v;
    }
    bool placed = false;
    for (size_t i = 0; i < items.size();) {
        if (!equalsIgnoreCaseAscii(items[i].Key, key)) {
            ++i;
            continue;
        }
        if (placed || stored.empty()) {
            items.erase(items.begin() + ptrdiff_t(i));
            continue;
        }
        items[i].Flags &= ~uint32_t(6); // a text item
        items[i].Value.assign(stored.begin(), stored.end());
        placed = true;
        ++i;
    }
    if (!placed && !stored.empty()) items.push_back({key, 0, ByteVector(stored.begin(), stored.end())});
}

void setApeItem(std::vector<TAPEItem>& items, const char* key, const std::string& value, bool latin1)
{
    setApeItem(items, key, std::vector<std::string>{value}, latin1);
}

// The ID3 tags and the file's APE tag, rewritten together in one pass so that the file holds all old
// or all new tags; nothing is written when all three already hold the values.
IoResult writeID3AndApe(const std::string& fileName, const TTagValues& values, uint32_t track, TFileSystem& files,
                        TFileReader& in, const TAPETag& ape)
{
    if (ape.TotalSize() > kMaxApeTag) return IoResult::failure("The APE tag is too large to rewrite");
    std::vector<TAPEItem> items;
    if (!ape.ReadItems(in, items)) {
        if (!in.error()) return in.error();
        return IoResult::failure("The APE tag is damaged");
    }
    const bool latin1 = ape.Version() < 2000;
    setApeItem(items, "Title", values.Title, latin1);
    setApeItem(items, "Artist", values.Artist, latin1);
    setApeItem(items, "Album", values.Album, latin1);
    setApeItem(items, "Year", values.Year, latin1);
    setApeItem(items, "Track", track ? std::to_string(track) : std::string(), latin1);
    setApeItem(items, "Genre", values.Genre, latin1);
    if (!values.AlbumArtist.empty()) setApeItem(items, "Album Artist", values.AlbumArtist, latin1);
    for (const TMusicBrainzField& f : MusicBrainzFields(values)) setApeItem(items, f.VorbisName, f.Values, latin1);
    const ByteVector apeBytes = TAPETag::Build(items, ape.Version() < 2000 ? 1000 : 2000, ape.HasHeader());

    TID3v1 v1;
    if (!v1.ReadFromSource(in)) return in.error();
    setValues(v1, values, track);
    // No Lyrics3 block: it would stand between the APE tag and the ID3v1 tag, where the APE tag is
    // looked for; the APE tag holds the long values in full.
    ByteVector tail = apeBytes;
    const ByteVector v1Bytes = v1.buildTail(nullptr, false);
    tail.insert(tail.end(), v1Bytes.begin(), v1Bytes.end());

    TID3v2 v2;
    setValues(v2, values, track);
    ByteVector v2Bytes;
    int64_t v2OldSize = 0;
    if (IoResult made = v2.RenderTag(in, v2Bytes, v2OldSize); !made) return made;

    const int64_t audioStart = v2OldSize;
    const int64_t audioEnd = ape.Start();
    if (audioEnd < audioStart) return IoResult::failure("The APE tag overlaps the ID3v2 tag");
    bool frontSame = false, endSame = false;
    if (!holdsAt(in, 0, v2OldSize, v2Bytes, frontSame) || !holds(in, audioEnd, tail, endSame)) return in.error();
    if (frontSame && endSame) return IoResult::success();
    auto produce = [&](TOutSink& out) {
        return out.write(v2Bytes) && out.copyFrom(in, audioStart, audioEnd - audioStart) && out.write(tail);
    };
    return rewriteFrom(in, fileName, produce, files);
}

} // namespace

IoResult WriteID3Tags(const std::string& fileName, const TTagValues& values, TFileSystem& files)
{
    return writeID3Pair(fileName, values, id3Track(values.Track), files, true);
}

IoResult WriteAacID3Tags(const std::string& fileName, const TTagValues& values, TFileSystem& files)
{
    {
        TFileReader in;
        if (IoResult opened = in.open(fileName); !opened) return opened;
        if (!(AACPlayingTime(in).Seconds > 0)) return IoResult::failure("not a valid AAC file");
    }
    return writeID3Pair(fileName, values, id3Track(values.Track), files, false);
}

IoResult WriteID3AndApeTags(const std::string& fileName, const TTagValues& values, TFileSystem& files)
{
    const uint32_t track = wholeTrack(values.Track);
    TFileReader in;
    if (IoResult opened = in.open(fileName); !opened) return opened;
    TAPETag ape;
    // False without a refused read only means the file is too short for an APE tag.
    if (!ape.ReadFromSource(in) && in.error().code != 0) return in.error();
    if (!ape.Present()) {
        in.close();
        return writeID3Pair(fileName, values, track, files, false);
    }
    return writeID3AndApe(fileName, values, track, files, in, ape);
}

const std::vector<const TFormat*>& TagWriterTable()
{
    static const std::vector<const TFormat*> rows = [] {
        std::vector<const TFormat*> out;
        for (const TFormat& f : Formats())
            if (f.WritesTags) out.push_back(&f);
        return out;
    }();
    return rows;
}

bool IsTagWritingExtension(const std::string& fileName)
{
    const TFormat* format = FindFormat(fileName);
    return format && format->WritesTags;
}

bool IsDecimalTrack(const std::string& track)
{
    return track.size() <= 9 && decimalDigits(track) >= 0;
}

IoResult WriteAudioTags(const std::string& fileName, const TTagValues& values)
{
    return WriteAudioTagsWith(fileName, values, Formats(), systemFiles());
}

IoResult WriteAudioTagsWith(const std::string& fileName, const TTagValues& values, std::span<const TFormat> formats,
                            TFileSystem& files)
{
    const TFormat* format = ResolveFormat(fileName, formats);
    if (!format || !format->WritesTags || !format->Writer) return IoResult::success();
    try {
        if (format->NumericTrack && !IsDecimalTrack(values.Track)) {
            // A track that is no number must not cost the other values: write them without it.
            TTagValues withoutTrack = values;
            withoutTrack.Track.clear();
            return format->Writer(fileName, withoutTrack, files);
        }
        return format->Writer(fileName, values, files);
    } catch (const std::exception& e) {
        return IoResult::failure(e.what());
    } catch (...) {
        return IoResult::failure("unknown error");
    }
}

} // namespace cantorix
