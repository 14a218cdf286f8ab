// The APE tag (versions 1.0 and 2.0) at the end of an audio file, before a trailing ID3v1 tag when
// there is one. Cantorix only needs to know how many bytes it takes; its items are read for
// completeness.
#pragma once

#include "audio/ByteSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cantorix {

struct RField {
    std::string Name;
    std::string Value;
};

// One item as stored, for rewriting a tag with some values changed and every other item kept.
struct TAPEItem {
    std::string Key;
    uint32_t Flags = 0; // bits 1-2: 0 text, 1 binary, 2 external link
    ByteVector Value;
};

class TAPETag {
public:
    // Resets, then looks for the tag. False when the file cannot be opened or has no room for a
    // 32-byte footer; true otherwise, with or without a tag.
    bool ReadFromFile(const std::string& fileName);
    // The same on bytes from any source.
    bool ReadFromSource(TInSource& in);
    void ResetData() { *this = TAPETag(); }

    // A footer with a size that fits the file was found.
    bool Present() const { return m_present; }
    // 1000 or 2000.
    uint32_t Version() const { return m_version; }
    // The items plus the footer, without a header (as the footer says).
    int64_t Size() const { return m_size; }
    // Size plus the 32-byte header when the tag has one.
    int64_t TotalSize() const { return m_size + (m_hasHeader ? 32 : 0); }
    uint32_t ItemCount() const { return m_itemCount; }
    // The items read: names, and values cut to their first 250 bytes and trimmed, as UTF-8.
    const std::vector<RField>& Fields() const { return m_fields; }
    bool HasHeader() const { return m_hasHeader; }
    // Where the tag lies in the file read: from its header (or first item) to the end of its footer.
    int64_t Start() const { return m_end - TotalSize(); }
    int64_t End() const { return m_end; }

    // Every item of the tag found by the last read, values in full. False when the items do not walk
    // exactly to the footer as the footer counts them: such a tag is not rewritten.
    bool ReadItems(TInSource& in, std::vector<TAPEItem>& items) const;
    // A complete tag of `version` (1000 or 2000) holding `items`: header (when asked), items, footer.
    static ByteVector Build(const std::vector<TAPEItem>& items, uint32_t version, bool withHeader);

private:
    void readItems(TInSource& file, int64_t start, int64_t end);

    bool m_present = false;
    bool m_hasHeader = false;
    uint32_t m_version = 0;
    int64_t m_size = 0;
    int64_t m_end = 0;
    uint32_t m_itemCount = 0;
    std::vector<RField> m_fields;
};

} // namespace cantorix
