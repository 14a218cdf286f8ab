#include "core/lookup/musicbrainz/DiscToc.h"

#include <QCoreApplication>

#include <discid/discid.h>

#include <memory>

namespace cantorix {

bool MbTocIsExact(const QList<TTrackLength>& lengths)
{
    if (lengths.isEmpty()) return false;
    for (const TTrackLength& l : lengths)
        if (!l.Known || !l.exact() || l.SampleRate != CdSampleRate || l.Samples % SamplesPerSector != 0) return false;
    return true;
}

bool MbTocFromLengths(const QList<TTrackLength>& lengths, TMbToc* toc, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (lengths.isEmpty()) return fail(QCoreApplication::translate("MusicBrainz", "No files to look up"));
    if (lengths.size() > MaxCdTracks)
        return fail(QCoreApplication::translate("MusicBrainz", "%1 files are more than a CD holds (%2 tracks)")
                        .arg(lengths.size())
                        .arg(MaxCdTracks));
    TMbToc result;
    result.Exact = MbTocIsExact(lengths);
    qint64 position = PregapSectors;
    for (int i = 0; i < lengths.size(); ++i) {
        const TTrackLength& l = lengths[i];
        if (!l.Known)
            return fail(QCoreApplication::translate("MusicBrainz", "The playing time of file %1 is unknown").arg(i + 1));
        // Sectors from whole samples when the rip is exact; otherwise the nearest sector.
        const qint64 sectors = result.Exact ? l.Samples / SamplesPerSector
                                            : (qMax<qint64>(l.Milliseconds, 0) * SectorsPerSecond + 500) / 1000;
        if (sectors < 1)
            return fail(QCoreApplication::translate("MusicBrainz", "File %1 is shorter than a CD sector").arg(i + 1));
        result.Offsets << int(position);
        position += sectors;
        if (position > MaxCdSectors) return fail(QCoreApplication::translate("MusicBrainz", "The files are longer than a CD"));
    }
    result.Leadout = int(position);
    *toc = result;
    return true;
}

bool MbDiscFromToc(const TMbToc& toc, TMbDisc* disc, QString* error)
{
    const int count = int(toc.Offsets.size());
    if (count < 1 || count > MaxCdTracks) {
        if (error) *error = QCoreApplication::translate("MusicBrainz", "No tracks");
        return false;
    }
    // libdiscid's layout: [0] the lead-out, [1..99] the track offsets.
    int offsets[100] = {};
    offsets[0] = toc.Leadout;
    for (int i = 0; i < count; ++i) offsets[i + 1] = toc.Offsets[i];
    std::unique_ptr<DiscId, void (*)(DiscId*)> handle(discid_new(), discid_free);
    if (!handle) {
        if (error) *error = QCoreApplication::translate("MusicBrainz", "Out of memory");
        return false;
    }
    if (!discid_put(handle.get(), 1, count, offsets)) {
        if (error) *error = QString::fromUtf8(discid_get_error_msg(handle.get()));
        return false;
    }
    // Both strings belong to the handle: copied before it goes.
    disc->Id = QString::fromLatin1(discid_get_id(handle.get()));
    disc->Toc = QString::fromLatin1(discid_get_toc_string(handle.get()));
    disc->Exact = toc.Exact;
    disc->Sectors = toc;
    return true;
}

bool MbDiscFromLengths(const QList<TTrackLength>& lengths, TMbDisc* disc, QString* error)
{
    TMbToc toc;
    return MbTocFromLengths(lengths, &toc, error) && MbDiscFromToc(toc, disc, error);
}

} // namespace cantorix
