// Tag writing through the dispatch table on real files: the six values land in each format's tags,
// everything else the file held stays, and the audio bytes do not change.
#include "audio/APETag.h"
#include "audio/ID3v1.h"
#include "audio/ID3v2.h"
#include "audio/formats/MPEGaudio.h"
#include "audio/WriteTags.h"
#include "audio/FormatRegistry.h"
#include "audio/formats/FLACfile.h"
#include "audio/formats/OggVorbis.h"
#include "FaultyIO.h"
#include "MpegFixtures.h"
#include "formats/AudioMaker.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {
const TTagValues kValues{"Ünïcode Title That Is Longer Than Thirty Characters", "Motörhead", "Inferno", "2004", "07",
                         "Native US"};
} // namespace

TEST(WriteTagsFiles, Mp3KeepsPictureAndCommentsAndItsAudio)
{
    if (!haveLame()) GTEST_SKIP() << "lame is not installed";
    TempDir dir;
    std::string plain = dir.file("plain.mp3");
    ASSERT_TRUE(makeLameMp3(dir, plain, "-b 128 --id3v2-only", 1.0));
    // An old tag with a picture, a comment and a title; an ID3v1 tag with a comment behind the audio.
    Bytes apic = {0};
    append(apic, std::string("image/png"));
    apic.insert(apic.end(), {0, 3, 0, 0x89, 'P', 'N', 'G'});
    Bytes comm = {0, 'e', 'n', 'g', 0};
    append(comm, std::string("kept comment"));
    Bytes file = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Old title")), id3Frame(3, "APIC", apic),
                            id3Frame(3, "COMM", comm)});
    Bytes audio = readFile(plain);
    size_t skip = size_t(audio[6] & 0x7F) << 21 | size_t(audio[7] & 0x7F) << 14 | size_t(audio[8] & 0x7F) << 7 | (audio[9] & 0x7F);
    if (audio[0] == 'I' && audio[1] == 'D' && audio[2] == '3') audio.erase(audio.begin(), audio.begin() + 10 + skip);
    append(file, audio);
    append(file, id3v1Tag("Old", "Old", "Old", "1990", "v1 comment", 1, 0));
    std::string path = dir.file("song.MP3");
    writeFile(path, file);

    ASSERT_TRUE(WriteAudioTags(path, kValues).ok);

    TMPEGaudio mp3;
    ASSERT_TRUE(mp3.ReadFromFile(path));
    const TID3v2& v2 = mp3.V2Tag();
    EXPECT_EQ(v2.Title(), kValues.Title);
    EXPECT_EQ(v2.Artist(), "Motörhead");
    EXPECT_EQ(v2.Album(), "Inferno");
    EXPECT_EQ(v2.Year(), "2004");
    EXPECT_EQ(v2.TrackText(), "7");
    EXPECT_EQ(v2.Genre(), "Native US");
    EXPECT_EQ(v2.Comment(), "kept comment");
    bool picture = false;
    for (const TID3v2Frame& f : v2.Frames()) picture |= f.id == "APIC" && f.data == apic;
    EXPECT_TRUE(picture);

    const TID3v1& v1 = mp3.V1Tag();
    EXPECT_EQ(v1.Artist(), "Motörhead");
    EXPECT_EQ(v1.Track(), 7);
    EXPECT_EQ(v1.GenreCode(), 255); // not an ID3v1 genre name
    EXPECT_EQ(v1.Comment(), "v1 comment");

    // The audio frames are the same bytes, between the new tags.
    Bytes after = readFile(path);
    int64_t start = v2.Size();
    int64_t end = int64_t(after.size()) - v1.TotalSize();
    ASSERT_EQ(end - start, int64_t(audio.size()));
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), after.begin() + start));

    // Saving again changes nothing.
    ASSERT_TRUE(WriteAudioTags(path, kValues).ok);
    EXPECT_EQ(readFile(path), after);
}

