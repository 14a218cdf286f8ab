// Tag writing after a rename: the album data of a lookup go into a renamed file's tags, by the file's
// extension (the format registry's tag-writing rows). ID3-capable formats get an ID3v1 and an ID3v2
// tag, FLAC and Ogg Vorbis get Vorbis comments. A writer changes only the values it is given and keeps
// everything else the file holds.
#pragma once

#include "audio/SafeWrite.h"
#include "audio/TagValues.h"

#include <span>
#include <string>
#include <vector>

namespace cantorix {

struct TFormat;

// One format's writer: puts the values into the file's tags, rewriting it safely when needed, through
// `files`. Returns the reason on failure; the file is then unchanged.
using TagWriter = IoResult (*)(const std::string& fileName, const TTagValues& values, TFileSystem& files);

// The registry's rows whose files get tags (twelve extensions), in the registry's order.
const std::vector<const TFormat*>& TagWriterTable();

// True when the extension of `fileName` (compared after upper-casing a to z) is a tag-writing row.
bool IsTagWritingExtension(const std::string& fileName);

// True for a track text that is a decimal number: one to nine ASCII digits and nothing else.
bool IsDecimalTrack(const std::string& track);

// Writes the values into the tags of `fileName`, by the registry row the file resolves to
// (ResolveFormat: its extension's, unless its bytes say it is another container). A file without a
// row or whose row has no writer is left as it is, and that succeeds. Never throws: what escapes a writer becomes a
// failure with its message.
IoResult WriteAudioTags(const std::string& fileName, const TTagValues& values);

// The same through the given rows and file system, so that a test can put in writers or faults.
IoResult WriteAudioTagsWith(const std::string& fileName, const TTagValues& values, std::span<const TFormat> formats,
                            TFileSystem& files);

// The writer of the ID3 rows: each of the ID3v1 and the ID3v2 tag is read and only the six values
// (and the MusicBrainz identifiers that are given, as TXXX and UFID frames) change, so the ID3v1
// comment, a Lyrics3 block and every other ID3v2 frame stay. Tags that already hold the values are
// not written. The pair changes in one step, so the file holds both old or both new tags even when
// the writer is killed: in place only when just one of the two changes and fits its space, otherwise
// through one rewrite. An APE tag the file holds is updated in that rewrite as WriteID3AndApeTags
// does. A file in which the MPEG reader finds no audio frame fails with "not a valid MPEG audio file".
IoResult WriteID3Tags(const std::string& fileName, const TTagValues& values, TFileSystem& files = systemFiles());
// The same two tags on an ADTS AAC stream, which its own reader must accept first.
IoResult WriteAacID3Tags(const std::string& fileName, const TTagValues& values, TFileSystem& files = systemFiles());

// The writer of Monkey's Audio, Musepack, OptimFROG and TTA, whose players read an APE tag first: the
// ID3v1 and ID3v2 tags as WriteID3Tags writes them, with the track kept whole (never cut to 8 bits);
// when the file holds an APE tag, its title, artist, album, year, track and genre items and the
// MusicBrainz identifiers that are given (named as in Vorbis comments) are updated too (every other
// item kept), and the three tags are written in one safe rewrite, or not at all when they already
// hold the values. Without an APE tag none is added.
IoResult WriteID3AndApeTags(const std::string& fileName, const TTagValues& values, TFileSystem& files = systemFiles());

} // namespace cantorix
