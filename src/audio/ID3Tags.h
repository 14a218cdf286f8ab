// The ID3 tag objects the MPEG playing time uses to step over a leading ID3v2 tag and to notice a
// trailing ID3v1 tag. They answer only "is there a tag, and how many bytes does it take"; the tag
// values themselves are read by TID3v1 and TID3v2.
#pragma once

#include "audio/ByteSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cantorix {

// The 10-byte ID3v2 tag header.
class TID3V2Header {
public:
    void reset();
    // Decodes 10 bytes; Valid is true for "ID3", a version and revision other than 255 and a size
    // whose four bytes all have bit 7 clear.
    bool decode(const uint8_t* bytes);

    bool Valid = false;
    uint32_t size = 0; // tag size after the header
    uint8_t version = 3;
    uint8_t revision = 0;
    uint8_t flags = 0;
};

// One frame of a version 3 or 4 tag: identifier, size (4 bytes big-endian) and two flag bytes.
class TID3Frame {
public:
    virtual ~TID3Frame() = default;
    // Loads the frame that starts at `data` with `left` bytes available. The header needs 10 bytes; the
    // body is taken only when it fits. False when not even the header fits.
    virtual bool loadFromBuffer(const uint8_t* data, size_t left);
    // Appends the frame (header and body) to `out`.
    virtual void storeToBuffer(ByteVector& out) const;

    std::string id;      // 4 characters
    uint32_t size = 0;   // body bytes as the header says
    uint8_t flags[2] = {0, 0};

protected:
    bool loadHeader(const uint8_t* data, size_t left);
    void storeHeader(ByteVector& out, uint32_t bodySize) const;
    virtual void loadBody(const uint8_t* body, size_t n) = 0;
    virtual ByteVector bodyBytes() const = 0;
};

// A text frame: encoding byte and the text bytes as stored.
class TTextFrame : public TID3Frame {
public:
    uint8_t encoding = 0;
    std::string text;

protected:
    void loadBody(const uint8_t* body, size_t n) override;
    ByteVector bodyBytes() const override;
};

// COMM: encoding, 3-byte language, description up to its zero byte, text.
class TCommFrame : public TID3Frame {
public:
    uint8_t encoding = 0;
    char language[3] = {0, 0, 0};
    std::string description;
    std::string text;

protected:
    void loadBody(const uint8_t* body, size_t n) override;
    ByteVector bodyBytes() const override;
};

// Any other frame, kept as raw bytes.
class TUnknownFrame : public TID3Frame {
public:
    ByteVector body;

protected:
    void loadBody(const uint8_t* body, size_t n) override;
    ByteVector bodyBytes() const override { return body; }
};

class TID3FrameList {
public:
    void clear() { m_frames.clear(); }
    void add(std::unique_ptr<TID3Frame> frame) { m_frames.push_back(std::move(frame)); }
    size_t count() const { return m_frames.size(); }
    const TID3Frame& operator[](size_t i) const { return *m_frames[i]; }

private:
    std::vector<std::unique_ptr<TID3Frame>> m_frames;
};

// A leading ID3v2 tag as the playing time sees it: present when its body lists at least one frame.
class TID3v2Tag {
public:
    void reset();
    // Reads the tag at the stream's position, with `size` bytes of the range from there. False when a
    // read fails (the stream ends before the announced tag body).
    bool ReadFromStream(TInSource& stream, int64_t size);
    // Bytes to skip at the start: the tag size + 10 when Present, else 0.
    int64_t TotalSize() const { return Present ? int64_t(header.size) + 10 : 0; }

    bool Present = false;
    TID3V2Header header;
    TID3FrameList frames;
};

// A trailing ID3v1 tag as the playing time sees it.
class TID3v1Tag {
public:
    void reset() { Present = false; }
    // Examines the last 128 bytes of the `size` bytes that follow the stream's position. False when a
    // read fails.
    bool ReadFromStream(TInSource& stream, int64_t size);

    bool Present = false;
};

} // namespace cantorix
