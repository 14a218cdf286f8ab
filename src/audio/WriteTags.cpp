#include "audio/WriteTags.h"

#include "audio/FormatRegistry.h"
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"
#include "audio/TagText.h"
#include "audio/formats/MPEGaudio.h"

#include <exception>

namespace cantorix {

namespace {

// The track number an ID3 tag stores: the low 8 bits of a decimal number, 0 (none) otherwise.
uint8_t id3Track(const std::string& track)
{
    if (!IsDecimalTrack(track)) return 0;
    return uint8_t(std::stoul(track) & 0xFF);
}

// Sets the six values; TID3v1 and TID3v2 share these setters.
template <typename Tag>
void setValues(Tag& tag, const TTagValues& values, uint8_t track)
{
    tag.SetTitle(values.Title);
    tag.SetArtist(values.Artist);
    tag.SetAlbum(values.Album);
    tag.SetYear(values.Year);
    tag.SetTrack(track);
    tag.SetGenre(values.Genre);
}

} // namespace

IoResult WriteID3Tags(const std::string& fileName, const TTagValues& values, TFileSystem& files)
{
    TFileReader in;
    if (IoResult opened = in.open(fileName); !opened) return opened;
    // The reader reads both tags on its way to the first frame; a file without one gets no tags.
    TMPEGaudio mpeg;
    if (!mpeg.ReadFromSource(in)) return in.error();
    if (!mpeg.Valid()) return IoResult::failure("not a valid MPEG audio file");
    TID3v1& v1 = mpeg.V1Tag();
    TID3v2& v2 = mpeg.V2Tag();
    const uint8_t track = id3Track(values.Track);
    setValues(v1, values, track);
    setValues(v2, values, track);

    TID3v1Plan end;
    TID3v2Plan front;
    if (IoResult planned = v1.PlanSave(in, end); !planned) return planned;
    if (IoResult planned = v2.PlanSave(in, front); !planned) return planned;
    if (front.oldSize > end.keep) return IoResult::failure("The ID3v2 tag overlaps the tags at the end");

    // Both tags change in one step, so the file never holds one new tag and one old: overwritten in
    // place when each fits its old space, otherwise one rewrite carries both.
    IoResult r;
    if (front.inPlace && end.inPlace()) {
        in.close();
        const TPatch patches[] = {{0, front.tag.data(), front.tag.size()},
                                  {end.keep, end.tail.data(), end.tail.size()}};
        r = writeInPlace(fileName, patches, files);
    } else {
        auto produce = [&](TOutSink& out) {
            return out.write(front.tag) && out.copyFrom(in, front.oldSize, end.keep - front.oldSize) &&
                   out.write(end.tail);
        };
        r = rewriteFile(fileName, produce, files);
    }
    return r;
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
    const TFormat* format = FindFormat(fileName, formats);
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
