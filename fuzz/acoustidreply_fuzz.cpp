// The AcoustID lookup reply and the album vote over it: whatever the service sends, the parser keeps
// within its caps, every score it keeps lies within 0 to 1, and the vote places each file on at most
// one track and each track holds at most one file.
#include "FuzzFile.h"
#include "core/lookup/acoustid/AcoustidReply.h"
#include "core/lookup/acoustid/AlbumVote.h"

#include <QByteArray>
#include <QSet>

using namespace cantorix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<TAidResult> results;
    QString error;
    int code = 0;
    const bool ok = ParseAcoustidReply(body, &results, &error, &code);
    fuzz::check(ok || !error.isEmpty(), "a refused reply says why");
    fuzz::check(results.size() <= MaxAidResults, "at most MaxAidResults results");
    int tracks = 0;
    for (const TAidResult& r : results) {
        fuzz::check(r.Score >= 0 && r.Score <= 1, "a score lies within 0 to 1");
        fuzz::check(IsAidUuid(r.Id), "a result has an AcoustID");
        for (const TAidRecording& rec : r.Recordings)
            for (const TAidReleaseGroup& g : rec.Groups)
                for (const TAidRelease& rel : g.Releases)
                    for (const TAidMedium& m : rel.Media)
                        for (const TAidTrack& t : m.Tracks) {
                            fuzz::check(t.Position >= 1 && t.Position <= MaxAidTracks, "a track has a place");
                            ++tracks;
                        }
    }
    fuzz::check(tracks <= MaxAidPlacements, "at most MaxAidPlacements tracks in a reply");

    // The same reply for three files: no file twice, no track twice.
    const QList<TAidCandidate> candidates = VoteAlbum({results, results, {}});
    fuzz::check(candidates.size() <= MaxAidCandidates, "at most MaxAidCandidates candidates");
    for (const TAidCandidate& c : candidates) {
        fuzz::check(c.Files.size() == 3, "a placement per file");
        QSet<int> taken;
        int placed = 0;
        for (const TAidPlacement& p : c.Files) {
            if (p.Track == 0) continue;
            ++placed;
            fuzz::check(!taken.contains(p.Track), "one file per track");
            taken.insert(p.Track);
        }
        fuzz::check(placed == c.Placed && c.Files[2].Track == 0, "the count is the files placed");
        fuzz::check(!AidCandidateLine(c).contains('\n'), "a candidate line is one line");
    }
    return 0;
}
