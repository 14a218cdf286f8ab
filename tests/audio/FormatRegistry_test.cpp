// The format registry: the built-in list it makes, and which rows have which readers and writers.
#include "audio/FormatRegistry.h"

#include "audio/AudioUtil.h"
#include "audio/FileInfo.h"
#include "audio/WriteTags.h"
#include "audio/formats/MP4file.h"
#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

#include <set>

using namespace cantorix;

namespace {

// The extensions of the rows that satisfy `has`, in row order.
template <typename Pred>
std::vector<std::string> extensionsWhere(Pred has)
{
    std::vector<std::string> out;
    for (const TFormat& f : Formats())
        if (has(f)) out.push_back(f.Extension);
    return out;
}

using List = std::vector<std::string>;

} // namespace

TEST(FormatRegistry, BuiltinListKeepsItsDesignedOrder)
{
    EXPECT_STREQ(BuiltinExtensions, ".AAC,.AC3,.APE,.MAC,.DTS,.FLAC,.MPC,.MP3,.MP2,.MPA,.OGG,.OFR,.OFS,.TTA,.VQF,"
                                    ".WV,.WAV,.WMA,.M4A,.M4B,.M4P,.AU");
    std::set<std::string> seen;
    for (const TFormat& f : Formats()) {
        std::string ext = f.Extension;
        EXPECT_TRUE(seen.insert(ext).second) << ext << " has two rows";
        EXPECT_EQ(ExtractExtension("x" + ext), ext) << "rows are upper case with their dot";
    }
}

TEST(FormatRegistry, RowsSayHowEachFormatIsRead)
{
    const List ownReaders = {".AAC", ".AC3", ".APE", ".MAC", ".DTS", ".FLAC", ".MPC", ".MP3", ".MP2", ".MPA",
                             ".OGG", ".OFR", ".OFS", ".TTA", ".VQF", ".WV", ".WAV", ".WMA", ".AU"};
    const List mp4Rows = {".M4A", ".M4B", ".M4P"};
    List timed = ownReaders;
    timed.insert(timed.end() - 1, mp4Rows.begin(), mp4Rows.end());
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.PlayingTime != nullptr; }), timed);
    // MP4 audio is timed from its own boxes, the library only where they give no time; its values
    // still come from the library, its whole seconds are cut as the library's were.
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.MediaInfo; }), mp4Rows);
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.CutSeconds; }), mp4Rows);
    EXPECT_EQ(FindFormat("a.m4a")->PlayingTime, MP4PlayingTime);
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.Info != nullptr; }), ownReaders);
    // Only an ".aac" file may turn out to be an MP4 container; it is then read as MP4 audio is, and
    // gets no tags.
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.MediaInfoWhen != nullptr; }), (List{".AAC"}));
    const TFormat* mp4 = FindFormat("a.aac")->MediaInfoInstead;
    ASSERT_NE(mp4, nullptr);
    EXPECT_TRUE(mp4->MediaInfo && mp4->MediaInfoValues && mp4->ProposesByTag && mp4->CutSeconds);
    EXPECT_EQ(mp4->PlayingTime, MP4PlayingTime);
    EXPECT_FALSE(mp4->Info || mp4->NameTags || mp4->WritesTags || mp4->Writer);
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.Writer != nullptr; }),
              extensionsWhere([](const TFormat& f) { return f.WritesTags; }));
    // The formats whose players read an APE tag first keep it up to date; AAC gets the two ID3 tags as
    // MPEG does, once its own reader accepts the stream.
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.Writer == WriteID3AndApeTags; }),
              (List{".APE", ".MAC", ".MPC", ".OFR", ".OFS", ".TTA"}));
    EXPECT_EQ(FindFormat("a.aac")->Writer, WriteAacID3Tags);
    EXPECT_EQ(FindFormat("a.mp3")->Writer, WriteID3Tags);
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return f.WritesTags && !f.NumericTrack; }), (List{".FLAC"}));
    EXPECT_EQ(extensionsWhere([](const TFormat& f) { return !f.Builtin; }), (List{".RA"}));
    for (const TFormat& f : Formats()) {
        EXPECT_TRUE(!f.CutSeconds || f.MediaInfo) << f.Extension << ": seconds cut only where the library's were";
        EXPECT_TRUE(f.WritesTags || !f.Writer) << f.Extension << ": a writer only on a tag-writing row";
    }
    // The three MPEG extensions share one reader, as do the two of Monkey's Audio and of OptimFROG.
    EXPECT_EQ(FindFormat("a.mac")->PlayingTime, FindFormat("a.ape")->PlayingTime);
    EXPECT_EQ(FindFormat("a.ofs")->Info, FindFormat("a.ofr")->Info);
    EXPECT_EQ(FindFormat("a.mp2")->PlayingTime, FindFormat("a.MP3")->PlayingTime);
    EXPECT_EQ(FindFormat("a.Mpa")->Writer, FindFormat("a.mp3")->Writer);
}

