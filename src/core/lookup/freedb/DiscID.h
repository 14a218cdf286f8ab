// The freedb disc ID of a folder: the files' playing times laid end to end as the tracks of an audio
// CD that starts two seconds into the disc, and the ID, offsets and length computed from that table.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace cantorix {

// A position on the disc. A CD has 75 frames per second.
struct TrackTime {
    int32_t Minutes = 0;
    int32_t Seconds = 0; // 0 to 59
    int32_t Frames = 0;  // 0 to 74
};

class TCDDBDiscID {
public:
    // Tracks[0] is the start of track 1, Tracks[k] the start of track k+1, Tracks[TrackCount] the
    // lead-out. Entries past the lead-out stay zero.
    std::array<TrackTime, 100> Tracks{};
    uint16_t TrackCount = 0; // 0 to MaxTracks
    int32_t DiscLength = 0;  // LeadOutSeconds() of the table BuildTrackTable made
    uint32_t DiscID = 0;
    QString DiscIDText; // exactly 8 lower-case hexadecimal digits after CalcDiscID

    // At most this many files become tracks; later ones are ignored.
    static constexpr int MaxTracks = 98;
    // A playing time above this many seconds counts as this many, so that sums of 98 tracks and
    // their frame offsets stay inside their integer types (no audio file plays this long).
    static constexpr int32_t MaxTrackSeconds = 20000000;

    // Fills Tracks, TrackCount and DiscLength from whole-second texts, one per file in grid order.
    // A text that is not a decimal integer, or a negative one, counts as 0.
    void BuildTrackTable(const QStringList& trackDurations);
    // Computes DiscID and DiscIDText from Tracks and TrackCount. Call after BuildTrackTable.
    void CalcDiscID();

    // The frame offset of a position: Minutes * 4500 + Seconds * 75 + Frames.
    static int64_t MSFToFrames(const TrackTime& t);
    // Sum of the decimal digits of n (0 for 0).
    static uint32_t DigitSum(uint32_t n);
    // Seconds to minutes, seconds and frames, each part truncated. Values that are not finite or
    // are negative give 0:00:00; values above MaxTrackSeconds are cut to it.
    static TrackTime SecondsToMSF(double seconds);

    // The frame offsets of the track starts Tracks[0] to Tracks[TrackCount - 1].
    QList<int64_t> TrackOffsets() const;
    // The disc length as freedb counts it: the lead-out's frame address (Tracks[TrackCount]) divided
    // by 75, truncated. It includes the two seconds before the first track, like the "# Disc length"
    // of an entry, which the server's inexact matching compares it with.
    int32_t LeadOutSeconds() const;
    // "cddb query <id> <count> <offset>... <length>", the query command of the CDDB protocol; the
    // length is LeadOutSeconds().
    QString QueryCommand() const;
};

} // namespace cantorix