TEST(WriteTagsFiles, NonNumericTrackLeavesTheTrackOutEverywhere)
{
    if (!haveLame() || !haveTool("oggenc")) GTEST_SKIP() << "lame or oggenc is not installed";
    TempDir dir;
    std::string mp3 = dir.file("a.mp3");
    ASSERT_TRUE(makeLameMp3(dir, mp3, "-b 64", 0.5));
    std::string ogg = makeOgg(dir, "a.ogg", "");
    ASSERT_FALSE(ogg.empty());
    TTagValues values = kValues;
    values.Track = "A1";
    ASSERT_TRUE(WriteAudioTags(mp3, values).ok);
    ASSERT_TRUE(WriteAudioTags(ogg, values).ok);
    TMPEGaudio m;
    ASSERT_TRUE(m.ReadFromFile(mp3));
    EXPECT_EQ(m.V2Tag().Title(), kValues.Title);
    EXPECT_EQ(m.V2Tag().TrackText(), "");
    EXPECT_EQ(m.V1Tag().Track(), 0);
    TOggVorbis o;
    ASSERT_TRUE(o.ReadFromFile(ogg));
    EXPECT_EQ(o.Title(), kValues.Title);
    EXPECT_EQ(o.Track(), 0);
}

TEST(WriteTagsFiles, FlacAndOggGetTheirComments)
{
    if (!haveTool("flac") || !haveTool("oggenc")) GTEST_SKIP() << "flac or oggenc is not installed";
    TempDir dir;
    std::string flac = makeFlac(dir, "a.flac", "-T PERFORMER=Kept");
    std::string ogg = makeOgg(dir, "a.ogg", "-c REPLAYGAIN_TRACK_GAIN=-3.1");
    ASSERT_FALSE(flac.empty());
    ASSERT_FALSE(ogg.empty());
    ASSERT_TRUE(WriteAudioTags(flac, kValues).ok);
    ASSERT_TRUE(WriteAudioTags(ogg, kValues).ok);

    TFLACfile f;
    ASSERT_TRUE(f.ReadFromFile(flac));
    EXPECT_EQ(f.Title(), kValues.Title);
    EXPECT_EQ(f.TrackNumber(), "7"); // the plain number, as the other formats store it
    EXPECT_EQ(f.Genre(), "Native US");
    EXPECT_EQ(f.TagValue("PERFORMER"), "Kept");
    EXPECT_TRUE(runQuiet("flac -t -s " + shellQuote(flac)));

    TOggVorbis o;
    ASSERT_TRUE(o.ReadFromFile(ogg));
    EXPECT_EQ(o.Artist(), "Motörhead");
    EXPECT_EQ(o.Track(), 7);
    EXPECT_EQ(o.Text("REPLAYGAIN_TRACK_GAIN"), "-3.1");
}

TEST(WriteTagsFiles, AFileThatCannotBeWrittenStaysAsItWas)
{
    if (!haveLame()) GTEST_SKIP() << "lame is not installed";
    TempDir dir;
    std::string path = dir.file("a.mp3");
    ASSERT_TRUE(makeLameMp3(dir, path, "-b 64", 0.5));
    Bytes before = readFile(path);
    TFaultyFiles full = TFaultyFiles::diskFullAfter(0);
    IoResult r = WriteAudioTagsWith(path, kValues, Formats(), full);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "No space left on device");
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(listFiles(dir.str()), (std::vector<std::string>{"a.mp3", "noise.wav"}));
}

namespace {
// A small MPEG file with an ID3v2 tag (padded by `v2Padding` bytes) in front, and behind it an APE tag
// (when asked) and an ID3v1 tag, all old.
Bytes mpegWithOldTags(size_t v2Padding = 0, bool ape = true, const std::string& v1Title = "Old")
{
    Bytes file = id3Tag(3, {id3Frame(3, "TIT2", latin1Body("Old title"))}, v2Padding);
    append(file, frameRun(mpegHeader(Mpeg::V1, 3, 9, 0), 417, 8));
    if (ape) append(file, apeTag({{"Title", "ape title"}, {"Comment", "kept"}}));
    append(file, id3v1Tag(v1Title, "Old", "Old", "1990", "v1 comment", 1, 0));
    return file;
}

struct stat statOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}
} // namespace

