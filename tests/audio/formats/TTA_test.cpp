// TTA headers written by hand from the format's description ("TTA1", format, channels, bits, rate,
// samples per channel, checksum); real files are read in RealStreams_test.cpp.
#include "audio/formats/TTA.h"

#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

Bytes tta(uint16_t channels, uint32_t rate, uint32_t samples, const char* magic = "TTA1")
{
    Bytes b;
    putText(b, magic);
    putLE(b, 1, 2);
    putLE(b, channels, 2);
    putLE(b, 16, 2);
    putLE(b, rate, 4);
    putLE(b, samples, 4);
    putLE(b, 0, 4);
    b.resize(1000, 0x44);
    return b;
}

} // namespace

TEST(TTA, HeaderTable)
{
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        double duration;
        double bitRate;
    } cases[] = {
        // 1000 bytes over 2 s: 4 kbit/s (the whole file, tags included).
        {"2 s", tta(2, 44100, 88200), true, 2.0, 4.0},
        {"no rate", tta(2, 0, 88200), true, 0, 0},
        {"no samples", tta(2, 44100, 0), true, 0, 0},
        {"other signature", tta(2, 44100, 88200, "TTA2"), false, 0, 0},
        {"cut header", slice(tta(2, 44100, 88200), 0, 20), false, 0, 0},
        // Too short for an APE tag before its ID3v1 tag: still read. 150 bytes over 2 s: 0.6 kbit/s.
        {"header and ID3v1 only", [] {
             Bytes b = slice(tta(2, 44100, 88200), 0, 22);
             putText(b, "TAG");
             b.resize(150, 0);
             return b;
         }(), true, 2.0, 0.6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemorySource in(c.file);
        TTTA t;
        EXPECT_EQ(t.ReadFromSource(in), c.valid);
        EXPECT_EQ(t.Valid(), c.valid);
        EXPECT_DOUBLE_EQ(t.Duration(), c.duration);
        EXPECT_DOUBLE_EQ(t.BitRate(), c.bitRate);
    }
}
