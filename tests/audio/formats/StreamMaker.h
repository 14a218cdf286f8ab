// Real streams for the readers of TTA, AAC, AC-3, E-AC-3, DTS (made by ffmpeg) and Musepack (mpcenc),
// with the references their own tools give, and small byte helpers for the headers written by hand.
#pragma once

#include "audio/formats/AudioMaker.h"

#include <cstdio>
#include <string>

namespace cantorix::test {

// ffmpeg's 3.5-second stereo tone at 44100 Hz encoded with `codecArgs` ("-c:a tta"); empty when
// ffmpeg is missing or failed.
inline std::string makeToneWithFfmpeg(const TempDir& dir, const std::string& name, const std::string& codecArgs,
                                  const std::string& tone = "sine=sample_rate=44100:duration=3.5")
{
    const std::string path = dir.file(name);
    if (!runQuiet("ffmpeg -v error -y -f lavfi -i " + tone + " -ac 2 " + codecArgs + " " + shellQuote(path)))
        return {};
    return path;
}

// The output of a shell command, without its trailing line break.
inline std::string commandOutput(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

// ffprobe's count of the first audio stream's packets; -1 when it gives none.
inline long probePackets(const std::string& path)
{
    const std::string n = commandOutput("ffprobe -v error -count_packets -select_streams a:0 -show_entries "
                                        "stream=nb_read_packets -of default=nw=1:nk=1 " + shellQuote(path));
    return n.empty() ? -1 : std::stol(n);
}

// One value of ffprobe's first audio stream ("duration", "sample_rate", "channels").
inline std::string probeStream(const std::string& path, const std::string& entry)
{
    return commandOutput("ffprobe -v error -select_streams a:0 -show_entries stream=" + entry +
                         " -of default=nw=1:nk=1 " + shellQuote(path));
}

inline void putBE(Bytes& out, uint32_t v, int n)
{
    for (int i = n - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

inline void putText(Bytes& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

} // namespace cantorix::test
