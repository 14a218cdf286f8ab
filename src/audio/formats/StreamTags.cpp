#include "audio/formats/StreamTags.h"

namespace cantorix {

void TStreamTags::Reset()
{
    V1.ResetData();
    V2.ResetData();
    Ape.ResetData();
}

bool TStreamTags::Read(TInSource& in)
{
    Reset();
    // Each tag reader also says false for a source too short to hold its tag; that only means "no
    // tag". A read the system refused is a failure.
    auto failed = [&in](bool read) { return !read && in.error().code != 0; };
    if (failed(V2.ReadFromSource(in)) || failed(V1.ReadFromSource(in)) || failed(Ape.ReadFromSource(in)))
        return false;
    return true;
}

int64_t TStreamTags::TotalSize() const
{
    return (V2.Present() ? V2.Size() : 0) + (V1.Present() ? V1.TotalSize() : 0) +
           (Ape.Present() ? Ape.TotalSize() : 0);
}

TTagValues TStreamTags::Values() const
{
    TTagValues v;
    auto take = [&v](const auto& tag) {
        v.Title = tag.Title();
        v.Artist = tag.Artist();
        v.Album = tag.Album();
        v.Year = tag.Year();
        v.Track = tag.TrackText();
        v.Genre = tag.Genre();
    };
    if (V2.Present())
        take(V2);
    else
        take(V1);
    return v;
}

void TStreamTags::FillInfo(TFileInfoValues& info) const
{
    const TTagValues v = Values();
    info.Artist = v.Artist;
    info.Album = v.Album;
    info.Title = v.Title;
    info.Year = v.Year;
    info.Genre = v.Genre;
    info.Track = v.Track;
}

} // namespace cantorix