TEST(FormatRegistry, FindsTheRowOfAFileNameWithoutRegardToCase)
{
    struct Case {
        const char* name;
        const char* row; // null: none
    } cases[] = {
        {"/m/song.mp3", ".MP3"}, {"/m/SONG.Flac", ".FLAC"}, {"x.y.ogg", ".OGG"}, {"/m/song.mp3.txt", nullptr},
        {"/m.mp3/song", nullptr}, {"song", nullptr},         {"a.", nullptr},      {"/m/.au", ".AU"},
    };
    for (const Case& c : cases) {
        const TFormat* f = FindFormat(c.name);
        EXPECT_EQ(std::string(f ? f->Extension : "-"), std::string(c.row ? c.row : "-")) << c.name;
    }
    const TFormat only[] = {{.Extension = ".MKA"}};
    EXPECT_NE(FindFormat("a.mka", only), nullptr);
    EXPECT_EQ(FindFormat("a.mp3", only), nullptr);
}

TEST(FormatRegistry, AnMp4ContainerNamedAacIsReadAsMp4AudioEverywhere)
{
    if (!cantorix::test::haveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    using namespace cantorix::test;
    TempDir dir;
    const std::string m4a = makeToneWithFfmpeg(dir, "m.m4a", "-c:a aac -metadata artist=Ann -metadata album=Nine");
    ASSERT_FALSE(m4a.empty());
    const std::string aac = dir.file("m.aac");
    const Bytes bytes = readFile(m4a);
    writeFile(aac, bytes);
    const std::string adts = makeToneWithFfmpeg(dir, "a.aac", "-c:a aac -f adts");
    ASSERT_FALSE(adts.empty());

    TFileReader file;
    EXPECT_EQ(ResolveFormat(aac, file), FindFormat(aac)->MediaInfoInstead);
    EXPECT_EQ(file.tell(), 0) << "the file is handed on at its start";
    EXPECT_EQ(ResolveFormat(adts), FindFormat(adts)) << "a real ADTS stream keeps its row";
    EXPECT_EQ(ResolveFormat(dir.file("missing.aac")), FindFormat(aac));

    // Timed from its boxes, described and proposed by the library, exactly as the same bytes named ".m4a".
    const TDurationResult asAac = ReadAudioDuration(aac);
    const TDurationResult asM4a = ReadAudioDuration(m4a);
    ASSERT_TRUE(asAac.Known) << asAac.Problem;
    EXPECT_EQ(asAac.Seconds, 3);
    EXPECT_EQ(asAac.Seconds, asM4a.Seconds);
    EXPECT_EQ(asAac.Milliseconds, asM4a.Milliseconds);
    EXPECT_NEAR(double(asAac.Milliseconds), 3500, 50);
    EXPECT_EQ(asAac.Samples, asM4a.Samples);
    EXPECT_EQ(asAac.Samples, 3 * 44100 + 22050) << "ffmpeg's edit list skips the encoder's delay";
    const TFileInfoValues info = ReadFileInfo(aac);
    EXPECT_EQ(info.Artist, "Ann");
    EXPECT_EQ(info.Duration, ReadFileInfo(m4a).Duration);
    EXPECT_EQ(info.SampleRate, "44.1");
    bool proposes = false;
    const TFileInfoValues named = ReadNameTagValues(aac, &proposes);
    EXPECT_TRUE(proposes);
    EXPECT_EQ(named.Album, "Nine");

    // No AAC tags: nothing is written, and that is no failure.
    TTagValues values;
    values.Title = "T";
    values.Artist = "A";
    EXPECT_TRUE(WriteAudioTags(aac, values).ok);
    EXPECT_EQ(readFile(aac), bytes);
}
