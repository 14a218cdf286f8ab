#include "audio/formats/AUfile.h"

#include "audio/TagText.h"
#include "audio/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cantorix {

namespace {

constexpr int64_t kHeaderSize = 24;
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;
// Annotations are a few lines; a larger field is read only this far.
constexpr size_t kMaxAnnotation = 64 * 1024;

} // namespace

bool TAUfile::ReadFromFile(const std::string& fileName) { return ReadFileInto(*this, fileName); }

bool TAUfile::ReadFromSource(TInSource& in)
{
    *this = TAUfile();
    m_fileSize = in.size();
    uint8_t h[kHeaderSize];
    if (!in.readAt(0, h, sizeof h) || std::memcmp(h, ".snd", 4) != 0) return false;
    const int64_t offset = getBE32(h + 4);
    const uint32_t size = getBE32(h + 8);
    if (offset < kHeaderSize || offset > m_fileSize) return false;
    m_encoding = getBE32(h + 12);
    m_sampleRate = getBE32(h + 16);
    m_channels = getBE32(h + 20);
    if (m_sampleRate == 0 || m_channels == 0) {
        *this = TAUfile();
        m_fileSize = in.size();
        return false;
    }
    m_valid = true;
    m_dataOffset = offset;
    const int64_t available = m_fileSize - offset;
    // Writers to a pipe cannot go back to fill in the size: the data runs to the end of the file.
    m_sizeStated = size != kUnknownSize && int64_t(size) <= available;
    m_dataSize = m_sizeStated ? int64_t(size) : available;

    const size_t annotation = size_t(std::min<int64_t>(offset - kHeaderSize, int64_t(kMaxAnnotation)));
    if (annotation > 0) {
        ByteVector text(annotation);
        if (in.readAt(kHeaderSize, text.data(), text.size())) readAnnotation(text.data(), text.size());
    }
    return true;
}

// Lines of "key=value" up to the first zero byte; keys without regard to case.
void TAUfile::readAnnotation(const uint8_t* p, size_t n)
{
    const size_t end = size_t(std::find(p, p + n, uint8_t(0)) - p);
    const std::string all(reinterpret_cast<const char*>(p), end);
    size_t at = 0;
    while (at < all.size()) {
        size_t eol = all.find('\n', at);
        if (eol == std::string::npos) eol = all.size();
        const std::string line = all.substr(at, eol - at);
        at = eol + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = upperAscii(trimBlanks(line.substr(0, eq)));
        std::string value = trimBlanks(line.substr(eq + 1));
        if (key == "TITLE") m_title = value;
        else if (key == "ARTIST" || key == "AUTHOR") m_artist = value;
        else if (key == "ALBUM") m_album = value;
        else if (key == "DATE" || key == "YEAR") m_year = value;
        else if (key == "GENRE") m_genre = value;
        else if (key == "TRACK") m_track = value;
    }
}

int TAUfile::BitsPerSample() const
{
    switch (m_encoding) {
    case MuLaw8: case Linear8: case ALaw8: return 8;
    case Linear16: return 16;
    case Linear24: return 24;
    case Linear32: case Float32: return 32;
    case Float64: return 64;
    case G721: return 4;
    case G723_3: return 3;
    case G723_5: return 5;
    default: return 0;
    }
}

double TAUfile::BitRate() const
{
    return m_valid ? double(BitsPerSample()) * double(m_channels) * double(m_sampleRate) : 0.0;
}

double TAUfile::Duration() const
{
    const double rate = BitRate();
    return rate > 0 ? double(m_dataSize) * 8.0 / rate : 0.0;
}

int64_t TAUfile::StatedSamples() const
{
    const int bits = BitsPerSample();
    if (!m_valid || !m_sizeStated || bits % 8 != 0 || bits == 0) return 0;
    return m_dataSize / (int64_t(bits / 8) * m_channels);
}

void ReadAUInfo(TInSource& in, TFileInfoValues& values)
{
    TAUfile file;
    file.ReadFromSource(in);
    FillTagValues(file, values);
    values.Duration = FormatLongDuration(file.Duration());
    values.SampleRate = RateKHz(file.SampleRate());
    // As the media-information library showed them: whole kbit/s rounded up, the channel count.
    values.Bitrate = std::to_string(int64_t(std::ceil(file.BitRate() / 1000.0)));
    values.Channels = file.Valid() ? std::to_string(file.Channels()) : "";
}

TPlayingTime AUPlayingTime(TInSource& in) { return PlayingTimeOf<TAUfile, &TAUfile::StatedSamples>(in); }

} // namespace cantorix
