// What the FLAC and Ogg comment writers must keep: every comment entry other than the six they set.
#pragma once

#include "audio/formats/VorbisComment.h"

#include <string>
#include <vector>

namespace fuzzfile {

inline bool isSixName(const std::string& name)
{
    for (const char* n : {"TITLE", "ARTIST", "ALBUM", "DATE", "TRACKNUMBER", "GENRE"})
        if (name == n) return true;
    return false;
}

// The raw bytes of every entry that tag writing must leave alone, in order.
template <typename File>
std::vector<std::string> otherEntries(const File& f)
{
    std::vector<std::string> out;
    for (const cantorix::TCommentEntry& e : f.Entries())
        if (!(e.hasEquals && isSixName(e.name))) out.push_back(e.raw);
    return out;
}

} // namespace fuzzfile
