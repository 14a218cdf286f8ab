// Tag writing on renaming for Monkey's Audio, Musepack, OptimFROG, TTA and AAC: the six values read
// back through each format's reader, the audio bytes unchanged, and an APE tag that the file already
// holds updated with every other item kept, in one rewrite with the ID3 tags.
#include "audio/WriteTags.h"

#include "FaultyIO.h"
#include "audio/APETag.h"
#include "audio/formats/AACfile.h"
#include "audio/formats/MPEGplus.h"
#include "audio/formats/Monkey.h"
#include "audio/formats/OptimFrog.h"
#include "audio/formats/StreamMaker.h"
#include "audio/formats/TTA.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// Minimal streams of each format (the layouts of the format tests), with some audio bytes after.
Bytes stream(const std::string& ext)
{
    Bytes b;
    if (ext == "ape" || ext == "mac") {
        putText(b, "MAC ");
        putLE(b, 3990, 2);
        putLE(b, 0, 2);
        putLE(b, 52, 4);
        putLE(b, 24, 4);
        b.resize(52, 0);
        for (uint32_t v : {2000u, 0u}) putLE(b, v, 2);
        for (uint32_t v : {73728u, 2000u, 100u}) putLE(b, v, 4);
        for (uint32_t v : {16u, 2u}) putLE(b, v, 2);
        putLE(b, 44100, 4);
    } else if (ext == "mpc") {
        b = {'M', 'P', '+', 0x07};
        putLE(b, 10000, 4);
        b.resize(32, 0);
    } else if (ext == "ofr" || ext == "ofs") {
        putText(b, "OFR ");
        for (uint32_t v : {15u, 2u * 44100 * 60}) putLE(b, v, 4);
        putLE(b, 0, 2);
        b.push_back(0);
        b.push_back(1);
        putLE(b, 44100, 4);
        b.resize(b.size() + 3, 0);
    } else if (ext == "tta") {
        putText(b, "TTA1");
        for (uint32_t v : {1u, 2u, 16u}) putLE(b, v, 2);
        for (uint32_t v : {44100u, 88200u, 0u}) putLE(b, v, 4);
    } else if (ext == "aac") {
        // Three ADTS frames of 300 bytes.
        for (int i = 0; i < 3; ++i) {
            const Bytes h = {0xFF, 0xF1, 0x50, 0x80, 300 >> 3, ((300 & 7) << 5) | 0x1F, 0xFC};
            b.insert(b.end(), h.begin(), h.end());
            b.resize(b.size() + 293, uint8_t(i));
        }
        return b;
    }
    for (int i = 0; i < 2000; ++i) b.push_back(uint8_t(i * 7));
    return b;
}

// An APE tag with header: an old title and track, a comment and a binary cover that must survive.
Bytes apeTag(uint32_t version = 2000)
{
    const std::vector<TAPEItem> items = {
        {"Title", 0, {'O', 'l', 'd'}},
        {"Comment", 0, {'k', 'e', 'e', 'p'}},
        {"track", 0, {'3'}},
        {"Cover Art (Front)", 2, {'c', '.', 'j', 'p', 'g', 0, 0xFF, 0xD8, 0x00, 0x01}},
    };
    return TAPETag::Build(items, version, version >= 2000);
}

Bytes id3v1Tag()
{
    Bytes t(128, 0);
    t[0] = 'T', t[1] = 'A', t[2] = 'G';
    putText(t, "");
    std::copy_n("Old title", 9, t.begin() + 3);
    t[127] = 17;
    return t;
}

// The values a reader gives (ID3v2 first), by extension.
TTagValues readBack(const std::string& path, const std::string& ext)
{
    TFileReader in;
    EXPECT_TRUE(in.open(path));
    auto values = [&](auto reader) {
        EXPECT_TRUE(reader.ReadFromSource(in) || ext == "aac");
        return reader.Tags().Values();
    };
    if (ext == "ape" || ext == "mac") return values(TMonkey());
    if (ext == "mpc") return values(TMPEGplus());
    if (ext == "ofr" || ext == "ofs") return values(TOptimFrog());
    if (ext == "tta") return values(TTTA());
    return values(TAACfile());
}

std::string text(const ByteVector& v) { return std::string(v.begin(), v.end()); }

} // namespace

