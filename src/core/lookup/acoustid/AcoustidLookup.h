// The AcoustID lookup as a lookup source: the listed files are fingerprinted (Fingerprinter.h), each
// fingerprint is looked up at the AcoustID web service (AcoustidService.h), and the release media the
// answers agree on are voted into candidates (AlbumVote.h). The chosen candidate's release is read
// from MusicBrainz by its ID through the reader it is given, so that the album data come as in a
// MusicBrainz lookup. The record it delivers has one title per file, in file order: the title of the
// track its fingerprint matched, with that track's number; a file that no fingerprint placed has an
// empty title and the reason (TrackTitle::Unmatched).
#pragma once

#include "core/lookup/LookupSource.h"
#include "core/lookup/ReleaseReader.h"
#include "core/lookup/acoustid/AcoustidService.h"
#include "core/lookup/acoustid/AlbumVote.h"
#include "core/lookup/acoustid/Fingerprinter.h"

#include <memory>

namespace cantorix {

class TAcoustidLookup : public TLookupSource {
    Q_OBJECT
public:
    // A candidate counts as a clear match (for a choice without a person) when it places every file
    // with at least this mean score.
    static constexpr double ClearMeanScore = 0.5;

    TAcoustidLookup(const TAcoustidConfig& config, const TFingerprintConfig& prints,
                    std::unique_ptr<TReleaseReader> reader, std::unique_ptr<THttpClient> http = nullptr,
                    QObject* parent = nullptr);
    ~TAcoustidLookup() override;

    void setConfig(const TAcoustidConfig& config) { m_config = config; }
    void setFingerprintConfig(const TFingerprintConfig& prints) { m_prints = prints; }
    void setRateLimiter(TAidRateLimiter* limiter) { m_client.setRateLimiter(limiter); }

    bool start(const TLookupRequest& request) override;
    void choose(int index) override;
    void cancel() override;
    void abandon() override;
    bool running() const override { return m_active && !m_ended; }
    QList<TCandidateFit> candidateFits() const override;

    const QList<TAidCandidate>& candidates() const { return m_candidates; }
    const QList<TFingerprint>& fingerprints() const { return m_fingerprints; }

private:
    void fingerprinted(const QList<TFingerprint>& prints, const QString& failure);
    void lookupNext();
    void looked(const TAcoustidClient::TResult& result);
    void vote();
    void releaseRead(const TLookupOutcome& read);
    void finish(TLookupOutcome outcome);
    TLookupOutcome outcomeOf(TLookupOutcome::Kind kind, const QString& reason, int code = 0) const;
    // The reason a file stays unmatched on the chosen candidate.
    QString unmatchedReason(int file) const;

    TAcoustidConfig m_config;
    TFingerprintConfig m_prints;
    std::unique_ptr<TReleaseReader> m_reader;
    TAcoustidClient m_client;
    TFingerprinter m_fingerprinter;
    QString m_folder;
    QStringList m_names;
    QList<TFingerprint> m_fingerprints;
    QList<QList<TAidResult>> m_results; // per file
    int m_next = 0;                     // the next file to look up
    QList<TAidCandidate> m_candidates;
    int m_chosen = -1;
    bool m_active = false;
    bool m_ended = false;
    bool m_choosing = false;
    quint64 m_lookup = 0;
};

} // namespace cantorix
