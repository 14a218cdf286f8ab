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
    if (V2.Present())
        FillTagValues(V2, v);
    else
        FillTagValues(V1, v);
    return v;
}

void TStreamTags::FillInfo(TFileInfoValues& info) const
{
    if (V2.Present())
        FillTagValues(V2, info);
    else
        FillTagValues(V1, info);
}

} // namespace cantorix