TEST(WriteStreamTags, RoundTripPerFormat)
{
    const TTagValues values{"Title \xC3\xA9", "Artist", "Album", "1999", "300", "Rock"};
    TempDir dir;
    for (const char* ext : {"ape", "mac", "mpc", "ofr", "ofs", "tta", "aac"}) {
        for (bool withApe : {false, true}) {
            if (withApe && std::string(ext) == "aac") continue; // AAC is written as MPEG is: ID3 only
            SCOPED_TRACE(std::string(ext) + (withApe ? " with an APE tag" : ""));
            const Bytes audio = stream(ext);
            Bytes file = audio;
            if (withApe) {
                const Bytes tag = apeTag();
                file.insert(file.end(), tag.begin(), tag.end());
                const Bytes v1 = id3v1Tag();
                file.insert(file.end(), v1.begin(), v1.end());
            }
            const std::string path = dir.file(std::string("a.") + ext);
            writeFile(path, file);

            ASSERT_TRUE(WriteAudioTags(path, values).ok);

            const TTagValues got = readBack(path, ext);
            EXPECT_EQ(got.Title, values.Title);
            EXPECT_EQ(got.Artist, values.Artist);
            EXPECT_EQ(got.Album, values.Album);
            EXPECT_EQ(got.Year, values.Year);
            EXPECT_EQ(got.Genre, values.Genre);
            // AAC is tagged as MPEG: the low 8 bits (44); the others keep the whole number.
            EXPECT_EQ(got.Track, std::string(ext) == "aac" ? "44" : "300");

            const Bytes after = readFile(path);
            TMemorySource in(after);
            TID3v2 v2;
            TID3v1 v1;
            TAPETag ape;
            ASSERT_TRUE(v2.ReadFromSource(in) && v1.ReadFromSource(in) && ape.ReadFromSource(in));
            ASSERT_TRUE(v2.Present() && v1.Present());
            EXPECT_EQ(v1.Track(), std::string(ext) == "aac" ? 44 : 0); // 300 does not fit a byte
            EXPECT_EQ(ape.Present(), withApe); // never added
            const int64_t audioEnd = withApe ? ape.Start() : int64_t(after.size()) - 128;
            EXPECT_EQ(slice(after, size_t(v2.Size()), size_t(audioEnd - v2.Size())), audio);
            if (!withApe) continue;

            std::vector<TAPEItem> items;
            ASSERT_TRUE(ape.ReadItems(in, items));
            EXPECT_TRUE(ape.HasHeader());
            EXPECT_EQ(ape.End() + 128, int64_t(after.size()));
            std::vector<std::pair<std::string, std::string>> pairs;
            for (const TAPEItem& i : items) pairs.push_back({i.Key, text(i.Value)});
            EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{
                                 {"Title", "Title \xC3\xA9"},
                                 {"Comment", "keep"},
                                 {"track", "300"},
                                 {"Cover Art (Front)", std::string("c.jpg\0\xFF\xD8\0\x01", 10)},
                                 {"Artist", "Artist"},
                                 {"Album", "Album"},
                                 {"Year", "1999"},
                                 {"Genre", "Rock"}}));
            EXPECT_EQ(items[3].Flags, 2u);
        }
    }
}

TEST(WriteStreamTags, ApeTagItemsRules)
{
    TempDir dir;
    const std::string path = dir.file("a.tta");
    // A version 1 tag stores Latin-1; an empty value removes its items; no track leaves none.
    Bytes file = stream("tta");
    const Bytes tag = apeTag(1000);
    file.insert(file.end(), tag.begin(), tag.end());
    writeFile(path, file);
    ASSERT_TRUE(WriteID3AndApeTags(path, {"\xC3\xA9t\xC3\xA9", "", "Album", "", "", ""}).ok);
    TFileReader in;
    ASSERT_TRUE(in.open(path));
    TAPETag ape;
    ASSERT_TRUE(ape.ReadFromSource(in));
    std::vector<TAPEItem> items;
    ASSERT_TRUE(ape.ReadItems(in, items));
    EXPECT_EQ(ape.Version(), 1000u);
    EXPECT_FALSE(ape.HasHeader());
    std::vector<std::string> keys;
    for (const TAPEItem& i : items) keys.push_back(i.Key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Title", "Comment", "Cover Art (Front)", "Album"}));
    EXPECT_EQ(text(items[0].Value), "\xE9t\xE9");
}

TEST(WriteStreamTags, AFailedRewriteLeavesAllOldTags)
{
    TempDir dir;
    const std::string path = dir.file("a.ape");
    Bytes file = stream("ape");
    const Bytes tag = apeTag();
    file.insert(file.end(), tag.begin(), tag.end());
    writeFile(path, file);
    const TTagValues values{"T", "A", "B", "1999", "7", "Rock"};
    for (TFaultyFiles faults : {TFaultyFiles::diskFullAfter(100), TFaultyFiles::renameFails(EIO)}) {
        EXPECT_FALSE(WriteID3AndApeTags(path, values, faults).ok);
        EXPECT_EQ(readFile(path), file);
        EXPECT_EQ(listFiles(dir.str()), std::vector<std::string>{"a.ape"});
    }
    // A damaged tag (its items do not reach the footer as counted) is not rewritten.
    Bytes damaged = file;
    damaged[file.size() - 32 + 16] = 9; // item count
    writeFile(path, damaged);
    EXPECT_FALSE(WriteID3AndApeTags(path, values).ok);
    EXPECT_EQ(readFile(path), damaged);
}
