// Tag writing through the dispatch table on real files: the six values land in each format's tags,
// everything else the file held stays, and the audio bytes do not change.
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
#include <sys/stat.h>

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
    EXPECT_EQ(f.TrackNumber(), "07"); // FLAC keeps the text as it is
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
