// A release's front cover from the Cover Art Archive: {coverserver}/release/<mbid>/front-500 answers
// with a redirect to a JPEG of 500 pixels (404 when the release has no front cover). The image is
// saved as folder.jpg (core/CoverFile.h).
#pragma once

#include "core/CoverFile.h"
#include "core/lookup/musicbrainz/MbService.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace cantorix {

// {base}/release/<releaseId>/front-500 for a server base (MbServerBase).
QString CoverArtUrl(const QString& base, const QString& releaseId);

class TCoverArtFetch : public QObject {
    Q_OBJECT
public:
    struct TResult {
        enum class Kind {
            Found,    // Image holds the JPEG
            None,     // the release has no front cover
            Failed,   // Reason says why
            TimedOut, // no answer within the time limit
        };
        Kind kind = Kind::Failed;
        QByteArray Image;
        QString Reason;
    };

    static constexpr qint64 MaxImageBytes = 16 * 1024 * 1024;

    // Without an HTTP client of its own the fetch uses the network module's.
    explicit TCoverArtFetch(const TMusicBrainzConfig& config = {}, std::unique_ptr<THttpClient> http = nullptr,
                            QObject* parent = nullptr);

    // Starts fetching the front cover of release `releaseId` from the config's cover server; one still
    // running is dropped. False, with the reason logged, when the ID or the server address is unusable;
    // otherwise finished follows once, from the event loop, unless abort() comes first.
    bool start(const QString& releaseId);
    void abort() { m_client.abort(); }

signals:
    void logLine(const QString& line);
    void finished(const cantorix::TCoverArtFetch::TResult& result);

private:
    TMusicBrainzConfig m_config;
    TMbClient m_client;
};

} // namespace cantorix
