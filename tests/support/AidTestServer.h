// An AcoustID web service for tests, on a LocalHttpServer, written from the service's documented API:
// - /v2/lookup by POST (a form body, gzip-compressed when Content-Encoding says so) or GET, with
//   client, duration, fingerprint, meta and format=json. The answer lists, for a fingerprint the
//   catalogue holds (the same text: the tests compute the prints of the same generated files), one
//   result per AcoustID with its recordings, their release groups, releases, media and the tracks on
//   them, as meta=recordings+releasegroups+releases+tracks+compress nests them.
// - Its rules: a key other than the one set gets 400 {"status": "error", "error": {"code": 4,
//   "message": "invalid API key"}}; a missing parameter 400 with code 2; a fourth request within one
//   second 429 with code 14; format other than json 400 with code 1.
#pragma once

#include "support/LocalHttpServer.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace cantorix::test {

struct AidTestTrack {
    QString title;
    QByteArray fingerprint; // empty: AcoustID knows no fingerprint of this recording
    QString recordingId = {}; // empty: made from the release and place (tracks sharing one give it)
    double score = 1.0;     // the score a lookup of its fingerprint gives
};

struct AidTestRelease {
    QString title;
    QString artist;
    QList<QList<AidTestTrack>> media;
    QString type = "Album";
    QStringList secondaryTypes = {};
    QString date = "2001-05-04";
    QString country = "DE";
    QString id = {}; // empty: made from the title

    QString mbid() const;
    QString recordingId(int medium, int track) const; // the recording of track (from 0) on medium (from 0)
};

// A UUID made from a text, stable across runs.
QString TestUuid(const QString& seed);

class AidTestServer {
public:
    static constexpr int RequestsPerSecond = 3;
    // The second of the rule, less the time a request may take from the client's send to this server's
    // read (the client paces by its sends).
    static constexpr qint64 WindowMs = 920;
    static constexpr const char* Key = "test-key";

    AidTestServer();
    bool start();
    QString base() const; // "http://127.0.0.1:<port>"

    void add(const AidTestRelease& release);
    // From now on every lookup is answered with this body (status 200), whatever it asks.
    void setRawReply(const QByteArray& body) { m_raw = body; }
    // The next `count` lookups get 503 with Retry-After `retryAfter` (empty: none).
    void busyFor(int count, const QByteArray& retryAfter = {});

    LocalHttpServer& http() { return m_http; }
    const QList<HttpRequest>& requests() const { return m_http.requests(); }
    int rateRefusals() const { return m_rateRefusals; }
    int lookups() const { return m_lookups; }
    // The form fields of the last lookup, decoded.
    const QUrlQuery& lastForm() const { return m_lastForm; }

private:
    HttpResponse answer(const HttpRequest& request);
    QJsonObject resultFor(const QByteArray& fingerprint) const;

    LocalHttpServer m_http;
    QList<AidTestRelease> m_releases;
    QList<qint64> m_arrivals;
    int m_rateRefusals = 0;
    int m_lookups = 0;
    int m_busy = 0;
    QByteArray m_retryAfter;
    QByteArray m_raw;
    QUrlQuery m_lastForm;
};

// A mono 16-bit WAV of `seconds` of a melody of tones chosen by `seed` (four notes a second with
// harmonics): different seeds give files whose fingerprints differ.
void writeMelodyWav(const std::string& path, int seed, int seconds);

} // namespace cantorix::test
