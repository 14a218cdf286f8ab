// A release read by its MBID (/ws/2/release/<mbid> with the lookups' incs), under the service's
// rules: how a source that found the release by other means (AcoustID) gets the data a MusicBrainz
// lookup would deliver for it.
#pragma once

#include "core/lookup/ReleaseReader.h"
#include "core/lookup/musicbrainz/MbService.h"

#include <memory>

namespace cantorix {

class TMbReleaseReader : public TReleaseReader {
    Q_OBJECT
public:
    explicit TMbReleaseReader(const TMusicBrainzConfig& config = {}, std::unique_ptr<THttpClient> http = nullptr,
                              QObject* parent = nullptr);

    void read(const QString& releaseId, int mediumPosition) override;
    void cancel() override;
    // For tests: a rate limiter of their own (outliving the reader); nullptr: the process's.
    void setRateLimiter(TMbRateLimiter* limiter) { m_client.setRateLimiter(limiter); }

private:
    void reply(const TMbClient::TResult& result);
    void fail(TLookupOutcome::Kind kind, const QString& reason, int code = 0);

    TMusicBrainzConfig m_config;
    TMbClient m_client;
    QString m_releaseId;
    int m_medium = 0;
    quint64 m_serial = 0;
};

} // namespace cantorix
