// The MusicBrainz lookups as a lookup source. By the files' playing times (Mode::Disc): their TOC
// and disc ID go to /ws/2/discid, which answers the releases of an attached disc ID, or else the
// releases whose lengths come near (fuzzy); titles come in medium order, which is file order. By
// artist and album (Mode::Search): /ws/2/release?query= finds releases without tracks, and the
// chosen one is read with /ws/2/release/<mbid>; its titles are paired with the files by the user.
//
// Candidates are ranked here by the per-track difference between files and medium, the closest
// preselected. A disc lookup whose only candidate carries the files' exact disc ID takes it without
// asking. A set of discs is looked up whole: the first disc's TOC finds the releases, and a release is
// a candidate when its first media match the discs in order. Every request keeps the service's rules
// (MbService.h).
#pragma once

#include "core/lookup/LookupSource.h"
#include "core/lookup/musicbrainz/DiscToc.h"
#include "core/lookup/musicbrainz/MbService.h"
#include "core/lookup/musicbrainz/ReleaseMatch.h"

#include <memory>

namespace cantorix {

// Lucene's special characters of `text` escaped with "\", for a term of a search query.
QString LuceneEscape(const QString& text);
// The search query: release:"<album>" AND artist:"<artist>", of the words given (either may be empty).
QString MbSearchQuery(const QString& artist, const QString& album);

// The request addresses below a server base (MbServerBase).
QString MbDiscIdUrl(const QString& base, const TMbDisc& disc);
QString MbSearchUrl(const QString& base, const QString& artist, const QString& album);
QString MbReleaseUrl(const QString& base, const QString& releaseId);

class TMusicBrainzLookup : public TLookupSource {
    Q_OBJECT
public:
    enum class Mode { Disc, Search };

    static constexpr int SearchLimit = 25;
    static constexpr qint64 MaxReplyBytes = 8 * 1024 * 1024;

    // Without an HTTP client of its own the lookup uses the network module's.
    explicit TMusicBrainzLookup(Mode mode, const TMusicBrainzConfig& config = {},
                                std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TMusicBrainzLookup() override;

    Mode mode() const { return m_mode; }
    // The server, time limit, contact, proxy and HideData of the lookups started from now on.
    void setConfig(const TMusicBrainzConfig& config) { m_config = config; }
    // For tests: a rate limiter of their own (outliving the lookup); nullptr: the process's.
    void setRateLimiter(TMbRateLimiter* limiter) { m_client.setRateLimiter(limiter); }

    bool start(const TLookupRequest& request) override;
    void choose(int index) override;
    void cancel() override;
    void abandon() override;
    bool running() const override { return m_active && !m_ended; }
    QList<TCandidateFit> candidateFits() const override;
    bool supportsDiscSets() const override { return m_mode == Mode::Disc; }

    // The disc of the last disc lookup's start (empty Id before one).
    const TMbDisc& disc() const { return m_disc; }
    // The candidates of the running lookup, in the order of their lines.
    const QList<TMbCandidate>& candidates() const { return m_candidates; }

private:
    void candidatesReply(const TMbClient::TResult& result);
    // A reply with a status other than 200 ends the lookup with the service's own words.
    void failWithServiceReason(const TMbClient::TResult& result);
    void releaseReply(const TMbClient::TResult& result, int index);
    void deliver(const TMbRelease& release, int medium);
    // An end from a failed, refused or timed-out request; false when the request was answered.
    bool endedBadly(const TMbClient::TResult& result);
    void finish(TLookupOutcome outcome);
    TLookupOutcome outcomeOf(TLookupOutcome::Kind kind, const QString& reason, int code = 0) const;

    const Mode m_mode;
    TMusicBrainzConfig m_config;
    TMbClient m_client;
    QString m_base;         // the server base of the running lookup
    TMbDisc m_disc;
    QList<TTrackLength> m_lengths;
    QList<QList<TTrackLength>> m_discs; // a set of discs; empty for one
    QString m_folder;
    QList<TMbCandidate> m_candidates;
    bool m_active = false;  // started and not abandoned
    bool m_ended = false;   // finished was emitted
    bool m_choosing = false;
    bool m_sentOnce = false; // the first request of the lookup has left
    quint64 m_lookup = 0;   // the current lookup's number, to drop queued work of older ones
};

} // namespace cantorix