TEST(WriteTagsFiles, AFullDiskDuringTheOneRewriteLeavesAllTagsOld)
{
    TempDir dir;
    const std::string path = dir.file("a.mp3");
    const Bytes before = mpegWithOldTags();
    // The size of the written file, from a write that succeeds.
    writeFile(path, before);
    ASSERT_TRUE(WriteAudioTags(path, kValues).ok);
    const int64_t total = int64_t(readFile(path).size());
    // The new ID3v2 tag does not fit the old one's 30 bytes: the one rewrite writes a padded tag of
    // 4096 bytes, the audio, the APE tag and a new ID3v1 tag. It fails in the new ID3v2 tag, in the
    // audio, in the tags at the end, or at its last byte.
    for (int64_t failAt : {int64_t(0), int64_t(100), int64_t(4096 + 1000), total - 100, total - 1}) {
        writeFile(path, before);
        TFaultyFiles full = TFaultyFiles::diskFullAfter(failAt);
        IoResult r = WriteAudioTagsWith(path, kValues, Formats(), full);
        EXPECT_EQ(r.error, "No space left on device") << failAt;
        EXPECT_EQ(readFile(path), before) << failAt;
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.mp3"}) << failAt;
    }

    // Without the fault all three tags are new, and the comments and the audio stay.
    ASSERT_TRUE(WriteAudioTags(path, kValues).ok);
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadFromFile(path));
    EXPECT_TRUE(mpeg.Valid());
    EXPECT_EQ(mpeg.V2Tag().Title(), kValues.Title);
    EXPECT_EQ(mpeg.V1Tag().Title(), kValues.Title.substr(0, 32)); // 30 characters; two take two bytes
    EXPECT_EQ(int64_t(readFile(path).size()), total);
    EXPECT_EQ(mpeg.V1Tag().Comment(), "v1 comment");
    TAPETag ape;
    ASSERT_TRUE(ape.ReadFromFile(path));
    ASSERT_TRUE(ape.Present());
    std::map<std::string, std::string> items;
    for (const RField& f : ape.Fields()) items[f.Name] = f.Value;
    EXPECT_EQ(items, (std::map<std::string, std::string>{{"Title", kValues.Title}, {"Comment", "kept"},
                                                         {"Artist", kValues.Artist}, {"Album", kValues.Album},
                                                         {"Year", "2004"}, {"Track", "7"}, {"Genre", kValues.Genre}}));
}

