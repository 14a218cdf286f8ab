#include "audio/formats/TwinVQ.h"

#include "audio/ByteSource.h"
#include "audio/TagText.h"
#include "audio/TextCodec.h"

#include <cstdlib>
#include <cstring>

namespace cantorix {

namespace {

constexpr size_t kTextShown = 250;
// Every chunk takes at least its 8-byte head; this bounds the walk beyond that.
constexpr int kMaxChunks = 10000;

// Of each 32-bit big-endian header number only the low 16 bits count.
uint16_t low16(const uint8_t* p) { return getBE16(p + 2); }

} // namespace

bool TTwinVQ::ReadFromSource(TInSource& in)
{
    ResetData();
    uint8_t h[40];
    if (!in.readAt(0, h, sizeof h)) return false;
    if (std::memcmp(h, "TWIN", 4) != 0) return true;
    m_valid = true;
    m_fileSize = in.size();
    const uint16_t mode = low16(h + 24);
    m_channelMode = mode == 0 ? 1 : mode == 1 ? 2 : 0;
    m_bitRate = uint8_t(low16(h + 28));
    const uint16_t code = low16(h + 32);
    m_sampleRate = code == 11 ? 11025 : code == 22 ? 22050 : code == 44 ? 44100 : uint16_t(code * 1000u);
    const int64_t headerSize = low16(h + 12);
    if (m_bitRate != 0) m_duration = double(std::llabs(m_fileSize - headerSize - 20)) / 125.0 / m_bitRate;
    readChunks(in);
    return true;
}

void TTwinVQ::readChunks(TInSource& in)
{
    int64_t pos = 16;
    for (int n = 0; n < kMaxChunks && pos + 8 <= in.size(); ++n) {
        uint8_t head[8];
        if (!in.readAt(pos, head, 8)) return;
        for (int i = 0; i < 4; ++i)
            if (head[i] < 32) return;
        if (std::memcmp(head, "DATA", 4) == 0) return;
        const uint32_t size = getBE32(head + 4);
        pos += 8;
        if (int64_t(size) > in.size() - pos) return; // a chunk past the end: no more chunks
        std::string* target = nullptr;
        if (std::memcmp(head, "NAME", 4) == 0) target = &m_title;
        else if (std::memcmp(head, "COMT", 4) == 0) target = &m_comment;
        else if (std::memcmp(head, "AUTH", 4) == 0) target = &m_author;
        else if (std::memcmp(head, "(c) ", 4) == 0) target = &m_copyright;
        else if (std::memcmp(head, "FILE", 4) == 0) target = &m_originalFile;
        else if (std::memcmp(head, "ALBM", 4) == 0) target = &m_album;
        if (target) {
            std::string text(std::min<size_t>(size, kTextShown), '\0');
            if (!text.empty() && !in.readAt(pos, text.data(), text.size())) return;
            // The texts are 8-bit; zero bytes and other control characters around them are padding.
            *target = latin1ToUtf8(trimBlanks(text));
        }
        pos += int64_t(size); // the whole body, however long
    }
}

std::string TTwinVQ::ChannelModeText() const
{
    static const char* const kNames[] = {"Unknown", "Mono", "Stereo"};
    return kNames[m_channelMode >= 0 && m_channelMode <= 2 ? m_channelMode : 0];
}

bool TTwinVQ::Corrupted() const
{
    if (!m_valid) return false;
    return !(m_channelMode != 0 && m_bitRate >= 8 && m_bitRate <= 192 && m_sampleRate >= 8000 &&
             m_sampleRate <= 44100 && m_duration >= 0.1 && m_duration <= 10000);
}

TPlayingTime TwinVQPlayingTime(TInSource& in) { return PlayingTimeOf<TTwinVQ>(in); }

void ReadTwinVQInfo(TInSource& in, TFileInfoValues& v)
{
    TTwinVQ vqf;
    vqf.ReadFromSource(in);
    v.Artist = vqf.Author();
    v.Album = vqf.Album();
    v.Title = vqf.Title();
    v.Duration = FormatLongDuration(vqf.Duration());
    v.SampleRate = RateKHz(vqf.SampleRate());
    v.Bitrate = std::to_string(vqf.BitRate());
    v.Channels = vqf.ChannelModeText();
    if (vqf.Corrupted()) v.Other = "Corrupted!";
}

} // namespace cantorix
