// The byte sources: the buffered file reader and memory, read alike and refused alike.
#include "audio/ByteSource.h"
#include "audio/FaultyIO.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace cantorix;
using cantorix::test::Bytes;
using cantorix::test::TempDir;
using cantorix::test::pattern;
using cantorix::test::TFailingSource;

namespace {
// Writes n pattern bytes to a file in `dir` and opens `reader` on it; returns the bytes.
Bytes openPatternFile(const TempDir& dir, size_t n, TFileReader& reader)
{
    Bytes data = pattern(n);
    cantorix::test::writeFile(dir.file("f"), data);
    EXPECT_TRUE(reader.open(dir.file("f")));
    return data;
}

} // namespace

TEST(FileReader, ReadsAcrossTheWindowAndRefusesToReadPastTheEnd)
{
    TempDir dir;
    TFileReader r;
    const Bytes data = openPatternFile(dir, 200000, r);
    EXPECT_EQ(r.size(), 200000);

    uint8_t buf[16];
    for (int64_t at : {int64_t(0), int64_t(65530), int64_t(131070), int64_t(199984)}) {
        ASSERT_TRUE(r.readAt(at, buf, sizeof buf)) << at;
        EXPECT_TRUE(std::equal(buf, buf + 16, data.begin() + at)) << at;
    }
    EXPECT_FALSE(r.readAt(199990, buf, 16));
    EXPECT_FALSE(r.readAt(-1, buf, 1));
    EXPECT_TRUE(r.seek(199999));
    EXPECT_FALSE(r.read(buf, 2));
    EXPECT_EQ(r.tell(), 199999); // a failed read does not move
    EXPECT_FALSE(r.seek(200001));

    Bytes big;
    ASSERT_TRUE(r.seek(1000));
    ASSERT_TRUE(r.read(big, 100000)); // larger than the window
    EXPECT_TRUE(std::equal(big.begin(), big.end(), data.begin() + 1000));
    ASSERT_TRUE(r.seek(0));
    EXPECT_FALSE(r.read(big, size_t(1) << 40)); // never allocates past the file

    TFileReader missing;
    EXPECT_EQ(missing.open(dir.file("none")).error, "No such file or directory");
    EXPECT_EQ(missing.open(dir.str()).error, "Is a directory"); // folders are not files
    EXPECT_EQ(missing.size(), 0);
    EXPECT_FALSE(missing.readAt(0, buf, 1));
}

TEST(InSource, FileAndMemoryGiveTheSameBytesAndSayWhyAReadFailed)
{
    TempDir dir;
    TFileReader file;
    const Bytes data = openPatternFile(dir, 70000, file);
    TMemorySource memory(data);
    for (TInSource* in : {static_cast<TInSource*>(&file), static_cast<TInSource*>(&memory)}) {
        EXPECT_EQ(in->size(), 70000);
        uint32_t be = 0, le = 0;
        ASSERT_TRUE(in->seek(69990));
        ASSERT_TRUE(in->readBE32(be));
        ASSERT_TRUE(in->readLE32(le));
        EXPECT_EQ(be, cantorix::getBE32(data.data() + 69990));
        EXPECT_EQ(le, cantorix::getLE32(data.data() + 69994));
        EXPECT_TRUE(in->error());
        uint8_t buf[8];
        EXPECT_EQ(in->readSome(buf, sizeof buf), 2u); // only two bytes are left
        EXPECT_FALSE(in->read(buf, 1));
        IoResult why = in->error();
        EXPECT_EQ(why.error, "Unexpected end of file");
        EXPECT_EQ(why.code, 0);
        ASSERT_TRUE(in->readAt(0, buf, 8));
        EXPECT_TRUE(in->error()) << "a read that succeeds clears the last failure";
    }

    // A refused read reports its own errno, and the position stays.
    TFailingSource failing(data, 1000);
    uint8_t buf[16];
    ASSERT_TRUE(failing.read(buf, 16));
    EXPECT_FALSE(failing.readAt(990, buf, 16));
    EXPECT_EQ(failing.error().error, "Input/output error");
    EXPECT_EQ(failing.error().code, EIO);
    EXPECT_EQ(failing.tell(), 16);
}
