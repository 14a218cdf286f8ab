// A MusicBrainz web service (ws/2, JSON) and Cover Art Archive for tests, on a LocalHttpServer, with a
// catalogue of releases built by the test. It answers as the documented service does:
// - /ws/2/discid/<id>?toc=...: the releases of media carrying that disc ID ({id, offsets, sectors,
//   releases}); otherwise, with a TOC, the fuzzy list ({release-offset, release-count, releases}) of
//   media with as many tracks whose six coarse sums (track i adds to sum i mod 6) lie within
//   FuzzyDistanceMs of the TOC's, ordered by that distance, the service's own coarse order; media
//   without disc IDs ("Digital Media") only with media-format=all; else 404.
// - /ws/2/release?query=release:"..." AND artist:"...": releases whose title and artist credit contain
//   the phrases (ignoring case), with media but no tracks.
// - /ws/2/release/<mbid>: one release. Tracks only with inc=recordings, artist credits only with
//   inc=artist-credits, the release group only with inc=release-groups, genres only with inc=genres.
// - Its rules: a request without a User-Agent gets 403, one without fmt=json 400, one that comes less
//   than MinIntervalMs after the previous ws/2 request 503 ("exceeding the allowable rate limit").
// - /release/<mbid>/front-500 of the cover archive: 307 to the image, 404 without a cover.
#pragma once

#include "support/LocalHttpServer.h"

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace cantorix::test {

struct MbTestTrack {
    QString title;
    qint64 lengthMs = 0; // 0: the service knows no length
    QString artist = {}; // the track's credit; empty: the release's
};

struct MbTestMedium {
    QList<MbTestTrack> tracks;
    QString format = "CD";
    QStringList discIds = {};
};

struct MbTestRelease {
    QString title;
    QList<QPair<QString, QString>> credit; // name, join phrase
    QList<MbTestMedium> media;
    QString date = {};
    QString country = {};
    QList<QPair<QString, int>> genres = {}; // of the release group: name, votes
    bool cover = false;
    QString id = {}; // empty: made from the title

    // The MBID of this release, and of its recording k on medium m.
    QString mbid() const;
    QString recordingId(int medium, int track) const;
};

// Track lengths from whole sectors, as a CD's TOC holds them.
QList<MbTestTrack> TracksOfSectors(const QStringList& titles, const QList<int>& sectors);

class MbTestServer {
public:
    static constexpr qint64 FuzzyDistanceMs = 10000;
    // The service's rule is one request per second; the 60 ms spare is the time a request may take
    // from the client's send to this server's read (the client paces by its sends).
    static constexpr qint64 MinIntervalMs = 940;
    // The body of a 503 for a request that came too fast.
    static constexpr const char* RateLimitText =
        "Your requests are exceeding the allowable rate limit. Please see https://wiki.musicbrainz.org/XMLWebService for more information.";

    MbTestServer();
    bool start();
    // "http://127.0.0.1:<port>": the server and cover server address.
    QString base() const;

    void add(const MbTestRelease& release);
    // The next `count` ws/2 requests get 503 "busy", with Retry-After when `retryAfter` is not empty.
    void busyFor(int count, const QByteArray& retryAfter = {});

    LocalHttpServer& http() { return m_http; }
    const QList<HttpRequest>& requests() const { return m_http.requests(); }
    // ws/2 requests refused by the per-second rule so far.
    int rateRefusals() const { return m_rateRefusals; }
    // Milliseconds between the arrivals of the ws/2 requests so far.
    const QList<qint64>& gaps() const { return m_gaps; }

    static QByteArray coverImage(const QString& releaseId);

private:
    HttpResponse answer(const HttpRequest& request);
    HttpResponse discId(const HttpRequest& request, const QString& id, const QStringList& inc);
    HttpResponse search(const HttpRequest& request);
    QJsonObject releaseJson(const MbTestRelease& r, const QStringList& inc, bool searchForm) const;

    LocalHttpServer m_http;
    QList<MbTestRelease> m_releases;
    qint64 m_lastArrival = -1;
    QList<qint64> m_gaps;
    int m_rateRefusals = 0;
    int m_busy = 0;
    QByteArray m_retryAfter;
};

} // namespace cantorix::test
