#include "support/AidTestServer.h"

#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace cantorix::test {

namespace {

QElapsedTimer& clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid()) timer.start();
    return timer;
}

HttpResponse errorReply(int status, const QByteArray& reason, int code, const QString& message)
{
    const QJsonObject error{{"code", code}, {"message", message}};
    const QJsonObject body{{"status", "error"}, {"error", error}};
    return {status, reason, "application/json; charset=UTF-8", QJsonDocument(body).toJson(QJsonDocument::Compact)};
}

QByteArray gunzip(const QByteArray& data)
{
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) return {};
    QByteArray out;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK && out.size() < 16 * 1024 * 1024) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

// A form field, decoded the form way ("+" is a space).
QString field(const QUrlQuery& form, const QString& name)
{
    QString raw = form.queryItemValue(name, QUrl::FullyEncoded);
    return QUrl::fromPercentEncoding(raw.replace('+', ' ').toLatin1());
}

QJsonObject dateObject(const QString& date)
{
    QJsonObject o;
    const QStringList parts = date.split('-');
    if (parts.size() > 0 && !parts[0].isEmpty()) o["year"] = parts[0].toInt();
    if (parts.size() > 1) o["month"] = parts[1].toInt();
    if (parts.size() > 2) o["day"] = parts[2].toInt();
    return o;
}

} // namespace