// The ID3 pair changes in one step: a single overwrite in place when only one of the two tags
// changes, else one rewrite (a new file under the name), and nothing at all when neither changes.
TEST(WriteTagsFiles, TheID3PairIsWrittenInOneStep)
{
    const TTagValues shortValues{"Title", "Artist", "Album", "2004", "7", "Rock"};
    TTagValues longTitle = shortValues;
    longTitle.Title = "A title of more than thirty characters, the end differs";
    struct Case {
        const char* name;
        TTagValues first;  // written before (none when the title is empty)
        TTagValues second; // then written
        bool sameInode;
        bool untouched; // not even its modification time changes
    } cases[] = {
        {"both tags change: one rewrite", {}, shortValues, false, false},
        {"nothing changes: no write", shortValues, shortValues, true, true},
        // ID3v1 holds the first 30 characters only, so a change after them is the ID3v2 tag's alone.
        {"only the ID3v2 tag changes: in place", longTitle,
         [&] { TTagValues v = longTitle; v.Title.back() = 'S'; return v; }(), true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("a.mp3");
        writeFile(path, mpegWithOldTags(2000, false));
        if (!c.first.Title.empty()) {
            ASSERT_TRUE(WriteAudioTags(path, c.first).ok);
        }
        const Bytes before = readFile(path);
        // A write that stops anywhere (here: the disk fills up) leaves both tags old; writing the new
        // ID3v2 tag in place and then failing on the ID3v1 tag would leave a torn pair.
        for (int64_t failAt : {int64_t(0), int64_t(1000), int64_t(before.size()) - 10}) {
            if (c.sameInode) break; // an overwrite in place is a single write
            TFaultyFiles full = TFaultyFiles::diskFullAfter(failAt);
            EXPECT_FALSE(WriteAudioTagsWith(path, c.second, Formats(), full).ok) << failAt;
            EXPECT_EQ(readFile(path), before) << failAt;
        }
        const struct stat st = statOf(path);
        ::usleep(20000); // a later write gets a later modification time
        ASSERT_TRUE(WriteAudioTags(path, c.second).ok);
        const struct stat now = statOf(path);
        EXPECT_EQ(now.st_ino == st.st_ino, c.sameInode);
        const bool sameTime = now.st_mtim.tv_sec == st.st_mtim.tv_sec && now.st_mtim.tv_nsec == st.st_mtim.tv_nsec;
        EXPECT_EQ(sameTime, c.untouched);
        EXPECT_EQ(int64_t(now.st_size), int64_t(before.size()));
        TMPEGaudio mpeg;
        ASSERT_TRUE(mpeg.ReadFromFile(path));
        EXPECT_EQ(mpeg.V2Tag().Title(), c.second.Title);
        EXPECT_EQ(mpeg.V1Tag().Title(), c.second.Title.substr(0, 30));
        EXPECT_EQ(mpeg.V1Tag().Track(), 7);
        EXPECT_EQ(mpeg.V1Tag().Comment(), "v1 comment");
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.mp3"});
    }

    // Only the ID3v1 tag differs (another tagger wrote the ID3v2 tag): it alone is overwritten.
    TempDir dir;
    const std::string path = dir.file("a.mp3");
    writeFile(path, mpegWithOldTags(2000, false));
    ASSERT_TRUE(WriteAudioTags(path, shortValues).ok);
    Bytes file = readFile(path);
    const Bytes v1 = id3v1Tag("Other", "Old", "Old", "1990", "v1 comment", 1, 0);
    std::copy(v1.begin(), v1.end(), file.end() - 128);
    writeFile(path, file);
    const ino_t inode = statOf(path).st_ino;
    ASSERT_TRUE(WriteAudioTags(path, shortValues).ok);
    EXPECT_EQ(statOf(path).st_ino, inode);
    TID3v1 tag;
    ASSERT_TRUE(tag.ReadFromFile(path));
    EXPECT_EQ(tag.Title(), "Title");
    EXPECT_EQ(slice(readFile(path), 0, file.size() - 128), slice(file, 0, file.size() - 128));
}

TEST(WriteTagsFiles, FilesWithoutAudioOfTheirFormatGetNoTags)
{
    TempDir dir;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    } cases[] = {
        {"empty.mp3", {}, "not a valid MPEG audio file"},
        {"junk.mp3", bytes("this is not audio at all, just some text of a few dozen bytes"),
         "not a valid MPEG audio file"},
        {"tagonly.mp3", id3Tag(3, {id3Frame(3, "TIT2", latin1Body("x"))}, 64), "not a valid MPEG audio file"},
        {"empty.flac", {}, "not a valid FLAC file"},
        {"junk.ogg", bytes("OggS but nothing that follows makes a page"), "not a valid Ogg Vorbis file"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        writeFile(path, c.bytes);
        EXPECT_EQ(WriteAudioTags(path, kValues).error, c.reason) << c.name;
        EXPECT_EQ(readFile(path), c.bytes) << c.name;
    }
    EXPECT_EQ(listFiles(dir.str()).size(), std::size(cases));
}

// Another program appends to a file while its tags are rewritten: the copy would lose those bytes,
// so the write is refused just before the copy would replace the file, which keeps everything.
TEST(WriteTagsFiles, BytesAppendedDuringARewriteAreNeverLost)
{
    if (!haveLame() || !haveTool("flac") || !haveTool("oggenc")) GTEST_SKIP() << "lame, flac or oggenc is missing";
    TempDir dir;
    std::vector<std::string> paths = {dir.file("a.mp3"), makeFlac(dir, "a.flac", "--no-padding"),
                                      makeOgg(dir, "a.ogg", "")};
    ASSERT_TRUE(makeLameMp3(dir, paths[0], "-b 64 --id3v2-only", 0.5));
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        ASSERT_FALSE(path.empty());
        const Bytes before = readFile(path);
        const Bytes more = bytes("appended by someone else");
        TFaultyFiles files;
        files.beforeSync = [&] {
            Bytes grown = readFile(path);
            if (grown.size() == before.size()) {
                append(grown, more);
                writeFile(path, grown);
            }
        };
        IoResult r = WriteAudioTagsWith(path, kValues, Formats(), files);
        EXPECT_EQ(r.error, kChangedWhileRewritten);
        Bytes expected = before;
        append(expected, more);
        EXPECT_EQ(readFile(path), expected);
    }
    for (const std::string& name : listFiles(dir.str())) EXPECT_EQ(name.find(kTemporaryMarker), std::string::npos) << name;
}

