// The batch's own rules: which folders are albums (and which make one set of discs), when a candidate
// is taken without asking, and an album title without its disc mark. The batch at work is tested
// through cantorix-cli against the local servers (tests/cli/CliBatch_test.cpp).
#include "core/album/AlbumBatch.h"

#include "core/FolderScan.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace cantorix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::writeText;

TEST(AlbumBatch, DiscFolderNames)
{
    const struct {
        const char* name;
        int disc; // 0: no disc folder
    } cases[] = {
        {"CD1", 1}, {"CD 2", 2}, {"cd3", 3}, {"Disc 1", 1}, {"DISK2", 2}, {"disc_04", 4}, {"Disc-12", 12},
        {"CD", 0},  {"CD0", 0},  {"CD100", 0}, {"Disco 1", 0}, {"CD1 Bonus", 0}, {"Bonus CD1", 0},
    };
    for (const auto& c : cases) {
        int n = 0;
        EXPECT_EQ(IsDiscFolderName(c.name, &n), c.disc > 0) << c.name;
        EXPECT_EQ(n, c.disc) << c.name;
    }
}

TEST(AlbumBatch, AlbumTitlesWithoutTheirDiscMark)
{
    const struct {
        const char *title, *expected;
    } cases[] = {
        {"Album (CD 1)", "Album"}, {"Album [Disc 2]", "Album"}, {"Album CD1", "Album"},      {"Album - disc 2 of 3", "Album"},
        {"Album (cd2/2)", "Album"}, {"CD1", "CD1"},             {"Album", "Album"},          {"Discovery", "Discovery"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithoutDiscMark(c.title), c.expected) << c.title;
}

// The rule a batch takes a candidate by, without a person to ask.
TEST(AlbumBatch, ACandidateIsTakenOnlyWhenItIsClearlyTheAlbum)
{
    using Fits = QList<TCandidateFit>;
    const struct {
        const char* what;
        Fits fits;
        int candidates, match;
        bool byName;
        int expected;
    } cases[] = {
        {"one with the files' disc ID", {{-1, true}}, 1, -1, false, 0},
        {"freedb: one exact match", {{-1, true}}, 1, -1, false, 0},
        {"freedb: one inexact match", {{-1, false}}, 1, -1, false, -1},
        {"freedb: several exact matches", {{-1, true}, {-1, true}}, 2, -1, false, -1},
        {"close and the next far", {{400, false}, {6000, false}}, 2, -1, false, 0},
        {"the closest need not come first", {{7000, false}, {999, false}}, 2, -1, false, 1},
        {"close, but the next is not far enough", {{400, false}, {5000, false}}, 2, -1, false, -1},
        {"not close enough", {{1000, false}, {9000, false}}, 2, -1, false, -1},
        {"one alone, close", {{800, false}}, 1, -1, false, 0},
        {"one alone, not close", {{2400, false}}, 1, -1, false, -1},
        {"an unknown difference is never far", {{300, false}, {-1, false}}, 2, -1, false, -1},
        {"no fits at all", {}, 2, -1, false, -1},
        {"--match picks", {{-1, false}, {-1, false}}, 2, 1, false, 1},
        {"--match beyond the candidates", {{-1, false}}, 1, 3, false, -1},
        {"a search: one candidate", {{-1, false}}, 1, -1, true, 0},
        {"a search: several", {{-1, false}, {-1, false}}, 2, -1, true, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(ChooseWithoutAsking(c.fits, c.candidates, c.match, c.byName), c.expected) << c.what;
}

TEST(AlbumBatch, AlbumsAndSetsOfDiscsAreFoundUnderTheRoots)
{
    TempDir tmp;
    const std::string root = tmp.str() + "/music/";
    auto file = [&](const std::string& path) {
        fs::create_directories(fs::path(root + path).parent_path());
        writeText(root + path, "x");
    };
    file("A/Album One/01.mp3");
    file("A/Album One/cover.jpg");
    file("A/Album One/Scans/back.jpg");         // no audio: no album
    file("B/Set/CD1/01.flac");
    file("B/Set/CD2/01.flac");
    file("B/Set/Artwork/front.jpg");
    file("C/Dup/CD1/a.mp3");
    file("C/Dup/Disc 1/a.mp3");
    file("D/Gap/CD1/a.mp3");
    file("D/Gap/CD3/a.mp3");
    file("E/Beside/x.mp3");
    file("E/Beside/Disc 1/a.mp3");
    file("E/Beside/Disc 2/a.mp3");
    file("F/One disc folder/CD1/a.ogg");        // one disc folder is an album of its own
    file(".hidden/a.mp3");
    file("G/notes.txt");
    fs::create_directory_symlink(root, root + "G/loop"); // never entered

    const QList<TBatchAlbum> albums =
        FindAlbums({QString::fromStdString(root)}, BuildSupportedExtensions(QString()));
    QStringList found;
    for (const TBatchAlbum& a : albums) {
        QString line = a.Folder.mid(int(root.size()));
        for (const QString& d : a.Discs) line += " +" + d.mid(a.Folder.size());
        if (!a.Problem.isEmpty()) line += " ! " + a.Problem;
        found << line;
    }
    EXPECT_EQ(found, (QStringList{"A/Album One/", "B/Set/ +CD1/ +CD2/",
                                  "C/Dup/ +CD1/ +Disc 1/ ! two disc folders have the number 1",
                                  "D/Gap/ +CD1/ +CD3/ ! the disc folders are not numbered from 1 without a gap",
                                  "E/Beside/ +Disc 1/ +Disc 2/ ! audio files stand beside the disc folders",
                                  "F/One disc folder/CD1/"}));

    // An album folder given as the root is found itself; the walk is bounded.
    EXPECT_EQ(FindAlbums({QString::fromStdString(root + "A/Album One")}, BuildSupportedExtensions(QString())).size(), 1);
    EXPECT_TRUE(FindAlbums({QString::fromStdString(root)}, BuildSupportedExtensions(QString()), 1).isEmpty());
}

} // namespace
} // namespace cantorix