QString TestUuid(const QString& seed)
{
    const QByteArray hex = QCryptographicHash::hash(seed.toUtf8(), QCryptographicHash::Md5).toHex();
    return QString::fromLatin1(hex.left(8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' + hex.mid(16, 4) + '-' +
                               hex.mid(20, 12));
}

QString AidTestRelease::mbid() const
{
    return id.isEmpty() ? TestUuid("release:" + title + "/" + artist) : id;
}

QString AidTestRelease::recordingId(int medium, int track) const
{
    const AidTestTrack& t = media[medium][track];
    return t.recordingId.isEmpty() ? TestUuid(QString("recording:%1/%2/%3").arg(mbid()).arg(medium).arg(track))
                                   : t.recordingId;
}

AidTestServer::AidTestServer()
{
    m_http.setHandler([this](const HttpRequest& r) { return answer(r); });
}

bool AidTestServer::start()
{
    return m_http.start();
}

QString AidTestServer::base() const
{
    return "http://" + m_http.hostAndPort();
}

void AidTestServer::add(const AidTestRelease& release)
{
    m_releases << release;
}

void AidTestServer::busyFor(int count, const QByteArray& retryAfter)
{
    m_busy = count;
    m_retryAfter = retryAfter;
}

HttpResponse AidTestServer::answer(const HttpRequest& request)
{
    if (request.path != "/v2/lookup") return errorReply(404, "Not Found", 1, "unknown method");
    // The service's rule: at most three requests in any second.
    const qint64 now = clock().elapsed();
    while (!m_arrivals.isEmpty() && now - m_arrivals.first() >= WindowMs) m_arrivals.removeFirst();
    if (m_arrivals.size() >= RequestsPerSecond) {
        ++m_rateRefusals;
        return errorReply(429, "Too Many Requests", 14, "rate limit (3 requests per second) exceeded, try again later");
    }
    m_arrivals << now;
    if (m_busy > 0) {
        --m_busy;
        HttpResponse busy = errorReply(503, "Service Unavailable", 13, "service is temporarily unavailable");
        if (!m_retryAfter.isEmpty()) busy.headers << qMakePair(QByteArray("Retry-After"), m_retryAfter);
        return busy;
    }
    QUrlQuery form = request.query;
    if (request.method == "POST") {
        QByteArray body = request.body;
        if (request.headers.value("content-encoding") == "gzip") body = gunzip(body);
        form = QUrlQuery(QString::fromLatin1(body));
    }
    m_lastForm = form;
    ++m_lookups;
    if (field(form, "client") != Key) return errorReply(400, "Bad Request", 4, "invalid API key");
    if (field(form, "format") != "json") return errorReply(400, "Bad Request", 1, "unknown format");
    const QString fingerprint = field(form, "fingerprint");
    const QString duration = field(form, "duration");
    if (fingerprint.isEmpty()) return errorReply(400, "Bad Request", 2, "missing required parameter \"fingerprint\"");
    if (duration.isEmpty()) return errorReply(400, "Bad Request", 2, "missing required parameter \"duration\"");
    if (!m_raw.isEmpty()) return {200, "OK", "application/json; charset=UTF-8", m_raw};

    QJsonArray results;
    const QJsonObject result = resultFor(fingerprint.toLatin1());
    if (!result.isEmpty()) results << result;
    const QJsonObject body{{"status", "ok"}, {"results", results}};
    return {200, "OK", "application/json; charset=UTF-8", QJsonDocument(body).toJson(QJsonDocument::Compact)};
}

QJsonObject AidTestServer::resultFor(const QByteArray& fingerprint) const
{
    // Every recording whose fingerprint this is, with every release medium that holds it.
    QJsonArray recordings;
    QStringList seen;
    double score = 0;
    for (const AidTestRelease& r : m_releases) {
        for (int m = 0; m < r.media.size(); ++m) {
            for (int t = 0; t < r.media[m].size(); ++t) {
                const AidTestTrack& track = r.media[m][t];
                if (track.fingerprint.isEmpty() || track.fingerprint != fingerprint) continue;
                const QString recording = r.recordingId(m, t);
                if (seen.contains(recording)) continue;
                seen << recording;
                score = std::max(score, track.score);
                // Its release groups: every release in the catalogue with a track of this recording.
                QJsonArray groups;
                for (const AidTestRelease& other : m_releases) {
                    QJsonArray media;
                    for (int om = 0; om < other.media.size(); ++om) {
                        QJsonArray tracks;
                        for (int ot = 0; ot < other.media[om].size(); ++ot)
                            if (other.recordingId(om, ot) == recording)
                                tracks << QJsonObject{{"position", ot + 1},
                                                      {"title", other.media[om][ot].title},
                                                      {"id", TestUuid(QString("track:%1/%2/%3").arg(other.mbid()).arg(om).arg(ot))},
                                                      {"artists", QJsonArray{QJsonObject{{"id", TestUuid("artist:" + other.artist)},
                                                                                         {"name", other.artist}}}}};
                        if (!tracks.isEmpty())
                            media << QJsonObject{{"position", om + 1},
                                                 {"format", "CD"},
                                                 {"track_count", int(other.media[om].size())},
                                                 {"tracks", tracks}};
                    }
                    if (media.isEmpty()) continue;
                    int trackCount = 0;
                    for (const auto& medium : other.media) trackCount += int(medium.size());
                    const QJsonObject release{{"id", other.mbid()},
                                              {"title", other.title},
                                              {"country", other.country},
                                              {"date", dateObject(other.date)},
                                              {"track_count", trackCount},
                                              {"medium_count", int(other.media.size())},
                                              {"artists", QJsonArray{QJsonObject{{"id", TestUuid("artist:" + other.artist)},
                                                                                 {"name", other.artist}}}},
                                              {"mediums", media}};
                    QJsonObject group{{"id", TestUuid("group:" + other.mbid())},
                                      {"title", other.title},
                                      {"type", other.type},
                                      {"releases", QJsonArray{release}}};
                    if (!other.secondaryTypes.isEmpty()) group["secondarytypes"] = QJsonArray::fromStringList(other.secondaryTypes);
                    groups << group;
                }
                recordings << QJsonObject{{"id", recording},
                                          {"title", track.title},
                                          {"duration", 30},
                                          {"artists", QJsonArray{QJsonObject{{"name", r.artist}}}},
                                          {"releasegroups", groups}};
            }
        }
    }
    if (recordings.isEmpty()) return {};
    return QJsonObject{{"id", TestUuid("acoustid:" + QString::fromLatin1(fingerprint))}, {"score", score}, {"recordings", recordings}};
}

void writeMelodyWav(const std::string& path, int seed, int seconds)
{
    constexpr uint32_t rate = 11025;
    const uint32_t samples = rate * uint32_t(seconds);
    std::mt19937 random(uint32_t(seed) * 7919u + 17u);
    std::vector<int> notes(size_t(seconds) * 4 + 1);
    for (int& n : notes) n = int(random() % 24);
    Bytes out;
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i))); };
    auto put16 = [&](uint16_t v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); };
    for (char c : std::string("RIFF")) out.push_back(uint8_t(c));
    put32(36 + samples * 2);
    for (char c : std::string("WAVEfmt ")) out.push_back(uint8_t(c));
    put32(16); put16(1); put16(1); put32(rate); put32(rate * 2); put16(2); put16(16);
    for (char c : std::string("data")) out.push_back(uint8_t(c));
    put32(samples * 2);
    double phase = 0, fifth = 0;
    for (uint32_t i = 0; i < samples; ++i) {
        const double f = 220.0 * std::pow(2.0, notes[i * 4 / rate] / 12.0);
        phase += 2 * M_PI * f / rate;
        fifth += 2 * M_PI * f * 1.5 / rate;
        const double v = 0.5 * std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.2 * std::sin(fifth);
        put16(uint16_t(int16_t(v * 12000)));
    }
    writeFile(path, out);
}

} // namespace cantorix::test
