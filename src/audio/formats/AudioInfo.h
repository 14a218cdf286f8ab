// The playing time of an MPEG audio file for the folder scan. Its milliseconds, rounded to whole
// seconds, become a track length of the disc ID, so every step below is fixed: where the search for
// the first frame starts and stops, how a frame is confirmed, and how Xing and constant-bit-rate files
// are timed.
#pragma once

#include "audio/ByteSource.h"
#include "audio/ID3Tags.h"
#include "audio/PlayingTime.h"
#include "audio/formats/MpegFrameHdr.h"

#include <cstdint>
#include <string>

namespace cantorix {

class TAudioInfo {
public:
    TAudioInfo() = default;

    // Measures `fileName`. False when the name is empty or blank, the file cannot be opened, or a read
    // fails; DurationMs() is then -1 (no playing time).
    bool ReadFromFile(const std::string& fileName);
    // Measures the whole source from its position.
    bool ReadFromSource(TInSource& in) { return ReadFromStream(in, in.remaining()); }
    // Measures the `size` bytes from the source's position (clamped to what the source holds). False
    // when a read fails (DurationMs() -1).
    bool ReadFromStream(TInSource& stream, int64_t size);

    // Playing time in milliseconds; -1 when no frame was found.
    int64_t DurationMs() const { return m_durationMs; }
    // Offset of the first frame from the start of the measured range; -1 when none.
    int64_t FirstFrame() const { return m_firstFrame; }
    int64_t FrameCount() const { return m_frameCount; }
    // Bytes of audio data the time was computed from; -1 when a Xing header announced more than the
    // file holds.
    int64_t AudioBytes() const { return m_audioBytes; }
    // Bits per second.
    int64_t bitRate() const { return m_bitRate; }
    bool isVBR() const { return m_vbr; }
    uint32_t xingFlags() const { return m_xingFlags; }
    uint32_t xingFrames() const { return m_xingFrames; }
    uint32_t xingBytes() const { return m_xingBytes; }
    uint32_t xingQuality() const { return m_xingQuality; }
    const uint8_t* xingToc() const { return m_xingToc; }
    // The exact length in samples per channel, at header().sampleRate(): the frames a Xing or Info
    // header counts, less the encoder delay and padding of a LAME tag whose CRC is intact. 0 without
    // such a header, or when the file is shorter than the header announces. The whole-second time
    // above does not use it.
    int64_t Samples() const { return m_samples; }
    // The encoder delay and padding a LAME tag states; -1 when there is no intact tag.
    int EncoderDelay() const { return m_encoderDelay; }
    int EncoderPadding() const { return m_encoderPadding; }

    // Bytes searched for the first frame after the ID3v2 tag (10240 unless changed; kept across reads).
    int64_t MaxScan = 10240;

    const TMpegFrameHdr& header() const { return m_header; }
    const TID3v1Tag& id3v1() const { return m_id3v1; }
    const TID3v2Tag& id3v2() const { return m_id3v2; }

private:
    void reset();
    bool measure(TInSource& stream, int64_t size);
    void readExactLength(TInSource& stream, int64_t start, int64_t size);

    TMpegFrameHdr m_header;
    TID3v1Tag m_id3v1;
    TID3v2Tag m_id3v2;
    int64_t m_firstFrame = -1;
    bool m_vbr = false;
    uint32_t m_xingFlags = 0;
    uint32_t m_xingFrames = 0;
    uint32_t m_xingBytes = 0;
    uint32_t m_xingQuality = 0;
    uint8_t m_xingToc[100] = {};
    int64_t m_durationMs = -1;
    int64_t m_bitRate = 0;
    int64_t m_frameCount = -1;
    int64_t m_audioBytes = -1;
    int64_t m_samples = 0;
    int m_encoderDelay = -1;
    int m_encoderPadding = -1;
};

// The playing time the folder scan takes for the MPEG extensions: DurationMs of the whole source in
// seconds; 0 when a read failed, -0.001 when no frame was found (both round to 0 s). Exact by Samples
// where the first frame counts the frames.
TPlayingTime MpegPlayingTime(TInSource& in);

} // namespace cantorix
