#include "audio/formats/MP4file.h"

#include "audio/Rational.h"

#include <cstring>
#include <string_view>

namespace cantorix {

namespace {

// Far more boxes than any audio file's movie header holds; bounds what a hostile file can make us walk.
constexpr int kMaxBoxes = 100000;

// One box: a 32-bit size and a type, a 64-bit size after them when the 32-bit one is 1, or 0 for a box
// that runs to the end of its parent.
struct Box {
    char type[4] = {};
    int64_t body = 0; // offset of the content, after the header
    int64_t end = 0;
    bool is(std::string_view t) const { return std::memcmp(type, t.data(), 4) == 0; }
};

bool readBox(TInSource& in, int64_t at, int64_t limit, Box& box)
{
    uint8_t h[16];
    if (limit - at < 8 || !in.readAt(at, h, 8)) return false;
    std::memcpy(box.type, h + 4, 4);
    uint64_t size = getBE32(h);
    int64_t header = 8;
    if (size == 1) {
        if (limit - at < 16 || !in.readAt(at + 8, h + 8, 8)) return false;
        size = (uint64_t(getBE32(h + 8)) << 32) | getBE32(h + 12);
        header = 16;
    } else if (size == 0) {
        size = uint64_t(limit - at);
    }
    if (size < uint64_t(header) || size > uint64_t(limit - at)) return false;
    box.body = at + header;
    box.end = at + int64_t(size);
    return true;
}

// Calls `visit` for each child box of [from, to) until it returns false; false when the children do
// not fill the parent as boxes or the walk met its bound.
template <typename Visit>
bool eachChild(TInSource& in, int64_t from, int64_t to, int& budget, Visit visit)
{
    for (int64_t at = from; at < to;) {
        Box box;
        if (--budget < 0 || !readBox(in, at, to, box)) return false;
        if (!visit(box)) return true;
        at = box.end;
    }
    return true;
}

// Reads n bytes at `at` bytes into the content of `box`; false when they pass the box's end (a box
// too short for its fields: the bytes there belong to the next box) or the read failed.
bool readIn(TInSource& in, const Box& box, int64_t at, void* dst, size_t n)
{
    return at >= 0 && box.end - box.body >= at + int64_t(n) && in.readAt(box.body + at, dst, n);
}

// Unsigned big-endian fields at `at` bytes into the content of `box`.
bool readU64(TInSource& in, const Box& box, int64_t at, uint64_t& v)
{
    uint8_t b[8];
    if (!readIn(in, box, at, b, 8)) return false;
    v = (uint64_t(getBE32(b)) << 32) | getBE32(b + 4);
    return true;
}

bool readU32(TInSource& in, const Box& box, int64_t at, uint32_t& v)
{
    uint8_t b[4];
    if (!readIn(in, box, at, b, 4)) return false;
    v = getBE32(b);
    return true;
}

struct Track {
    bool audio = false;
    bool hasHeader = false;
    uint64_t duration = 0; // tkhd, in the movie's time scale
    uint32_t mediaScale = 0;
    uint64_t mediaDuration = 0;
    uint32_t sampleRate = 0; // of the first sample description, whole Hz
    int edits = -1;          // -1: no edit list
    uint64_t editDuration = 0;
    int64_t editStart = 0;
    bool plainEdit = false;  // one edit at normal rate
};

bool readTrack(TInSource& in, const Box& trak, int& budget, Track& t)
{
    auto version = [&](const Box& b, uint8_t& v) { return readIn(in, b, 0, &v, 1); };
    return eachChild(in, trak.body, trak.end, budget, [&](const Box& b) {
        uint8_t v = 0;
        if (b.is("tkhd") && version(b, v)) {
            // 0: created 4, modified 4, track 4, reserved 4, duration 4; 1: 8, 8, 4, 4, duration 8.
            uint32_t d32 = 0;
            t.hasHeader = v == 1 ? readU64(in, b, 28, t.duration) : readU32(in, b, 20, d32);
            if (v != 1) t.duration = d32 == 0xFFFFFFFFu ? 0 : d32;
        } else if (b.is("edts")) {
            eachChild(in, b.body, b.end, budget, [&](const Box& e) {
                uint8_t ev = 0;
                uint32_t count = 0;
                if (!e.is("elst") || !version(e, ev) || !readU32(in, e, 4, count)) return true;
                t.edits = int(std::min<uint32_t>(count, 2));
                if (count != 1) return false;
                // 0: duration 4, media time 4, rate 4; 1: duration 8, media time 8, rate 4.
                uint32_t d32 = 0, m32 = 0, rate = 0;
                uint64_t m64 = 0;
                const bool ok = ev == 1 ? readU64(in, e, 8, t.editDuration) && readU64(in, e, 16, m64) &&
                                              readU32(in, e, 24, rate)
                                        : readU32(in, e, 8, d32) && readU32(in, e, 12, m32) &&
                                              readU32(in, e, 16, rate);
                if (ev != 1) {
                    t.editDuration = d32;
                    m64 = uint64_t(int64_t(int32_t(m32)));
                }
                t.editStart = int64_t(m64);
                t.plainEdit = ok && rate == 0x00010000u && t.editStart >= 0;
                return false;
            });
        } else if (b.is("mdia")) {
            eachChild(in, b.body, b.end, budget, [&](const Box& m) {
                uint8_t mv = 0;
                if (m.is("mdhd") && version(m, mv)) {
                    // 0: created 4, modified 4, scale 4, duration 4; 1: 8, 8, scale 4, duration 8.
                    uint32_t d32 = 0;
                    if (mv == 1) {
                        readU32(in, m, 20, t.mediaScale);
                        readU64(in, m, 24, t.mediaDuration);
                    } else if (readU32(in, m, 12, t.mediaScale) && readU32(in, m, 16, d32)) {
                        t.mediaDuration = d32 == 0xFFFFFFFFu ? 0 : d32;
                    }
                } else if (m.is("hdlr")) {
                    uint8_t handler[4];
                    t.audio = readIn(in, m, 8, handler, 4) && std::memcmp(handler, "soun", 4) == 0;
                } else if (m.is("minf")) {
                    eachChild(in, m.body, m.end, budget, [&](const Box& s) {
                        if (!s.is("stbl")) return true;
                        eachChild(in, s.body, s.end, budget, [&](const Box& d) {
                            if (!d.is("stsd")) return true;
                            // Version and flags 4, count 4, then the first entry: size 4, format 4,
                            // reserved 6, reference 2, version 2, revision 2, vendor 4, channels 2,
                            // sample size 2, compression 2, packet size 2, rate 16.16.
                            uint32_t rate = 0;
                            if (readU32(in, d, 8 + 32, rate))
                                t.sampleRate = rate >> 16;
                            return false;
                        });
                        return false;
                    });
                }
                return true;
            });
        }
        return true;
    });
}

} // namespace

bool TMP4file::ReadFromSource(TInSource& in)
{
    *this = TMP4file();
    int budget = kMaxBoxes;
    Box moov;
    bool found = false;
    eachChild(in, 0, in.size(), budget, [&](const Box& b) {
        if (b.is("moov")) {
            moov = b;
            found = true;
        }
        return !found;
    });
    if (!found) return false;

    uint32_t movieScale = 0;
    Track audio;
    bool haveAudio = false;
    eachChild(in, moov.body, moov.end, budget, [&](const Box& b) {
        uint8_t v = 0;
        if (b.is("mvhd") && readIn(in, b, 0, &v, 1)) {
            // The time scale follows created and modified: 4 bytes each in version 0, 8 in version 1.
            readU32(in, b, v == 1 ? 20 : 12, movieScale);
        } else if (b.is("trak") && !haveAudio) {
            Track t;
            if (readTrack(in, b, budget, t) && t.audio) {
                audio = t;
                haveAudio = true;
            }
        }
        return true;
    });
    if (!haveAudio || movieScale == 0 || !audio.hasHeader || audio.duration == 0) return false;
    m_milliseconds = RoundRatioHalfEven(__int128(audio.duration) * 1000, movieScale);
    if (m_milliseconds <= 0) return false;
    m_valid = true;

    // The exact count, where the media's time scale counts samples.
    if (audio.mediaScale == 0 || audio.sampleRate != audio.mediaScale || audio.mediaDuration == 0) return true;
    int64_t samples = int64_t(std::min<uint64_t>(audio.mediaDuration, uint64_t(INT64_MAX)));
    if (audio.edits >= 0) {
        if (audio.edits != 1 || !audio.plainEdit || audio.editStart >= samples) return true;
        samples -= audio.editStart;
        // The edit may end before the media does (an encoder's padding); its duration is in the
        // movie's time scale, and counts only when it converts to whole samples.
        const __int128 scaled = __int128(audio.editDuration) * audio.mediaScale;
        if (audio.editDuration > 0 && scaled % movieScale == 0 && scaled / movieScale < samples)
            samples = int64_t(scaled / movieScale);
    }
    m_samples = samples;
    m_sampleRate = audio.sampleRate;
    return true;
}

TPlayingTime MP4PlayingTime(TInSource& in)
{
    return PlayingTimeOf<TMP4file, &TMP4file::Samples>(in);
}

} // namespace cantorix
