#include "support/MbTestServer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>
#include <array>
#include <cmath>

namespace cantorix::test {

namespace {

QElapsedTimer& clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid()) timer.start();
    return timer;
}

QString idOf(const QString& kind, const QString& name)
{
    return QUuid::createUuidV5(QUuid(), kind + ":" + name).toString(QUuid::WithoutBraces);
}

HttpResponse json(int status, const QByteArray& reason, const QJsonObject& body)
{
    HttpResponse r;
    r.status = status;
    r.reason = reason;
    r.contentType = "application/json; charset=utf-8";
    r.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    return r;
}

HttpResponse error(int status, const QByteArray& reason, const QString& text)
{
    return json(status, reason, QJsonObject{{"error", text}, {"help", "For usage, please see: https://musicbrainz.org/development/mmd"}});
}

QJsonArray creditJson(const QList<QPair<QString, QString>>& credit)
{
    QJsonArray out;
    for (const auto& [name, join] : credit)
        out.append(QJsonObject{{"name", name},
                               {"joinphrase", join},
                               {"artist", QJsonObject{{"id", idOf("artist", name)}, {"name", name}, {"sort-name", name}}}});
    return out;
}

QString creditText(const QList<QPair<QString, QString>>& credit)
{
    QString out;
    for (const auto& [name, join] : credit) out += name + join;
    return out;
}

// The six coarse sums of a medium's track lengths.
std::array<qint64, 6> sums(const QList<qint64>& lengths)
{
    std::array<qint64, 6> s{};
    for (qsizetype i = 0; i < lengths.size(); ++i) s[size_t(i % 6)] += lengths[i];
    return s;
}

double distance(const std::array<qint64, 6>& a, const std::array<qint64, 6>& b)
{
    double d = 0;
    for (size_t i = 0; i < 6; ++i) d += double(a[i] - b[i]) * double(a[i] - b[i]);
    return std::sqrt(d);
}

// The quoted phrase of `field` in a Lucene query, its escapes undone; empty when absent.
QString phrase(const QString& query, const QString& field)
{
    const qsizetype at = query.indexOf(field + ":\"");
    if (at < 0) return {};
    QString out;
    for (qsizetype i = at + field.size() + 2; i < query.size(); ++i) {
        if (query[i] == '\\' && i + 1 < query.size()) {
            out += query[++i];
            continue;
        }
        if (query[i] == '"') return out;
        out += query[i];
    }
    return {};
}

} // namespace

QString MbTestRelease::mbid() const
{
    return id.isEmpty() ? idOf("release", title) : id;
}

QString MbTestRelease::recordingId(int medium, int track) const
{
    return idOf("recording", mbid() + QString::number(medium) + "/" + QString::number(track));
}

QList<MbTestTrack> TracksOfSectors(const QStringList& titles, const QList<int>& sectors)
{
    QList<MbTestTrack> tracks;
    for (qsizetype i = 0; i < titles.size() && i < sectors.size(); ++i)
        tracks << MbTestTrack{titles[i], (qint64(sectors[i]) * 1000 + 37) / 75};
    return tracks;
}

MbTestServer::MbTestServer()
{
    clock();
    m_http.setHandler([this](const HttpRequest& r) { return answer(r); });
}

bool MbTestServer::start()
{
    return m_http.start();
}

QString MbTestServer::base() const
{
    return "http://" + m_http.hostAndPort();
}

void MbTestServer::add(const MbTestRelease& release)
{
    m_releases << release;
}

void MbTestServer::busyFor(int count, const QByteArray& retryAfter)
{
    m_busy = count;
    m_retryAfter = retryAfter;
}

QByteArray MbTestServer::coverImage(const QString& releaseId)
{
    return QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + releaseId.toLatin1() + QByteArray("\xFF\xD9", 2);
}

