// Musepack headers written by hand from the format's description: version 7 ("MP+"), the older
// versions 4 to 6, and version 8's packets ("MPCK").
#include "audio/formats/MPEGplus.h"

#include "audio/formats/StreamMaker.h"

#include <gtest/gtest.h>

using namespace cantorix;
using namespace cantorix::test;

namespace {

// Version 7: "MP+" and 0x07, the frame count, then byte 10 (profile nibble, rate code) and byte 11
// (bit 6: joint stereo); padded to 32 bytes and followed by `audio` bytes.
Bytes sv7(uint32_t frames, uint8_t byte10, uint8_t byte11, size_t audio = 1000)
{
    Bytes b = {'M', 'P', '+', 0x07};
    putLE(b, frames, 4);
    b.resize(32, 0);
    b[10] = byte10;
    b[11] = byte11;
    b.resize(32 + audio, 0x11);
    return b;
}

// Versions 4 to 6: word 0 holds the bit rate (bits 23 on) and the version (b[1] >> 1 & 15).
Bytes sv456(uint8_t versionBits, uint32_t bitRate, uint32_t word1)
{
    Bytes b;
    putLE(b, (bitRate << 23) | (uint32_t(versionBits) << 9), 4);
    putLE(b, word1, 4);
    b.resize(1032, 0x11);
    return b;
}

// One version 8 packet: key, size (key and size field included, one byte here) and body.
Bytes packet(const char* key, const Bytes& body)
{
    Bytes p = {uint8_t(key[0]), uint8_t(key[1]), uint8_t(body.size() + 3)};
    p.insert(p.end(), body.begin(), body.end());
    return p;
}

// "MPCK", a stream header (CRC, version, samples and silence as variable-length numbers, the rate
// code in the top 3 bits, channels - 1 and the mid/side flag), an encoder packet, an audio packet.
Bytes sv8(uint8_t version, uint64_t samples, uint8_t silence, uint8_t rateByte, uint8_t channelByte)
{
    Bytes sh = {0, 0, 0, 0, version};
    // 154350 = 0x25AEE: 7-bit groups 0x09, 0x35, 0x6E.
    Bytes groups;
    for (uint64_t v = samples; ; v >>= 7) {
        groups.insert(groups.begin(), uint8_t(v & 0x7F));
        if (v < 0x80) break;
    }
    for (size_t i = 0; i + 1 < groups.size(); ++i) groups[i] |= 0x80;
    sh.insert(sh.end(), groups.begin(), groups.end());
    sh.push_back(silence);
    sh.push_back(rateByte);
    sh.push_back(channelByte);
    Bytes b = {'M', 'P', 'C', 'K'};
    for (const Bytes& p : {packet("SH", sh), packet("EI", {0xA0, 1, 0x1E, 1}), packet("AP", Bytes(100, 0x22))})
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

TMPEGplus read(const Bytes& bytes)
{
    TMemorySource in(bytes);
    TMPEGplus m;
    m.ReadFromSource(in);
    return m;
}

} // namespace

TEST(MPEGplus, HeaderTable)
{
    struct Case {
        const char* what;
        Bytes file;
        int version;
        uint32_t rate;
        double duration;
        const char* channels;
        const char* profile;
    } cases[] = {
        // 10000 frames of 1152 samples at 44100 Hz: 261.22 s.
        {"7, Standard", sv7(10000, 0xA0, 0x40), 7, 44100, 10000 * 1152 / 44100.0, "Joint Stereo", "Standard"},
        {"7, 48 kHz", sv7(10000, 0x81, 0x00), 7, 48000, 10000 * 1152 / 48000.0, "Stereo", "Thumb"},
        {"7.1, 32 kHz", [] { Bytes b = sv7(500, 0x13, 0); b[3] = 0x17; return b; }(), 71, 32000,
         500 * 1152 / 32000.0, "Stereo", "Experimental"},
        // Versions 4 to 6 know no rate code: always 44100 Hz.
        {"4", sv456(3, 128, 700u << 16), 4, 44100, 700 * 1152 / 44100.0, "Stereo", "Unknown"},
        {"5", sv456(7, 160, 700), 5, 44100, 700 * 1152 / 44100.0, "Stereo", "Unknown"},
        {"6", sv456(11, 0, 700), 6, 44100, 700 * 1152 / 44100.0, "Stereo", "Unknown"},
        {"unknown version bits", sv456(5, 0, 700), 0, 0, 0, "Unknown", "Unknown"},
        // Version 8: (samples - silence) / rate.
        {"8", sv8(8, 154350, 0, 0x1B, 0x1B), 8, 44100, 154350 / 44100.0, "Joint Stereo", "Standard"},
        {"8, silence, mono 48 kHz", sv8(8, 154350, 100, 0x3B, 0x00), 8, 48000, 154250 / 48000.0, "Mono", "Standard"},
        {"8, stream version 7 inside", sv8(7, 154350, 0, 0x1B, 0x1B), 0, 0, 0, "Unknown", "Unknown"},
        {"8, reserved rate code", sv8(8, 154350, 0, 0x9B, 0x1B), 0, 0, 0, "Unknown", "Unknown"},
        {"8, no header packet", slice(sv8(8, 154350, 0, 0x1B, 0x1B), 0, 4), 0, 0, 0, "Unknown", "Unknown"},
        {"8, packet past the end", slice(sv8(8, 154350, 0, 0x1B, 0x1B), 0, 10), 0, 0, 0, "Unknown", "Unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TMPEGplus m = read(c.file);
        EXPECT_EQ(m.Valid(), c.version != 0);
        EXPECT_EQ(m.StreamVersion(), c.version);
        EXPECT_EQ(m.SampleRate(), c.rate);
        EXPECT_DOUBLE_EQ(m.Duration(), c.duration);
        EXPECT_EQ(m.ChannelModeText(), c.channels);
        EXPECT_EQ(m.ProfileText(), c.profile);
    }
}

TEST(MPEGplus, BitRateAndCorruption)
{
    // Stored by versions 4 and 5.
    EXPECT_EQ(read(sv456(7, 160, 700)).BitRate(), 160);
    // Otherwise from the bytes: 1032 * 8 * 44.1 / 700 / 1152 = 0.45 kbit/s, rounded 0: corrupted.
    EXPECT_EQ(read(sv456(11, 0, 700)).BitRate(), 0);
    EXPECT_TRUE(read(sv456(11, 0, 700)).Corrupted());
    // 100032 bytes over 10 frames at 44100 Hz: 100032 * 8 * 44.1 / 11520 = 3063 kbit/s, above 480.
    EXPECT_EQ(read(sv7(10, 0xA0, 0, 100000)).BitRate(), 3063);
    EXPECT_TRUE(read(sv7(10, 0xA0, 0, 100000)).Corrupted());
    // 1032 bytes over 2 frames: 1032 * 8 * 44.1 / 2304 = 158.0 kbit/s.
    EXPECT_EQ(read(sv7(2, 0xA0, 0)).BitRate(), 158);
    EXPECT_FALSE(read(sv7(2, 0xA0, 0)).Corrupted());
    EXPECT_FALSE(read(Bytes(64, 0)).Corrupted());
}
