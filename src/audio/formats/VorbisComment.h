// Vorbis comments as FLAC and Ogg Vorbis files carry them, and the leading ID3v2 tag that either may
// start with. Entries are kept as the raw bytes of the file, so a writer that changes some values
// gives every other entry back byte for byte.
#pragma once

#include "audio/ByteSource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cantorix {

// One comment entry: "NAME=value", the value in UTF-8.
struct TCommentEntry {
    std::string raw;      // the bytes as stored in the file (or as built for writing)
    bool hasEquals = false;
    std::string name;     // text before the first "=", upper-cased (ASCII letters); empty without "="
    std::string value;    // text after the first "=", valid UTF-8 (invalid sequences became U+FFFD)

    static TCommentEntry fromRaw(std::string raw);
    // "NAME=value" with the value made valid UTF-8.
    static TCommentEntry make(std::string_view name, std::string_view value);
};

// The comment structure (after any packet-type prefix): vendor length and vendor string, entry count,
// entries, each length and count 32-bit little-endian; then whatever the container keeps after the
// entries (the Ogg framing byte), which is given back unchanged.
class TVorbisComment {
public:
    // Parses `n` bytes. Never reads outside them: a length or count that does not fit marks the
    // structure damaged and keeps the entries that did fit. False when damaged.
    bool parse(const uint8_t* data, size_t n);
    // The bytes of the structure as parse() saw them, with every entry that was not changed unchanged.
    ByteVector build() const;

    bool damaged() const { return m_damaged; }
    const std::string& vendor() const { return m_vendor; }
    void setVendor(std::string vendor) { m_vendor = std::move(vendor); }
    const std::vector<TCommentEntry>& entries() const { return m_entries; }
    const std::string& tail() const { return m_tail; }
    // Number of bytes from the start of the structure to just after the last entry.
    size_t entriesEnd() const { return m_entriesEnd; }

    // Makes the entries named `name` (compared upper-cased) exactly one entry holding `value`, at the
    // place of the first of them (or at the end); an empty value removes them all. A single entry
    // that already holds the value stays byte for byte as it was.
    void setValue(std::string_view name, std::string_view value);
    // The same with several values: the entries named `name` become one entry per value, in order, at
    // the place of the first of them; entries that already hold exactly these values stay as they were.
    void setValues(std::string_view name, const std::vector<std::string>& values);
    void clear();
    // Everything after the framing byte of the tail, when that is zeros only: room that a writer may
    // fill without moving anything (players stop reading at the framing bit).
    size_t padding() const;
    // Cuts or extends that zero padding so that build() gives `size` bytes; false when the comments
    // (without any padding) do not fit, or the tail has no framing byte to keep.
    bool padTo(size_t size);

private:
    std::string m_vendor;
    std::vector<TCommentEntry> m_entries;
    std::string m_tail;
    size_t m_entriesEnd = 0;
    bool m_damaged = false;
};

// The size of an ID3v2 tag at the start of the file (header, body and footer), 0 when there is none
// or when it claims more bytes than the file has. Reads the 10-byte header only.
int64_t leadingID3v2Size(TInSource& file);

} // namespace cantorix
