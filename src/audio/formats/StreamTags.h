// The ID3v1, ID3v2 and APE tags around the compressed formats that carry no tags of their own
// (Monkey's Audio, Musepack, OptimFROG, TTA, AAC). Their readers use the tags' sizes to find where the
// stream starts and ends, and take the tag values from the ID3v2 tag when there is one, else from the
// ID3v1 tag; values are never mixed between the two.
#pragma once

#include "audio/APETag.h"
#include "audio/FileInfo.h"
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"
#include "audio/TagValues.h"

#include <cstdint>

namespace cantorix {

struct TStreamTags {
    TID3v1 V1;
    TID3v2 V2;
    TAPETag Ape;

    void Reset();
    // Reads the three tags. A source too short for a tag simply has none; false only when a read failed.
    bool Read(TInSource& in);
    // Where the stream starts: after a leading ID3v2 tag.
    int64_t Start() const { return V2.Present() ? V2.Size() : 0; }
    // Bytes the tags take: ID3v2, ID3v1 with its Lyrics3 block, and the APE tag with its header.
    int64_t TotalSize() const;
    // Title, artist, album, year, track and genre of the ID3v2 tag when present, else of the ID3v1 tag.
    TTagValues Values() const;
    // The same values into the information window's boxes.
    void FillInfo(TFileInfoValues& values) const;
};

} // namespace cantorix
