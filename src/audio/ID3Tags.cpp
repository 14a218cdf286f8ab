#include "audio/ID3Tags.h"

#include <algorithm>
#include <cstring>

namespace cantorix {

namespace {
// A tag of many tiny frames must not turn into millions of objects; only "is there one" matters.
constexpr size_t kMaxListedFrames = 4096;
} // namespace

void TID3V2Header::reset()
{
    Valid = false;
    size = 0;
    version = 3;
    revision = 0;
    flags = 0;
}

bool TID3V2Header::decode(const uint8_t* b)
{
    reset();
    if (std::memcmp(b, "ID3", 3) != 0) return false;
    version = b[3];
    revision = b[4];
    flags = b[5];
    size = (uint32_t(b[6] & 0x7F) << 21) | (uint32_t(b[7] & 0x7F) << 14) | (uint32_t(b[8] & 0x7F) << 7) |
           uint32_t(b[9] & 0x7F);
    Valid = version != 255 && revision != 255 && (b[6] | b[7] | b[8] | b[9]) < 0x80;
    return Valid;
}

// ---------------------------------------------------------------------------------------------

bool TID3Frame::loadHeader(const uint8_t* data, size_t left)
{
    if (left < 10) return false;
    id.assign(reinterpret_cast<const char*>(data), 4);
    size = getBE32(data + 4);
    flags[0] = data[8];
    flags[1] = data[9];
    return true;
}

bool TID3Frame::loadFromBuffer(const uint8_t* data, size_t left)
{
    if (!loadHeader(data, left)) return false;
    if (uint64_t(size) + 10 <= left) loadBody(data + 10, size);
    return true;
}

void TID3Frame::storeHeader(ByteVector& out, uint32_t bodySize) const
{
    for (size_t k = 0; k < 4; ++k) out.push_back(k < id.size() ? uint8_t(id[k]) : uint8_t(' '));
    uint8_t sz[4];
    putBE32(sz, bodySize);
    out.insert(out.end(), sz, sz + 4);
    out.push_back(flags[0]);
    out.push_back(flags[1]);
}

void TID3Frame::storeToBuffer(ByteVector& out) const
{
    ByteVector body = bodyBytes();
    storeHeader(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

void TTextFrame::loadBody(const uint8_t* body, size_t n)
{
    if (n == 0) return;
    encoding = body[0];
    text.assign(reinterpret_cast<const char*>(body + 1), n - 1);
}

ByteVector TTextFrame::bodyBytes() const
{
    ByteVector b(1 + text.size());
    b[0] = encoding;
    std::copy(text.begin(), text.end(), b.begin() + 1);
    return b;
}

void TCommFrame::loadBody(const uint8_t* body, size_t n)
{
    if (n == 0) return;
    encoding = body[0];
    size_t p = 1;
    for (int k = 0; k < 3 && p < n; ++k, ++p) language[k] = char(body[p]);
    size_t end = p;
    while (end < n && body[end] != 0) ++end;
    description.assign(reinterpret_cast<const char*>(body + p), end - p);
    if (end < n) ++end; // the description's zero byte
    text.assign(reinterpret_cast<const char*>(body + end), n - end);
}

ByteVector TCommFrame::bodyBytes() const
{
    // Sized first: growing from one byte makes GCC 12 warn about the copy that follows.
    ByteVector b;
    b.reserve(4 + description.size() + 1 + text.size());
    b.push_back(encoding);
    b.insert(b.end(), language, language + 3);
    b.insert(b.end(), description.begin(), description.end());
    b.push_back(0);
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

void TUnknownFrame::loadBody(const uint8_t* data, size_t n) { body.assign(data, data + n); }

// ---------------------------------------------------------------------------------------------

void TID3v2Tag::reset()
{
    Present = false;
    header.reset();
    frames.clear();
}

bool TID3v2Tag::ReadFromStream(TInSource& stream, int64_t size)
{
    reset();
    if (size <= 9) return true;
    uint8_t head[10];
    if (!stream.read(head, 10)) return false;
    header.decode(head);
    if (!header.Valid || header.version > 4 || int64_t(header.size) > size) {
        header.reset();
        return true;
    }
    ByteVector body;
    if (!stream.read(body, header.size)) return false;

    // Walk the frames: identifier (4), size (4, big-endian), flags (2), body. The walk only decides
    // whether the tag lists anything; sizes are taken as they are, extended headers are not skipped.
    const size_t n = body.size();
    size_t p = 0;
    while (n - p > 9 && body[p] != 0 && frames.count() < kMaxListedFrames) {
        std::string id(reinterpret_cast<const char*>(body.data() + p), 4);
        std::unique_ptr<TID3Frame> frame;
        if (id[0] == 'T' && id != "TXXX")
            frame = std::make_unique<TTextFrame>();
        else if (id == "COMM")
            frame = std::make_unique<TCommFrame>();
        else
            frame = std::make_unique<TUnknownFrame>();
        frame->loadFromBuffer(body.data() + p, n - p);
        uint64_t advance = uint64_t(frame->size) + 10;
        frames.add(std::move(frame));
        if (advance > n - p) break;
        p += size_t(advance);
    }
    Present = frames.count() > 0;
    if (!Present) header.reset();
    return true;
}

bool TID3v1Tag::ReadFromStream(TInSource& stream, int64_t size)
{
    Present = false;
    if (size < 128) return true;
    uint8_t tag[3];
    if (!stream.readAt(stream.tell() + size - 128, tag, 3)) return false;
    Present = std::memcmp(tag, "TAG", 3) == 0;
    return true;
}

} // namespace cantorix
