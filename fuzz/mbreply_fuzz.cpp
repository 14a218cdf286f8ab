// The MusicBrainz replies (disc ID lookup, search, release): whatever the service sends, every value
// that can become a name or a tag is one line without a control or bidirectional control character
// (a NUL cuts a tag short, an ESC reaches a terminal, U+202E shows a name reversed), and the counts
// stay bounded.
#include "FuzzFile.h"
#include "core/Text.h"
#include "core/lookup/musicbrainz/ReleaseReply.h"

#include <QByteArray>
#include <QString>

using namespace cantorix;

namespace {

bool clean(const QString& text)
{
    for (QChar c : text)
        if (IsControl(c) || IsBidiControl(c) || c.unicode() == 0x2028 || c.unicode() == 0x2029) return false;
    return true;
}

void checkRelease(const TMbRelease& r)
{
    for (const QString& v : {r.Id, r.Title, r.Artist, r.Date, r.Country, r.Disambiguation, r.ReleaseGroupId, r.Genre})
        fuzz::check(clean(v), "a release value holds no control character");
    for (const TMbMedium& m : r.Media) {
        fuzz::check(clean(m.Title) && clean(m.Format), "a medium value holds no control character");
        for (const TMbTrack& t : m.Tracks)
            fuzz::check(clean(t.Title) && clean(t.Artist) && clean(t.RecordingId),
                        "a track value holds no control character");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    // The first byte chooses the reply; the rest is its body.
    const QByteArray body(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    QString error;
    switch (data[0] % 3) {
    case 0: {
        QList<TMbRelease> releases;
        if (ParseDiscIdReply(body, &releases, &error))
            for (const TMbRelease& r : releases) checkRelease(r);
        break;
    }
    case 1: {
        QList<TMbRelease> releases;
        if (ParseSearchReply(body, &releases, &error))
            for (const TMbRelease& r : releases) checkRelease(r);
        break;
    }
    default: {
        TMbRelease release;
        if (ParseReleaseReply(body, &release, &error)) checkRelease(release);
        break;
    }
    }
    (void)ServiceErrorText(body);
    return 0;
}