HttpResponse MbTestServer::answer(const HttpRequest& request)
{
    if (request.headers.value("user-agent").isEmpty())
        return error(403, "Forbidden", "Please provide a meaningful User-Agent.");

    // The cover archive.
    static const QRegularExpression front("^/release/([0-9a-f-]{36})/front-500$");
    static const QRegularExpression image("^/img/([0-9a-f-]{36})-500\\.jpg$");
    if (const auto m = front.match(request.path); m.hasMatch()) {
        for (const MbTestRelease& r : std::as_const(m_releases))
            if (r.mbid() == m.captured(1) && r.cover) {
                HttpResponse redirect;
                redirect.status = 307;
                redirect.reason = "Temporary Redirect";
                redirect.headers = {{"Location", (base() + "/img/" + r.mbid() + "-500.jpg").toLatin1()}};
                return redirect;
            }
        HttpResponse none;
        none.status = 404;
        none.reason = "Not Found";
        return none;
    }
    if (const auto m = image.match(request.path); m.hasMatch()) {
        HttpResponse r;
        r.contentType = "image/jpeg";
        r.body = coverImage(m.captured(1));
        return r;
    }

    if (!request.path.startsWith("/ws/2/")) return error(404, "Not Found", "Not Found");
    const qint64 now = clock().elapsed();
    const qint64 gap = m_lastArrival < 0 ? -1 : now - m_lastArrival;
    m_lastArrival = now;
    if (gap >= 0) m_gaps << gap;
    if (gap >= 0 && gap < MinIntervalMs) {
        ++m_rateRefusals;
        return error(503, "Service Unavailable", RateLimitText);
    }
    if (m_busy > 0) {
        --m_busy;
        HttpResponse busy = error(503, "Service Unavailable", "The server is busy");
        if (!m_retryAfter.isEmpty()) busy.headers = {{"Retry-After", m_retryAfter}};
        return busy;
    }
    if (request.query.queryItemValue("fmt") != "json") return error(400, "Bad Request", "This server answers fmt=json only");

    const QStringList inc = formValue(request, "inc").split(' ', Qt::SkipEmptyParts);
    static const QRegularExpression disc("^/ws/2/discid/([A-Za-z0-9._-]{28})$");
    static const QRegularExpression release("^/ws/2/release/([0-9a-f-]{36})$");
    if (const auto m = disc.match(request.path); m.hasMatch()) return discId(request, m.captured(1), inc);
    if (request.path == "/ws/2/release") return search(request);
    if (const auto m = release.match(request.path); m.hasMatch()) {
        for (const MbTestRelease& r : std::as_const(m_releases))
            if (r.mbid() == m.captured(1)) return json(200, "OK", releaseJson(r, inc, false));
    }
    return error(404, "Not Found", "Not Found");
}

