// Tiny real audio files for the format tests, made at test time: generated PCM as WAV, encoded by the
// real `flac` and `oggenc`, or tones made by `ffmpeg`, with ffprobe's reading of them; and helpers that take a FLAC file apart into its metadata blocks and put
// it together again in other layouts.
#pragma once

#include "support/TestFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace cantorix::test {

inline bool haveTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command quietly; true when it exits with 0.
inline bool runQuiet(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string shellQuote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// What a shell command prints on stdout (stderr dropped).
inline std::string capture(const std::string& command)
{
    std::string out;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

// The playing time ffprobe reads from a file's container, in seconds; -1 when it reads none.
inline double ffprobeDuration(const std::string& path)
{
    std::string text = capture("ffprobe -v error -show_entries format=duration -of csv=p=0 " + shellQuote(path));
    return text.empty() ? -1.0 : std::atof(text.c_str());
}

// A generated tone through `ffmpeg -f lavfi -i <source> <output> <file>`; `output` may end in a pipe
// whose last command writes the file. Returns the path ("" when ffmpeg failed).
inline std::string makeWithFfmpeg(const TempDir& dir, const std::string& name, const std::string& source,
                                  const std::string& output)
{
    std::string out = dir.file(name);
    // Braces keep the quiet redirection off a pipe's own output.
    bool ok = runQuiet("{ ffmpeg -nostdin -v error -y -f lavfi -i " + source + " " + output + " " + shellQuote(out) + "; }");
    return ok ? out : std::string();
}

inline void putLE(Bytes& out, uint32_t v, int n)
{
    for (int i = 0; i < n; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// A 16-bit PCM WAV file with two different tones, `frames` sample frames long.
inline void writeWav(const std::string& path, int frames, int channels, int rate)
{
    Bytes pcm;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            putLE(pcm, uint32_t(uint16_t(int16_t(7000 * std::sin(i * (0.05 + 0.03 * c))))), 2);
    Bytes wav = {'R', 'I', 'F', 'F'};
    putLE(wav, uint32_t(36 + pcm.size()), 4);
    for (char c : std::string("WAVEfmt ")) wav.push_back(uint8_t(c));
    putLE(wav, 16, 4);
    putLE(wav, 1, 2);
    putLE(wav, uint32_t(channels), 2);
    putLE(wav, uint32_t(rate), 4);
    putLE(wav, uint32_t(rate * channels * 2), 4);
    putLE(wav, uint32_t(channels * 2), 2);
    putLE(wav, 16, 2);
    for (char c : std::string("data")) wav.push_back(uint8_t(c));
    putLE(wav, uint32_t(pcm.size()), 4);
    wav.insert(wav.end(), pcm.begin(), pcm.end());
    writeFile(path, wav);
}

// Encodes generated PCM with `flac <options>`; returns the path ("" when flac failed).
inline std::string makeFlac(const TempDir& dir, const std::string& name, const std::string& options,
                            int frames = 11025, int channels = 2, int rate = 44100)
{
    std::string wav = dir.file(name + ".wav");
    std::string out = dir.file(name);
    writeWav(wav, frames, channels, rate);
    bool ok = runQuiet("flac -s -f " + options + " -o " + shellQuote(out) + " " + shellQuote(wav));
    std::remove(wav.c_str());
    return ok ? out : std::string();
}

// Encodes generated PCM with `oggenc <options>`; returns the path ("" when oggenc failed).
inline std::string makeOgg(const TempDir& dir, const std::string& name, const std::string& options,
                           int frames = 11025, int channels = 2, int rate = 44100)
{
    std::string wav = dir.file(name + ".wav");
    std::string out = dir.file(name);
    writeWav(wav, frames, channels, rate);
    bool ok = runQuiet("oggenc -Q " + options + " -o " + shellQuote(out) + " " + shellQuote(wav));
    std::remove(wav.c_str());
    return ok ? out : std::string();
}

// A FLAC file taken apart: what stands before "fLaC", the STREAMINFO body, the metadata blocks after it
// (type and body, in file order) and the audio frames.
struct FlacParts {
    Bytes prefix;
    Bytes streamInfo;
    std::vector<std::pair<uint8_t, Bytes>> blocks;
    Bytes audio;
    int64_t audioOffset = 0;
};

inline uint32_t be24(const uint8_t* p) { return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]; }

// Only for well-formed files the tests made themselves.
inline FlacParts splitFlac(const Bytes& file)
{
    FlacParts parts;
    size_t pos = 0;
    while (pos + 4 <= file.size() && !(file[pos] == 'f' && file[pos + 1] == 'L' && file[pos + 2] == 'a' && file[pos + 3] == 'C'))
        ++pos;
    parts.prefix.assign(file.begin(), file.begin() + long(pos));
    pos += 4;
    bool last = false;
    bool first = true;
    while (!last && pos + 4 <= file.size()) {
        last = (file[pos] & 0x80) != 0;
        uint8_t type = file[pos] & 0x7F;
        uint32_t len = be24(&file[pos + 1]);
        Bytes body(file.begin() + long(pos + 4), file.begin() + long(pos + 4 + len));
        if (first)
            parts.streamInfo = body;
        else
            parts.blocks.emplace_back(type, body);
        first = false;
        pos += 4 + len;
    }
    parts.audioOffset = int64_t(pos);
    parts.audio.assign(file.begin() + long(pos), file.end());
    return parts;
}

// Puts a FLAC file together; the last block gets the last-block flag.
inline Bytes composeFlac(const Bytes& prefix, const Bytes& streamInfo, const std::vector<std::pair<uint8_t, Bytes>>& blocks,
                         const Bytes& audio)
{
    Bytes out = prefix;
    for (char c : std::string("fLaC")) out.push_back(uint8_t(c));
    auto put = [&](uint8_t type, const Bytes& body, bool last) {
        out.push_back(uint8_t(type | (last ? 0x80 : 0)));
        out.push_back(uint8_t(body.size() >> 16));
        out.push_back(uint8_t(body.size() >> 8));
        out.push_back(uint8_t(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    };
    put(0, streamInfo, blocks.empty());
    for (size_t i = 0; i < blocks.size(); ++i) put(blocks[i].first, blocks[i].second, i + 1 == blocks.size());
    out.insert(out.end(), audio.begin(), audio.end());
    return out;
}

// A Vorbis comment structure: vendor, count, entries (no framing byte).
inline Bytes commentBody(const std::string& vendor, const std::vector<std::string>& entries)
{
    Bytes out;
    putLE(out, uint32_t(vendor.size()), 4);
    out.insert(out.end(), vendor.begin(), vendor.end());
    putLE(out, uint32_t(entries.size()), 4);
    for (const std::string& e : entries) {
        putLE(out, uint32_t(e.size()), 4);
        out.insert(out.end(), e.begin(), e.end());
    }
    return out;
}

// A minimal ID3v2.3 tag of `size` bytes in total (header included), holding zero padding only.
inline Bytes id3v2Tag(uint32_t size)
{
    Bytes out = {'I', 'D', '3', 3, 0, 0};
    uint32_t body = size - 10;
    out.push_back(uint8_t((body >> 21) & 0x7F));
    out.push_back(uint8_t((body >> 14) & 0x7F));
    out.push_back(uint8_t((body >> 7) & 0x7F));
    out.push_back(uint8_t(body & 0x7F));
    out.resize(size, 0);
    return out;
}

inline Bytes slice(const Bytes& b, size_t from, size_t n = size_t(-1))
{
    if (from > b.size()) return {};
    n = std::min(n, b.size() - from);
    return Bytes(b.begin() + long(from), b.begin() + long(from + n));
}

} // namespace cantorix::test
