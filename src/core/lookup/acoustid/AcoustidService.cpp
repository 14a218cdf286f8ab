#include "core/lookup/acoustid/AcoustidService.h"

#include "core/net/HttpModule.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QUrl>

#include <zlib.h>

#include <algorithm>

namespace cantorix {

namespace {

// The contact in the User-Agent when the user has given none (the same as the MusicBrainz requests').
constexpr const char* ProjectContact = "cantorix@users.noreply.github.com";

// Retry-After as milliseconds from now: delta seconds or an HTTP date; -1 when absent or unreadable.
qint64 retryAfterMs(const QByteArray& value)
{
    const QByteArray v = value.trimmed();
    if (v.isEmpty()) return -1;
    if (std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return v.size() > 6 ? TAcoustidClient::MaxRetryAfterMs : v.toLongLong() * 1000;
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(v), Qt::RFC2822Date);
    if (!when.isValid()) return -1;
    return std::max<qint64>(QDateTime::currentDateTimeUtc().msecsTo(when), 0);
}

} // namespace

QByteArray AidUserAgent(const QString& contact)
{
    QString clean;
    for (QChar c : contact.trimmed())
        if (c.isPrint() && c != '(' && c != ')') clean += c;
    clean = clean.simplified().left(200);
    if (clean.isEmpty()) clean = ProjectContact;
    return QByteArray("Cantorix/" CANTORIX_VERSION " ( ") + clean.toUtf8() + " )";
}

QString AidServerBase(const QString& server)
{
    QString text = server.trimmed();
    if (text.isEmpty()) return {};
    if (!text.contains("://")) text = "https://" + text;
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https") || url.hasQuery() ||
        url.hasFragment() || !url.userInfo().isEmpty())
        return {};
    QString base = url.toString(QUrl::FullyEncoded);
    while (base.endsWith('/')) base.chop(1);
    return base;
}

QByteArray AidLookupForm(const QString& clientKey, int durationS, const QByteArray& fingerprint)
{
    // The key is the user's text: encoded, so that it cannot add a field.
    return "client=" + clientKey.trimmed().toUtf8().toPercentEncoding() + "&duration=" + QByteArray::number(durationS) +
        "&fingerprint=" + fingerprint.toPercentEncoding() +
        "&meta=recordings+releasegroups+releases+tracks+compress&format=json";
}

QByteArray GzipCompress(const QByteArray& data)
{
    z_stream stream{};
    // 15 window bits plus 16: a gzip header and trailer around the deflate stream.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))) + 32, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    const qsizetype written = qsizetype(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END) return {};
    out.truncate(written);
    return out;
}

QString AidNoKeyText()
{
    return QCoreApplication::translate("AcoustidService",
                                       "AcoustID needs an application key: register one on the AcoustID site and "
                                       "enter it in Options \u203a Connection");
}

// ---- TAidRateLimiter

TAidRateLimiter::TAidRateLimiter(qint64 intervalMs) : m_interval(std::max<qint64>(intervalMs, 0))
{
    m_clock.start();
}

TAidRateLimiter& TAidRateLimiter::shared()
{
    static TAidRateLimiter limiter;
    return limiter;
}

qint64 TAidRateLimiter::take()
{
    std::lock_guard<std::mutex> hold(m_lock);
    const qint64 t = m_clock.elapsed();
    if (t < m_next) return m_next - t;
    m_next = t + m_interval;
    return 0;
}

void TAidRateLimiter::sent()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_next = std::max(m_next, m_clock.elapsed() + m_interval);
}

void TAidRateLimiter::holdOff(qint64 ms)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_next = std::max(m_next, m_clock.elapsed() + std::max<qint64>(ms, 0));
}

// ---- TAcoustidClient

TAcoustidClient::TAcoustidClient(std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), m_http(http ? std::move(http) : NewQtHttpClient())
{
    m_wait.setSingleShot(true);
    m_wait.setTimerType(Qt::PreciseTimer);
    m_limit.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, [this] { attempt(m_serial); });
    connect(&m_limit, &QTimer::timeout, this, [this] {
        m_http->Abort();
        TResult result;
        result.kind = TResult::Kind::TimedOut;
        result.Reason = tr("No answer within %1 seconds").arg(m_config.timeoutSeconds());
        end(result);
    });
}

TAcoustidClient::~TAcoustidClient()
{
    abort();
}

