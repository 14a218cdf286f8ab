// Builders for the small MPEG files the audio tests make at run time: frame headers and frame runs,
// Xing/VBRI frames, ID3v2 frames and tags, ID3v1 tags, APE tags, and real files made by lame.
#pragma once

#include "support/TestFiles.h"

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace cantorix::test {

enum class Mpeg { V1 = 3, V2 = 2, V25 = 0 };

// Four header bytes: no CRC; mode 0 stereo, 1 joint, 2 dual, 3 mono.
inline Bytes mpegHeader(Mpeg version, int layer, int bitRateIndex, int rateIndex, bool padding = false,
                        int mode = 0, int emphasis = 0)
{
    int layerBits = 4 - layer; // Layer I = 3, II = 2, III = 1
    return {0xFF, uint8_t(0xE1 | (int(version) << 3) | (layerBits << 1)),
            uint8_t((bitRateIndex << 4) | (rateIndex << 2) | (padding ? 2 : 0)),
            uint8_t((mode << 6) | emphasis)};
}

// `count` frames of `length` bytes, each the header followed by zero bytes.
inline Bytes frameRun(const Bytes& header, size_t length, size_t count)
{
    Bytes out;
    for (size_t i = 0; i < count; ++i) {
        size_t at = out.size();
        out.resize(at + length, 0);
        for (size_t k = 0; k < header.size() && k < length; ++k) out[at + k] = header[k];
    }
    return out;
}

inline void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }
inline void append(Bytes& to, const std::string& more) { to.insert(to.end(), more.begin(), more.end()); }
inline Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline void putBE(Bytes& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v >> 24); b[at + 1] = uint8_t(v >> 16); b[at + 2] = uint8_t(v >> 8); b[at + 3] = uint8_t(v);
}

// A frame of `length` bytes carrying a Xing header at `offset` with the given fields (flags say which).
inline Bytes xingFrame(const Bytes& header, size_t length, size_t offset, uint32_t flags, uint32_t frames,
                       uint32_t byteCount, const char* magic = "Xing")
{
    Bytes f = frameRun(header, length, 1);
    for (int k = 0; k < 4; ++k) f[offset + size_t(k)] = uint8_t(magic[k]);
    putBE(f, offset + 4, flags);
    size_t p = offset + 8;
    if (flags & 1) { putBE(f, p, frames); p += 4; }
    if (flags & 2) { putBE(f, p, byteCount); p += 4; }
    return f;
}

// One ID3v2 frame: version 3 sizes are plain, version 4 sizes sync-safe, version 2 has 3-byte ids.
inline Bytes id3Frame(int version, const std::string& id, const Bytes& body, uint8_t flags1 = 0)
{
    Bytes f(id.begin(), id.end());
    uint32_t n = uint32_t(body.size());
    if (version == 2) {
        f.push_back(uint8_t(n >> 16)); f.push_back(uint8_t(n >> 8)); f.push_back(uint8_t(n));
    } else {
        if (version == 4) n = ((n & 0x0FE00000) << 3) | ((n & 0x1FC000) << 2) | ((n & 0x3F80) << 1) | (n & 0x7F);
        f.push_back(uint8_t(n >> 24)); f.push_back(uint8_t(n >> 16)); f.push_back(uint8_t(n >> 8)); f.push_back(uint8_t(n));
        f.push_back(0); f.push_back(flags1);
    }
    append(f, body);
    return f;
}

// A text frame body in encoding 0 (the text given as ISO-8859-1 bytes).
inline Bytes latin1Body(const std::string& text) { Bytes b{0}; append(b, text); return b; }

// A tag header with the body size given; then the frames and `padding` zero bytes.
inline Bytes id3Tag(int version, std::initializer_list<Bytes> frames, size_t padding = 0, uint8_t flags = 0)
{
    Bytes body;
    for (const Bytes& f : frames) append(body, f);
    body.resize(body.size() + padding, 0);
    uint32_t n = uint32_t(body.size());
    Bytes t{'I', 'D', '3', uint8_t(version), 0, flags, uint8_t((n >> 21) & 0x7F), uint8_t((n >> 14) & 0x7F),
            uint8_t((n >> 7) & 0x7F), uint8_t(n & 0x7F)};
    append(t, body);
    return t;
}

// A 128-byte ID3v1 tag from ISO-8859-1 fields; track 0 gives a version 1.0 tag.
inline Bytes id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                      const std::string& year, const std::string& comment, int track, int genre)
{
    Bytes t(128, 0);
    t[0] = 'T'; t[1] = 'A'; t[2] = 'G';
    auto put = [&](size_t at, const std::string& s, size_t w) {
        for (size_t k = 0; k < s.size() && k < w; ++k) t[at + k] = uint8_t(s[k]);
    };
    put(3, title, 30); put(33, artist, 30); put(63, album, 30); put(93, year, 4); put(97, comment, 30);
    if (track) { t[125] = 0; t[126] = uint8_t(track); }
    t[127] = uint8_t(genre);
    return t;
}

// An APE tag (footer only) with the given items.
inline Bytes apeTag(const std::vector<std::pair<std::string, std::string>>& items, uint32_t version = 2000)
{
    Bytes body;
    for (const auto& [name, value] : items) {
        Bytes head(8, 0);
        uint32_t n = uint32_t(value.size());
        head[0] = uint8_t(n); head[1] = uint8_t(n >> 8); head[2] = uint8_t(n >> 16); head[3] = uint8_t(n >> 24);
        append(body, head);
        append(body, name);
        body.push_back(0);
        append(body, value);
    }
    Bytes footer(32, 0);
    const char* magic = "APETAGEX";
    for (int k = 0; k < 8; ++k) footer[size_t(k)] = uint8_t(magic[k]);
    auto le = [&](size_t at, uint32_t v) {
        footer[at] = uint8_t(v); footer[at + 1] = uint8_t(v >> 8); footer[at + 2] = uint8_t(v >> 16); footer[at + 3] = uint8_t(v >> 24);
    };
    le(8, version);
    le(12, uint32_t(body.size() + 32));
    le(16, uint32_t(items.size()));
    append(body, footer);
    return body;
}

inline bool haveLame() { return std::system("lame --version >/dev/null 2>&1") == 0; }

// Encodes `seconds` of noise (a 44.1 kHz stereo 16-bit WAV file) with lame and the given options into
// `out`. False when lame fails.
inline bool makeLameMp3(const TempDir& dir, const std::string& out, const std::string& options, double seconds = 2.0)
{
    std::string wav = dir.file("noise.wav");
    uint32_t dataSize = uint32_t(seconds * 44100) * 4;
    Bytes b = bytes("RIFF");
    auto le32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) b.push_back(uint8_t(v >> (8 * k))); };
    auto le16 = [&](uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
    le32(36 + dataSize);
    append(b, std::string("WAVEfmt "));
    le32(16); le16(1); le16(2); le32(44100); le32(44100 * 4); le16(4); le16(16);
    append(b, std::string("data"));
    le32(dataSize);
    uint32_t x = 12345;
    for (uint32_t i = 0; i < dataSize; ++i) {
        x = x * 1103515245u + 12345u;
        b.push_back(uint8_t(x >> 16));
    }
    writeFile(wav, b);
    std::string cmd = "lame --quiet " + options + " '" + wav + "' '" + out + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
}

} // namespace cantorix::test