namespace {

const std::string kAlbumId = "0e6e1c8a-7f3b-4c5d-9e2f-1a2b3c4d5e6f";
const std::string kArtistA = "11111111-2222-3333-4444-555555555555";
const std::string kArtistB = "aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee";
const std::string kGroupId = "5d4c3b2a-1f0e-4d9c-8b7a-6f5e4d3c2b1a";
const std::string kTrackId = "9a8b7c6d-5e4f-4a3b-2c1d-0e9f8a7b6c5d";

TTagValues withMusicBrainz()
{
    TTagValues v = kValues;
    v.MusicBrainzAlbumId = kAlbumId;
    v.MusicBrainzArtistIds = {kArtistA, kArtistB};
    v.MusicBrainzReleaseGroupId = kGroupId;
    v.MusicBrainzTrackId = kTrackId;
    return v;
}

// A Python that has mutagen, another tagger (Debian's python3-mutagen); empty when none has.
std::string mutagenPython()
{
    for (const char* python : {"/usr/bin/python3", "python3"})
        if (std::system((std::string(python) + " -c 'import mutagen' >/dev/null 2>&1").c_str()) == 0) return python;
    return {};
}

// What mutagen prints when it runs `script` on the file (sys.argv[1]).
std::string mutagenSays(const std::string& path, const std::string& script)
{
    return capture(mutagenPython() + " -c " + shellQuote("import sys, mutagen\n" + script) + " " + shellQuote(path) +
                   " 2>&1");
}

} // namespace

