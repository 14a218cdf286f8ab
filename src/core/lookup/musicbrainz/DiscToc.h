// The table of contents of the CD the listed files would make, and the MusicBrainz disc ID and TOC
// text derived from it. Sectors are 1/75 s (588 samples at 44.1 kHz); the first track starts at
// sector 150, after the two-second pre-gap, and each next one where the previous ends.
#pragma once

#include "core/TrackLength.h"

#include <QList>
#include <QString>

namespace cantorix {

inline constexpr int SectorsPerSecond = 75;
inline constexpr int SamplesPerSector = 588;  // at CdSampleRate
inline constexpr quint32 CdSampleRate = 44100;
inline constexpr int PregapSectors = 150;
inline constexpr int MaxCdTracks = 99;
inline constexpr int MaxCdSectors = 90 * 60 * SectorsPerSecond; // 90 minutes: the longest disc libdiscid takes

struct TMbToc {
    QList<int> Offsets; // start sector of each track, the first at PregapSectors
    int Leadout = 0;    // the sector after the last track
    bool Exact = false; // counted from exact sample counts of a CD rip: the disc ID can match exactly
};

// True when every file is 44.1 kHz with a known sample count that fills whole sectors: what a
// sample-exact rip of a CD gives, so its TOC is the disc's own.
bool MbTocIsExact(const QList<TTrackLength>& lengths);

// The TOC of `lengths` in file order: sectors from the sample counts when MbTocIsExact, otherwise from
// the milliseconds (rounded to the nearest sector). False with *error when no TOC can be made: no
// file, more than 99, a file without a playing time or shorter than a sector, or more than a CD holds.
bool MbTocFromLengths(const QList<TTrackLength>& lengths, TMbToc* toc, QString* error);

// What the service is asked with: the disc ID (28 characters) and the TOC text "1 N leadout o1 ... oN".
struct TMbDisc {
    QString Id;
    QString Toc;
    bool Exact = false; // TMbToc::Exact
    TMbToc Sectors;
};

// The disc ID and TOC text of `toc`, computed by libdiscid. False with *error when it refuses the TOC.
bool MbDiscFromToc(const TMbToc& toc, TMbDisc* disc, QString* error);
// MbTocFromLengths, then MbDiscFromToc: what `cantorix-cli discid` prints for a folder.
bool MbDiscFromLengths(const QList<TTrackLength>& lengths, TMbDisc* disc, QString* error);

} // namespace cantorix