void TAcoustidClient::lookup(int durationS, const QByteArray& fingerprint, Done done)
{
    abort();
    ++m_serial;
    m_retries = 0;
    m_done = std::move(done);
    const QString base = AidServerBase(m_config.Server);
    if (m_config.ClientKey.trimmed().isEmpty() || base.isEmpty()) {
        const QString why = base.isEmpty() ? tr("The AcoustID server address is not usable: %1").arg(m_config.Server)
                                           : AidNoKeyText();
        const quint64 serial = m_serial;
        QTimer::singleShot(0, this, [this, serial, why] {
            if (serial != m_serial) return;
            TResult result;
            result.Reason = why;
            end(result);
        });
        return;
    }
    m_url = base + "/v2/lookup";
    m_body = AidLookupForm(m_config.ClientKey, durationS, fingerprint);
    m_gzip = false;
    if (m_body.size() > AidCompressAbove) {
        const QByteArray packed = GzipCompress(m_body);
        if (!packed.isEmpty()) {
            m_body = packed;
            m_gzip = true;
        }
    }
    m_wait.start(0);
}

void TAcoustidClient::abort()
{
    ++m_serial;
    m_wait.stop();
    m_limit.stop();
    m_http->Abort();
    m_done = nullptr;
}

void TAcoustidClient::attempt(quint64 serial)
{
    if (serial != m_serial || !m_done) return;
    const qint64 wait = limiter().take();
    if (wait > 0) {
        m_wait.start(int(std::min<qint64>(wait, MaxRetryAfterMs)));
        return;
    }
    THttpRequest request;
    request.Url = m_url;
    request.Headers = {{"User-Agent", AidUserAgent(m_config.Contact)},
                       {"Accept", "application/json"},
                       {"Content-Type", "application/x-www-form-urlencoded"}};
    if (m_gzip) request.Headers << qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip"));
    request.Proxy = m_config.Proxy;
    request.MaxBodyBytes = MaxReplyBytes;
    request.MaxRedirects = 0; // a POST is not carried to another address
    request.Post = true;
    request.Body = m_body;
    QString why;
    if (!m_http->Send(request, [this, serial](const THttpResponse& r) { answered(serial, r); }, &why)) {
        TResult result;
        result.Reason = why;
        end(result);
        return;
    }
    limiter().sent();
    m_limit.start(m_config.timeoutSeconds() * 1000);
}

void TAcoustidClient::answered(quint64 serial, const THttpResponse& response)
{
    if (serial != m_serial || !m_done) return;
    m_limit.stop();
    TResult result;
    if (response.Error != 0) {
        result.Reason = response.ErrorText;
        end(result);
        return;
    }
    result.Status = response.Status;
    const QString statusLine = QString("%1 %2").arg(response.Status).arg(QString::fromUtf8(response.Reason)).trimmed();
    QString words;
    int code = 0;
    bool serviceWords = false;
    const bool parsed = ParseAcoustidReply(response.Body, &result.Results, &words, &code, &serviceWords);
    if (response.Status == 429 || response.Status == 503) {
        const QString said = serviceWords ? words : statusLine;
        if (m_retries >= MaxRetries) {
            result.Reason = said;
            result.Code = code;
            end(result);
            return;
        }
        ++m_retries;
        qint64 wait = retryAfterMs(response.header("Retry-After"));
        if (wait < 0) wait = std::max<qint64>(limiter().intervalMs(), 1) << m_retries;
        wait = std::min(wait, MaxRetryAfterMs);
        emit logLine(tr("AcoustID is busy (%1): asking again in %2 s").arg(said, QString::number(wait / 1000.0, 'f', 1)));
        limiter().holdOff(wait);
        m_wait.start(int(wait));
        return;
    }
    if (parsed && response.Status == 200) {
        result.kind = TResult::Kind::Answered;
        end(result);
        return;
    }
    result.Code = code;
    if (serviceWords)
        result.Reason = tr("AcoustID: %1").arg(words);
    else if (response.Status == 200)
        result.Reason = words; // a reply that is no lookup reply
    else
        result.Reason = tr("AcoustID answered %1").arg(statusLine);
    end(result);
}

void TAcoustidClient::end(const TResult& result)
{
    Done done = std::move(m_done);
    m_done = nullptr;
    m_wait.stop();
    m_limit.stop();
    ++m_serial;
    if (done) done(result);
}

} // namespace cantorix
