#include "cli/Commands.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "core/lookup/freedb/DiscID.h"
#include "core/lookup/musicbrainz/DiscToc.h"

namespace cantorix::cli {

// discid DIR: the disc IDs of the folder's listed files as the lookups compute them: freedb's from the
// whole seconds, MusicBrainz's from the table of contents (exact when the files are a CD rip).
int cmdDiscid(Invocation& inv)
{
    inv.expectPositional(1);
    QString dir = inv.args[0];
    TSettings settings(inv.settingsFile);
    TScanResult scan;
    if (!scanFolderArgument(inv, dir, settings, scan)) return 1;
    for (const QString& line : scan.logLines()) inv.err << line << '\n';

    QList<int> seconds;
    for (const TTrackLength& length : std::as_const(scan.lengths)) seconds << length.Seconds;
    const TCDDBDiscID disc = TCDDBDiscID::FromSeconds(seconds);
    QStringList offsets;
    for (int64_t offset : disc.TrackOffsets()) offsets << QString::number(offset);
    inv.out << "discid: " << disc.DiscIDText() << '\n'
            << "tracks: " << disc.TrackCount() << '\n'
            << "offsets: " << offsets.join(' ') << '\n'
            << "length: " << disc.LeadOutSeconds() << '\n'
            << "command: " << disc.QueryCommand() << '\n';

    TMbDisc mb;
    QString error;
    if (!MbDiscFromLengths(scan.lengths, &mb, &error)) {
        // The freedb lines stand; the folder has no disc MusicBrainz can take (too long, too many files).
        inv.err << "cantorix-cli: " << QCoreApplication::translate("cli", "no MusicBrainz disc ID: %1").arg(error)
                << '\n';
        return 0;
    }
    inv.out << "musicbrainz-discid: " << mb.Id << '\n'
            << "musicbrainz-toc: " << mb.Toc << '\n'
            << "musicbrainz-exact: " << (mb.Exact ? "yes" : "no") << '\n';
    return 0;
}

} // namespace cantorix::cli
