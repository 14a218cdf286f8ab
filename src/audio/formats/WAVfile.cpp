#include "audio/formats/WAVfile.h"

#include <cstring>

namespace cantorix {

namespace {

constexpr uint32_t kUnknownSize32 = 0xFFFFFFFF; // streamed files, and RF64's pointer to "ds64"
// Far beyond any real file (a few chunks); bounds the walk over a file of tiny chunks.
constexpr int kMaxChunks = 1 << 20;

bool isId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

uint64_t le64(const uint8_t* p) { return uint64_t(getLE32(p)) | (uint64_t(getLE32(p + 4)) << 32); }

} // namespace

bool TWAVfile::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TWAVfile::ReadFromSource(TInSource& in)
{
    *this = TWAVfile();
    m_fileSize = in.size();
    m_valid = readStructure(in);
    if (!m_valid) {
        const int64_t size = m_fileSize;
        *this = TWAVfile();
        m_fileSize = size;
        return false;
    }
    const bool pcm = m_subFormat == FormatPCM || m_subFormat == FormatFloat;
    if (pcm && m_hasData)
        m_sampleCount = m_dataSize / m_blockAlign;
    else if (!pcm)
        m_sampleCount = m_factSamples;
    return true;
}

// Walks every chunk to the end of the file: "fmt " and "data" may stand anywhere, behind "LIST",
// "JUNK", "bext" or "iXML" chunks. Stops at a chunk that does not fit the file.
bool TWAVfile::readStructure(TInSource& in)
{
    uint8_t riff[12];
    if (!in.readAt(0, riff, sizeof riff) || !isId(riff + 8, "WAVE")) return false;
    const bool wide = isId(riff, "RF64") || isId(riff, "BW64");
    if (!wide && !isId(riff, "RIFF")) return false;

    bool haveFormat = false;
    uint64_t wideDataSize = 0;  // from "ds64"
    uint64_t wideSamples = 0;
    int64_t pos = 12;
    for (int n = 0; n < kMaxChunks && m_fileSize - pos >= 8; ++n) {
        uint8_t head[8];
        if (!in.readAt(pos, head, sizeof head)) break;
        const int64_t body = pos + 8;
        int64_t size = getLE32(head + 4);
        const int64_t available = m_fileSize - body;

        if (wide && isId(head, "ds64") && size >= 24 && size <= available) {
            // RIFF size, data size, sample count, each 64-bit.
            uint8_t ds[24];
            if (!in.readAt(body, ds, sizeof ds)) break;
            wideDataSize = le64(ds + 8);
            wideSamples = le64(ds + 16);
        } else if (isId(head, "fmt ") && !haveFormat) {
            if (size < 16 || size > available) return false;
            uint8_t fmt[40] = {};
            const size_t want = size >= 40 ? 40 : 16;
            if (!in.readAt(body, fmt, want)) return false;
            m_formatSize = uint32_t(size);
            m_formatTag = getLE16(fmt);
            m_subFormat = m_formatTag;
            m_channels = getLE16(fmt + 2);
            m_sampleRate = getLE32(fmt + 4);
            m_bytesPerSecond = getLE32(fmt + 8);
            m_blockAlign = getLE16(fmt + 12);
            m_bitsPerSample = getLE16(fmt + 14);
            // WAVEFORMATEXTENSIBLE: cbSize, valid bits, channel mask, then the sub-format GUID whose
            // first two bytes are the real format tag.
            if (m_formatTag == FormatExtensible && want == 40) m_subFormat = getLE16(fmt + 24);
            haveFormat = true;
        } else if (isId(head, "fact") && size >= 4 && size <= available) {
            uint8_t fact[4];
            if (!in.readAt(body, fact, sizeof fact)) break;
            uint32_t samples = getLE32(fact);
            m_factSamples = (wide && samples == kUnknownSize32) ? int64_t(wideSamples & 0x7FFFFFFFFFFFFFFF) : samples;
        } else if (isId(head, "data") && !m_hasData) {
            m_hasData = true;
            m_dataOffset = body;
            if (wide && size == kUnknownSize32 && wideDataSize > 0 && wideDataSize <= uint64_t(available))
                size = int64_t(wideDataSize);
            // Streamed or cut files: the data is what the file holds.
            if (size == kUnknownSize32 || size > available) {
                m_dataSize = available;
                break;
            }
            m_dataSize = size;
        }
        if (size > available) break;
        pos = body + size + (size & 1); // chunks are padded to an even length
    }
    return haveFormat && m_channels > 0 && m_blockAlign > 0;
}

double TWAVfile::Duration() const
{
    if (!m_valid) return 0.0;
    if (m_sampleCount >= 0) return m_sampleRate > 0 ? double(m_sampleCount) / double(m_sampleRate) : 0.0;
    // A compressed format without a sample count: the average byte rate tells the time.
    if (m_hasData && m_bytesPerSecond > 0) return double(m_dataSize) / double(m_bytesPerSecond);
    return 0.0;
}

std::string TWAVfile::ChannelMode() const
{
    switch (m_channels) {
    case 0: return "Unknown";
    case 1: return "Mono";
    case 2: return "Stereo";
    default: return "Multichannel";
    }
}

void ReadWAVInfo(TInSource& in, TFileInfoValues& values)
{
    TWAVfile file;
    file.ReadFromSource(in);
    FillStreamValues(file, values);
}

TPlayingTime WAVPlayingTime(TInSource& in) { return PlayingTimeOf<TWAVfile, &TWAVfile::SampleCount>(in); }

} // namespace cantorix