HttpResponse MbTestServer::discId(const HttpRequest& request, const QString& id, const QStringList& inc)
{
    QJsonArray attached;
    for (const MbTestRelease& r : std::as_const(m_releases))
        for (const MbTestMedium& m : r.media)
            if (m.discIds.contains(id)) {
                attached.append(releaseJson(r, inc, false));
                break;
            }
    const QList<int> toc = [&] {
        QList<int> numbers;
        for (const QString& part : formValue(request, "toc").split(' ', Qt::SkipEmptyParts)) numbers << part.toInt();
        return numbers;
    }();
    if (!attached.isEmpty())
        return json(200, "OK", QJsonObject{{"id", id}, {"offset-count", toc.size() > 3 ? toc.size() - 3 : 0},
                                           {"sectors", toc.size() > 2 ? toc[2] : 0}, {"releases", attached}});
    if (toc.isEmpty()) return error(404, "Not Found", "Not Found");
    if (toc.size() < 4 || toc[0] != 1 || toc[1] != toc.size() - 3) return error(400, "Bad Request", "Invalid TOC");

    QList<qint64> wanted;
    for (qsizetype i = 3; i < toc.size(); ++i) {
        const int end = i + 1 < toc.size() ? toc[i + 1] : toc[2];
        wanted << qint64(end - toc[i]) * 1000 / 75;
    }
    const bool allFormats = request.query.queryItemValue("media-format") == "all";
    QList<QPair<double, QJsonObject>> found;
    for (const MbTestRelease& r : std::as_const(m_releases)) {
        double best = -1;
        for (const MbTestMedium& m : r.media) {
            if (m.tracks.size() != wanted.size() || (m.format == "Digital Media" && !allFormats)) continue;
            QList<qint64> lengths;
            for (const MbTestTrack& t : m.tracks) lengths << t.lengthMs;
            const double d = distance(sums(lengths), sums(wanted));
            if (d <= FuzzyDistanceMs && (best < 0 || d < best)) best = d;
        }
        if (best >= 0) found << qMakePair(best, releaseJson(r, inc, false));
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QJsonArray releases;
    for (const auto& f : found) releases.append(f.second);
    return json(200, "OK", QJsonObject{{"release-offset", 0}, {"release-count", releases.size()}, {"releases", releases}});
}

HttpResponse MbTestServer::search(const HttpRequest& request)
{
    const QString query = formValue(request, "query");
    const QString title = phrase(query, "release"), artist = phrase(query, "artist");
    if (title.isEmpty() && artist.isEmpty()) return error(400, "Bad Request", "Invalid query");
    const int limit = std::clamp(request.query.queryItemValue("limit").toInt(), 1, 100);
    QJsonArray releases;
    for (const MbTestRelease& r : std::as_const(m_releases)) {
        if (!r.title.contains(title, Qt::CaseInsensitive) || !creditText(r.credit).contains(artist, Qt::CaseInsensitive))
            continue;
        if (releases.size() < limit) releases.append(releaseJson(r, {}, true));
    }
    return json(200, "OK", QJsonObject{{"created", "2024-01-01T00:00:00.000Z"},
                                       {"count", releases.size()},
                                       {"offset", 0},
                                       {"releases", releases}});
}

QJsonObject MbTestServer::releaseJson(const MbTestRelease& r, const QStringList& inc, bool searchForm) const
{
    QJsonObject o{{"id", r.mbid()}, {"title", r.title}, {"status", "Official"}, {"disambiguation", ""}};
    if (!r.date.isEmpty()) o["date"] = r.date;
    if (!r.country.isEmpty()) o["country"] = r.country;
    const bool credits = searchForm || inc.contains("artist-credits");
    if (credits) o["artist-credit"] = creditJson(r.credit);
    QJsonArray genres;
    for (const auto& [name, votes] : r.genres) genres.append(QJsonObject{{"name", name}, {"count", votes}});
    if (searchForm || inc.contains("release-groups")) {
        QJsonObject group{{"id", idOf("release-group", r.title)}, {"title", r.title}, {"primary-type", "Album"}};
        if (inc.contains("genres")) group["genres"] = genres;
        o["release-group"] = group;
    }
    if (inc.contains("genres")) o["genres"] = QJsonArray();
    QJsonArray media;
    int total = 0;
    for (qsizetype m = 0; m < r.media.size(); ++m) {
        const MbTestMedium& medium = r.media[m];
        total += int(medium.tracks.size());
        QJsonObject mo{{"format", medium.format}, {"track-count", medium.tracks.size()}};
        if (searchForm) {
            mo["disc-count"] = medium.discIds.size();
            media.append(mo);
            continue;
        }
        mo["position"] = int(m + 1);
        mo["title"] = "";
        mo["track-offset"] = 0;
        QJsonArray discs;
        for (const QString& id : medium.discIds) discs.append(QJsonObject{{"id", id}});
        mo["discs"] = discs;
        if (inc.contains("recordings")) {
            QJsonArray tracks;
            for (qsizetype k = 0; k < medium.tracks.size(); ++k) {
                const MbTestTrack& t = medium.tracks[k];
                const QJsonValue length = t.lengthMs > 0 ? QJsonValue(t.lengthMs) : QJsonValue(QJsonValue::Null);
                QJsonObject recording{{"id", r.recordingId(int(m), int(k))}, {"title", t.title}, {"length", length}};
                QJsonObject to{{"id", idOf("track", r.recordingId(int(m), int(k)))},
                               {"number", QString::number(k + 1)},
                               {"position", int(k + 1)},
                               {"title", t.title},
                               {"length", length},
                               {"recording", recording}};
                if (credits) to["artist-credit"] = t.artist.isEmpty() ? creditJson(r.credit) : creditJson({{t.artist, ""}});
                tracks.append(to);
            }
            mo["tracks"] = tracks;
        }
        media.append(mo);
    }
    o["media"] = media;
    if (searchForm) {
        o["score"] = 100;
        o["track-count"] = total;
    }
    return o;
}

} // namespace cantorix::test