TEST(WriteTagsFiles, MusicBrainzIdsGoWhereOtherTaggersLook)
{
    if (!haveLame() || !haveTool("flac") || !haveTool("oggenc") || !haveTool("metaflac") || !haveTool("vorbiscomment"))
        GTEST_SKIP() << "lame, flac or vorbis-tools is missing";
    TempDir dir;
    const TTagValues values = withMusicBrainz();

    // MP3: TXXX frames and a UFID frame.
    const std::string mp3 = dir.file("a.mp3");
    ASSERT_TRUE(makeLameMp3(dir, mp3, "-b 64 --id3v2-only", 0.5));
    ASSERT_TRUE(WriteAudioTags(mp3, values).ok);
    TID3v2 v2;
    ASSERT_TRUE(v2.ReadFromFile(mp3));
    EXPECT_EQ(v2.UserText("MusicBrainz Album Id"), std::vector<std::string>{kAlbumId});
    EXPECT_EQ(v2.UserText("MusicBrainz Artist Id"), std::vector<std::string>{kArtistA + "/" + kArtistB}); // 2.3
    EXPECT_EQ(v2.UserText("MusicBrainz Release Group Id"), std::vector<std::string>{kGroupId});
    EXPECT_EQ(v2.UniqueFileId(kMusicBrainzUfidOwner), kTrackId);
    const std::string probed = capture("ffprobe -v error -show_entries format_tags -of default=nw=1 " + shellQuote(mp3));
    EXPECT_NE(probed.find("TAG:MusicBrainz Album Id=" + kAlbumId), std::string::npos) << probed;
    EXPECT_NE(probed.find("TAG:MusicBrainz Release Group Id=" + kGroupId), std::string::npos) << probed;

    // FLAC and Ogg: Vorbis comments, one entry per artist.
    const std::string flac = makeFlac(dir, "a.flac", "");
    const std::string ogg = makeOgg(dir, "a.ogg", "");
    ASSERT_TRUE(WriteAudioTags(flac, values).ok);
    ASSERT_TRUE(WriteAudioTags(ogg, values).ok);
    const std::string expected = "MUSICBRAINZ_ALBUMID=" + kAlbumId + "\nMUSICBRAINZ_ARTISTID=" + kArtistA +
                                 "\nMUSICBRAINZ_ARTISTID=" + kArtistB + "\nMUSICBRAINZ_RELEASEGROUPID=" + kGroupId +
                                 "\nMUSICBRAINZ_TRACKID=" + kTrackId + "\n";
    auto musicBrainzLines = [](const std::string& listing) {
        std::string out, line;
        for (char c : listing + "\n") {
            if (c != '\n') {
                line += c;
                continue;
            }
            if (line.rfind("MUSICBRAINZ_", 0) == 0) out += line + "\n";
            line.clear();
        }
        return out;
    };
    EXPECT_EQ(musicBrainzLines(capture("metaflac --export-tags-to=- " + shellQuote(flac))), expected);
    EXPECT_EQ(musicBrainzLines(capture("vorbiscomment -l " + shellQuote(ogg))), expected);

    // An MP3 that carries an APE tag: the same names as Vorbis comments, the artists in one item.
    const std::string withApe = dir.file("ape.mp3");
    Bytes file = readFile(mp3);
    append(file, apeTag({{"Title", "old"}}));
    writeFile(withApe, file);
    ASSERT_TRUE(WriteAudioTags(withApe, values).ok);
    TAPETag ape;
    ASSERT_TRUE(ape.ReadFromFile(withApe));
    std::map<std::string, std::string> items;
    for (const RField& f : ape.Fields()) items[f.Name] = f.Value;
    EXPECT_EQ(items["MUSICBRAINZ_ALBUMID"], kAlbumId);
    EXPECT_EQ(items["MUSICBRAINZ_ARTISTID"], kArtistA + std::string(1, '\0') + kArtistB);
    EXPECT_EQ(items["MUSICBRAINZ_TRACKID"], kTrackId);

    if (!mutagenPython().empty()) {
        EXPECT_EQ(mutagenSays(mp3, "from mutagen.id3 import ID3\nt = ID3(sys.argv[1])\n"
                                   "print(t['UFID:http://musicbrainz.org'].data.decode())\n"
                                   "print(t['TXXX:MusicBrainz Album Id'].text[0])"),
                  kTrackId + "\n" + kAlbumId + "\n");
        EXPECT_EQ(mutagenSays(withApe, "from mutagen.apev2 import APEv2\nt = APEv2(sys.argv[1])\n"
                                       "print(list(t['MUSICBRAINZ_ARTISTID']))"),
                  "['" + kArtistA + "', '" + kArtistB + "']\n");
    }

    // Without identifiers (or with one that is no UUID) the ones in the file stay.
    TTagValues plain = kValues;
    plain.MusicBrainzTrackId = "not-a-uuid";
    for (const std::string& path : {mp3, flac, ogg, withApe}) ASSERT_TRUE(WriteAudioTags(path, plain).ok) << path;
    ASSERT_TRUE(v2.ReadFromFile(mp3));
    EXPECT_EQ(v2.UniqueFileId(kMusicBrainzUfidOwner), kTrackId);
    EXPECT_EQ(v2.UserText("MusicBrainz Album Id"), std::vector<std::string>{kAlbumId});
    EXPECT_EQ(musicBrainzLines(capture("metaflac --export-tags-to=- " + shellQuote(flac))), expected);
    EXPECT_EQ(musicBrainzLines(capture("vorbiscomment -l " + shellQuote(ogg))), expected);
    ASSERT_TRUE(ape.ReadFromFile(withApe));
    items.clear();
    for (const RField& f : ape.Fields()) items[f.Name] = f.Value;
    EXPECT_EQ(items["MUSICBRAINZ_TRACKID"], kTrackId);
}

