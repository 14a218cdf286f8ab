#include "audio/WriteTags.h"

#include "audio/FormatRegistry.h"
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"
#include "audio/TagText.h"

#include <exception>

namespace cantorix {

namespace {

// The track number an ID3 tag stores: the low 8 bits of a decimal number, 0 (none) otherwise.
uint8_t id3Track(const std::string& track)
{
    if (!IsDecimalTrack(track)) return 0;
    return uint8_t(std::stoul(track) & 0xFF);
}

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

} // namespace

IoResult WriteID3Tags(const std::string& fileName, const TTagValues& values, TFileSystem& files)
{
    const uint8_t track = id3Track(values.Track);
    IoResult first = updateTag<TID3v1>(fileName, values, track, files);
    IoResult second = updateTag<TID3v2>(fileName, values, track, files);
    return first.ok ? second : first;
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
