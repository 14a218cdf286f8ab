#include "audio/formats/MPEGplus.h"

#include "audio/Rational.h"

#include <cstring>

namespace cantorix {

namespace {

constexpr uint32_t kRates[4] = {44100, 48000, 37800, 32000};

// Profile by the high nibble of the version 7 header's byte 10 (the encoder's quality + 5).
constexpr int kProfileByNibble[16] = {0, 12, 0, 0, 0, 9, 10, 11, 1, 2, 3, 4, 5, 6, 7, 8};

// Version 8 packets: a two-letter key, then the packet size (key and size field included) in
// 7-bit groups, high bit set on all but the last.
constexpr int kMaxSizeBytes = 8;
// The stream header comes first; a few other packets before it are tolerated, no more.
constexpr int kMaxPackets = 64;

// Reads a variable-length number of at most kMaxSizeBytes bytes at `at`; its length goes to `used`.
bool readVarSize(TInSource& in, int64_t at, uint64_t& value, int& used)
{
    value = 0;
    for (used = 1; used <= kMaxSizeBytes; ++used) {
        uint8_t b;
        if (!in.readAt(at + used - 1, &b, 1)) return false;
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

// The same on bytes of a packet body.
bool varSizeIn(const uint8_t* p, size_t n, size_t& pos, uint64_t& value)
{
    value = 0;
    for (int i = 0; i < kMaxSizeBytes; ++i) {
        if (pos >= n) return false;
        const uint8_t b = p[pos++];
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

} // namespace

bool TMPEGplus::ReadFromSource(TInSource& in)
{
    ResetData();
    if (!m_tags.Read(in)) return false;
    const int64_t at = m_tags.Start();
    uint8_t b[32];
    if (!in.readAt(at, b, 4)) return false;
    m_fileSize = in.size();
    if (std::memcmp(b, "MPCK", 4) == 0) {
        if (!readVersion8(in, at + 4)) {
            m_streamVersion = 0;
            m_samples = 0;
            return false;
        }
        m_streamVersion = 8;
        m_valid = true;
        return true;
    }
    if (!in.readAt(at, b, sizeof b)) return false;
    const uint32_t w0 = getLE32(b);
    const uint32_t w1 = getLE32(b + 4);
    if (w0 == 0x072B504D)
        m_streamVersion = 7;
    else if (w0 == 0x172B504D)
        m_streamVersion = 71;
    else
        switch ((b[1] >> 1) & 0x0F) {
        case 3: m_streamVersion = 4; break;
        case 7: m_streamVersion = 5; break;
        case 11: m_streamVersion = 6; break;
        default: return false;
        }
    m_valid = true;
    if (m_streamVersion >= 7) {
        m_sampleRate = kRates[b[10] & 3];
        m_channelMode = (b[11] & 0x40) ? 2 : 1;
        m_profile = kProfileByNibble[b[10] >> 4];
        m_frameCount = w1;
    } else {
        // Versions 4 to 6 have no rate field: they are always 44100 Hz.
        m_sampleRate = 44100;
        m_channelMode = (b[2] & 0x7F) ? 2 : 1;
        m_frameCount = m_streamVersion == 4 ? (w1 >> 16) : w1;
        if (m_streamVersion <= 5) m_storedBitRate = int(w0 >> 23);
    }
    return true;
}

bool TMPEGplus::readVersion8(TInSource& in, int64_t pos)
{
    bool header = false;
    for (int n = 0; n < kMaxPackets && pos + 3 <= m_fileSize; ++n) {
        uint8_t key[2];
        uint64_t size = 0;
        int used = 0;
        if (!in.readAt(pos, key, 2) || !readVarSize(in, pos + 2, size, used)) return false;
        const uint64_t headBytes = 2 + uint64_t(used);
        if (size < headBytes || size > uint64_t(m_fileSize - pos)) return false;
        const size_t body = size_t(std::min<uint64_t>(size - headBytes, 64));
        uint8_t p[64];
        if (body > 0 && !in.readAt(pos + int64_t(headBytes), p, body)) return false;
        if (key[0] == 'S' && key[1] == 'H') {
            // CRC (4 bytes), version 8, samples, beginning silence, rate and bands, channels and
            // mid/side flag.
            size_t at = 5;
            uint64_t samples = 0, silence = 0;
            if (body < 5 || p[4] != 8 || !varSizeIn(p, body, at, samples) || !varSizeIn(p, body, at, silence) ||
                at + 2 > body || (p[at] >> 5) > 3)
                return false;
            m_sampleRate = kRates[p[at] >> 5];
            const int channels = (p[at + 1] >> 4) + 1;
            m_channelMode = channels == 1 ? 3 : (p[at + 1] & 0x08) ? 2 : 1;
            m_samples = samples > silence ? samples - silence : 0;
            header = true;
        } else if (key[0] == 'E' && key[1] == 'I' && body >= 1) {
            // The profile in eighths; its whole values number the profiles as version 7's nibble does.
            const int eighths = p[0] >> 1;
            if (eighths % 8 == 0) m_profile = kProfileByNibble[eighths / 8];
        } else if ((key[0] == 'A' && key[1] == 'P') || (key[0] == 'S' && key[1] == 'E')) {
            break; // the audio begins: no more header packets
        }
        pos += int64_t(size);
    }
    return header;
}

std::string TMPEGplus::ChannelModeText() const
{
    static const char* const kNames[] = {"Unknown", "Stereo", "Joint Stereo", "Mono"};
    return kNames[m_channelMode >= 0 && m_channelMode <= 3 ? m_channelMode : 0];
}

std::string TMPEGplus::ProfileText() const
{
    static const char* const kNames[] = {"Unknown",  "Thumb",        "Radio",        "Standard",     "Xtreme",
                                         "Insane",   "BrainDead",    "--quality 9",  "--quality 10", "--quality 0",
                                         "--quality 1", "Telephone", "Experimental"};
    return kNames[m_profile >= 0 && m_profile <= 12 ? m_profile : 0];
}

double TMPEGplus::Duration() const
{
    if (m_sampleRate == 0) return 0;
    if (m_streamVersion == 8) return double(m_samples) / double(m_sampleRate);
    return double(m_frameCount) * 1152.0 / double(m_sampleRate);
}

int TMPEGplus::BitRate() const
{
    if (m_storedBitRate != 0) return m_storedBitRate;
    const uint64_t samples = m_streamVersion == 8 ? m_samples : uint64_t(m_frameCount) * 1152;
    if (!m_valid || samples == 0) return 0;
    const int64_t audio = m_fileSize - m_tags.TotalSize();
    // audio bytes * 8 * rate / samples / 1000, exactly.
    const int64_t v = RoundRatioHalfEven(__int128(audio) * 8 * m_sampleRate, __int128(samples) * 1000);
    return v < 0 ? 0 : v > 65535 ? 65535 : int(v);
}

bool TMPEGplus::Corrupted() const
{
    const int rate = BitRate();
    return m_valid && (rate < 3 || rate > 480);
}

TPlayingTime MPEGplusPlayingTime(TInSource& in) { return PlayingTimeOf<TMPEGplus, &TMPEGplus::Samples>(in); }

void ReadMPEGplusInfo(TInSource& in, TFileInfoValues& v)
{
    TMPEGplus mpc;
    mpc.ReadFromSource(in);
    mpc.Tags().FillInfo(v);
    v.Duration = FormatLongDuration(mpc.Duration());
    v.SampleRate = RateKHz(mpc.SampleRate());
    v.Bitrate = std::to_string(mpc.BitRate());
    v.Channels = mpc.ChannelModeText();
    v.Other = "Profile: " + mpc.ProfileText() + (mpc.Corrupted() ? ". Corrupted." : "");
}

} // namespace cantorix