// An album of various artists: the album's artist goes where players look for it, beside the track's.
TEST(WriteTagsFiles, TheAlbumArtistGoesWhereOtherTaggersLook)
{
    if (!haveLame() || !haveTool("flac") || !haveTool("oggenc") || !haveTool("metaflac") || !haveTool("vorbiscomment"))
        GTEST_SKIP() << "lame, flac or vorbis-tools is missing";
    TempDir dir;
    TTagValues values = kValues;
    values.Artist = "Track Artist";
    values.AlbumArtist = "Various Artists";

    const std::string mp3 = dir.file("a.mp3");
    ASSERT_TRUE(makeLameMp3(dir, mp3, "-b 64 --id3v2-only", 0.5));
    const std::string withApe = dir.file("ape.mp3");
    Bytes bytes = readFile(mp3);
    append(bytes, apeTag({{"Title", "old"}}));
    writeFile(withApe, bytes);
    const std::string flac = makeFlac(dir, "a.flac", "");
    const std::string ogg = makeOgg(dir, "a.ogg", "");
    for (const std::string& path : {mp3, withApe, flac, ogg}) ASSERT_TRUE(WriteAudioTags(path, values).ok) << path;

    TID3v2 v2;
    ASSERT_TRUE(v2.ReadFromFile(mp3));
    EXPECT_EQ(v2.Artist(), "Track Artist");
    EXPECT_EQ(v2.AlbumArtist(), "Various Artists");
    const std::string probed = capture("ffprobe -v error -show_entries format_tags -of default=nw=1 " + shellQuote(mp3));
    EXPECT_NE(probed.find("TAG:album_artist=Various Artists"), std::string::npos) << probed;
    EXPECT_NE(capture("metaflac --export-tags-to=- " + shellQuote(flac)).find("ALBUMARTIST=Various Artists\n"),
              std::string::npos);
    EXPECT_NE(capture("vorbiscomment -l " + shellQuote(ogg)).find("ALBUMARTIST=Various Artists\n"), std::string::npos);
    TAPETag ape;
    ASSERT_TRUE(ape.ReadFromFile(withApe));
    std::map<std::string, std::string> items;
    for (const RField& f : ape.Fields()) items[f.Name] = f.Value;
    EXPECT_EQ(items["Album Artist"], "Various Artists");

    // Without one, the file's own album artist stays.
    for (const std::string& path : {mp3, flac}) ASSERT_TRUE(WriteAudioTags(path, kValues).ok) << path;
    ASSERT_TRUE(v2.ReadFromFile(mp3));
    EXPECT_EQ(v2.AlbumArtist(), "Various Artists");
    EXPECT_NE(capture("metaflac --export-tags-to=- " + shellQuote(flac)).find("ALBUMARTIST=Various Artists\n"),
              std::string::npos);
}

// A second write of the same values writes nothing: no rewrite, no overwrite, not even a sync.
TEST(WriteTagsFiles, TheSameTagsAreNotWrittenAgain)
{
    if (!haveLame() || !haveTool("flac") || !haveTool("oggenc")) GTEST_SKIP() << "lame, flac or oggenc is missing";
    TempDir dir;
    const std::string mp3 = dir.file("a.mp3");
    ASSERT_TRUE(makeLameMp3(dir, mp3, "-b 64", 0.5));
    const std::string withApe = dir.file("ape.mp3");
    Bytes file = readFile(mp3);
    append(file, apeTag({{"Title", "old"}}));
    writeFile(withApe, file);
    for (const std::string& path : {mp3, withApe, makeFlac(dir, "a.flac", ""), makeOgg(dir, "a.ogg", "")}) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(WriteAudioTags(path, withMusicBrainz()).ok);
        const Bytes written = readFile(path);
        TFaultyFiles files;
        int syncs = 0;
        files.beforeSync = [&] { ++syncs; };
        files.failWriteAfter = 0; // any write would fail
        ASSERT_TRUE(WriteAudioTagsWith(path, withMusicBrainz(), Formats(), files).ok);
        EXPECT_EQ(syncs, 0);
        EXPECT_EQ(readFile(path), written);
    }
}
