#include "cli/Commands.h"

#include "core/FolderScan.h"
#include "core/Settings.h"
#include "core/lookup/freedb/DiscID.h"

namespace cantorix::cli {

// discid DIR: the disc ID of the folder's listed files as the checksum lookup computes it.
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
    return 0;
}

} // namespace cantorix::cli
