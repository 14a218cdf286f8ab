// Tag writing after a rename: the album data of a lookup go into a renamed file's tags, by the file's
// extension. ID3-capable formats get an ID3v1 and an ID3v2 tag, FLAC and Ogg Vorbis get Vorbis
// comments. A writer changes only the values it is given and keeps everything else the file holds.
#pragma once

#include "audio/FileIO.h"
#include "audio/TagValues.h"

#include <string>
#include <vector>

namespace cantorix {

// One format's writer: puts the values into the file's tags, rewriting it safely when needed, through
// `files`. Returns the reason on failure; the file is then unchanged.
using TagWriter = IoResult (*)(const std::string& fileName, const TTagValues& values, TFileSystem& files);

struct TTagWriterRow {
    const char* Extension; // upper case, with its dot
    TagWriter Writer;      // null while the format has no writer: nothing is written
    // True when the format stores the track as a number: a Track that is not a decimal number is
    // then passed on empty, so the writer leaves the track out and still writes the other values.
    bool NumericTrack;
};

// The dispatch table: one row for each of the twelve extensions whose files get tags.
const std::vector<TTagWriterRow>& TagWriterTable();

// True when the extension of `fileName` (compared after upper-casing a to z) has a row in the table.
bool IsTagWritingExtension(const std::string& fileName);

// True for a track text that is a decimal number: one to nine ASCII digits and nothing else.
bool IsDecimalTrack(const std::string& track);

// Writes the values into the tags of `fileName`, chosen by its extension. An extension without a row
// or without a writer writes nothing and succeeds. Never throws: what escapes a writer becomes a
// failure with its message.
IoResult WriteAudioTags(const std::string& fileName, const TTagValues& values);

// The same through the given file system, so that a test can make it fail.
IoResult WriteAudioTagsWith(const std::string& fileName, const TTagValues& values, TFileSystem& files);

// Replacing a row's writer in tests. A null writer removes the override.
namespace writetags_testing {
void setWriter(const std::string& extension, TagWriter writer);
void clearWriters();
} // namespace writetags_testing

} // namespace cantorix
