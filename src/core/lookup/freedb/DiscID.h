// The freedb disc ID of a folder: the files' playing times laid end to end as the tracks of an audio
// CD that starts two seconds into the disc, and the ID, offsets and length computed from that table.
// A value: built once from integers, never changed afterwards.
#pragma once

#include <QList>
#include <QString>

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
    // At most this many files become tracks; later ones are ignored.
    static constexpr int MaxTracks = 98;
    // A playing time above this many seconds counts as this many, so that sums of 98 tracks and
    // their frame offsets stay inside their integer types (no audio file plays this long).
    static constexpr int32_t MaxTrackSeconds = 20000000;

    // No tracks: the ID of an empty disc.
    TCDDBDiscID();
    // The disc of files whose whole-second playing times are `seconds`, in grid order, end to end
    // after the two-second lead-in. A negative time counts as 0.
    static TCDDBDiscID FromSeconds(const QList<int>& seconds);
    // The disc of a table of contents: the frame address of each track's start and of the lead-out
    // (at most MaxTracks starts; negative addresses count as 0).
    static TCDDBDiscID FromFrames(const QList<int64_t>& trackStarts, int64_t leadOut);

    // Track(0) is the start of track 1, Track(k) the start of track k+1, Track(TrackCount()) the lead-out.
    const TrackTime& Track(int k) const;
    int TrackCount() const { return m_trackCount; }
    uint32_t DiscID() const { return m_discId; }
    // Exactly 8 lower-case hexadecimal digits.
    QString DiscIDText() const;

    // The frame offset of a position: Minutes * 4500 + Seconds * 75 + Frames.
    static int64_t MSFToFrames(const TrackTime& t);
    // Sum of the decimal digits of n (0 for 0).
    static uint32_t DigitSum(uint32_t n);
    // Seconds to minutes, seconds and frames, each part truncated. Values that are not finite or
    // are negative give 0:00:00; values above MaxTrackSeconds are cut to it.
    static TrackTime SecondsToMSF(double seconds);

    // The frame offsets of the track starts Track(0) to Track(TrackCount() - 1).
    QList<int64_t> TrackOffsets() const;
    // The disc length as freedb counts it: the lead-out's frame address divided by 75, truncated. It
    // includes the two seconds before the first track, like the "# Disc length" of an entry, which the
    // server's inexact matching compares it with.
    int32_t LeadOutSeconds() const;
    // "cddb query <id> <count> <offset>... <length>", the query command of the CDDB protocol; the
    // length is LeadOutSeconds().
    QString QueryCommand() const;

private:
    void computeId();

    std::array<TrackTime, MaxTracks + 2> m_tracks{};
    int m_trackCount = 0;
    uint32_t m_discId = 0;
};

} // namespace cantorix
