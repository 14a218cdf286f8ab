#include "core/lookup/musicbrainz/MbService.h"

#include "core/lookup/musicbrainz/ReleaseReply.h"
#include "core/net/HttpModule.h"

#include <QDateTime>
#include <QUrl>

#include <algorithm>

namespace cantorix {

QByteArray MbUserAgent(const QString& contact)
{
    QString clean;
    for (QChar c : contact.trimmed())
        if (c.isPrint() && c != '(' && c != ')') clean += c;
    clean = clean.simplified().left(200);
    if (clean.isEmpty()) clean = MusicBrainzProjectContact;
    return QByteArray("Cantorix/" CANTORIX_VERSION " ( ") + clean.toUtf8() + " )";
}

QString MbServerBase(const QString& server)
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

// ---- TMbRateLimiter

TMbRateLimiter::TMbRateLimiter(qint64 intervalMs) : m_interval(std::max<qint64>(intervalMs, 0))
{
    m_clock.start();
}

TMbRateLimiter& TMbRateLimiter::shared()
{
    static TMbRateLimiter limiter;
    return limiter;
}

qint64 TMbRateLimiter::take()
{
    std::lock_guard<std::mutex> hold(m_lock);
    const qint64 t = now();
    if (t < m_next) return m_next - t;
    m_next = t + m_interval;
    return 0;
}

void TMbRateLimiter::sent()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_next = std::max(m_next, now() + m_interval);
}

void TMbRateLimiter::holdOff(qint64 ms)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_next = std::max(m_next, now() + std::max<qint64>(ms, 0));
}

// ---- TMbClient

namespace {

// Retry-After as milliseconds from now: delta seconds or an HTTP date; -1 when absent or unreadable.
qint64 retryAfterMs(const QByteArray& value)
{
    const QByteArray v = value.trimmed();
    if (v.isEmpty()) return -1;
    if (std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return v.size() > 6 ? TMbClient::MaxRetryAfterMs : v.toLongLong() * 1000;
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(v), Qt::RFC2822Date);
    if (!when.isValid()) return -1;
    return std::max<qint64>(QDateTime::currentDateTimeUtc().msecsTo(when), 0);
}

} // namespace

TMbClient::TMbClient(std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), m_http(http ? std::move(http) : NewQtHttpClient())
{
    m_wait.setSingleShot(true);
    m_wait.setTimerType(Qt::PreciseTimer); // a coarse timer may fire early, before the turn
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

TMbClient::~TMbClient()
{
    abort();
}

void TMbClient::setRateLimiter(TMbRateLimiter* limiter)
{
    m_limiter = limiter;
}

void TMbClient::get(const QString& url, bool paced, qint64 maxBytes, Done done)
{
    abort();
    ++m_serial;
    m_url = url;
    m_paced = paced;
    m_maxBytes = maxBytes;
    m_retries = 0;
    m_waitedMs = 0;
    m_done = std::move(done);
    // Never from inside get(): the caller hears of the end from the event loop, as of every end.
    m_wait.start(0);
}

void TMbClient::abort()
{
    ++m_serial;
    m_wait.stop();
    m_limit.stop();
    m_http->Abort();
    m_done = nullptr;
}

void TMbClient::attempt(quint64 serial)
{
    if (serial != m_serial || !m_done) return;
    if (m_paced) {
        const qint64 wait = limiter().take();
        if (wait > 0) {
            m_wait.start(int(std::min<qint64>(wait, MaxRetryAfterMs)));
            return;
        }
    }
    THttpRequest request;
    request.Url = m_url;
    request.Headers = {{"User-Agent", MbUserAgent(m_config.Contact)}, {"Accept", "application/json"}};
    request.Proxy = m_config.Proxy;
    request.MaxBodyBytes = m_maxBytes;
    request.Progress = [this, serial](qint64 received, qint64 total) {
        if (serial == m_serial) emit progress(received, std::max<qint64>(total, 0));
    };
    QString why;
    if (!m_http->Send(request, [this, serial](const THttpResponse& r) { answered(serial, r); }, &why)) {
        TResult result;
        result.Reason = why;
        end(result);
        return;
    }
    if (m_paced) limiter().sent();
    m_limit.start(m_config.timeoutSeconds() * 1000);
    emit requestSent(m_url);
}

void TMbClient::answered(quint64 serial, const THttpResponse& response)
{
    if (serial != m_serial || !m_done) return;
    m_limit.stop();
    TResult result;
    if (response.Error != 0) {
        result.Reason = response.ErrorText;
        end(result);
        return;
    }
    const QString statusLine = QString("%1 %2").arg(response.Status).arg(QString::fromUtf8(response.Reason)).trimmed();
    if (response.Status == 503) {
        const QString words = ServiceErrorText(response.Body);
        qint64 wait = retryAfterMs(response.header("Retry-After"));
        const bool told = wait >= 0;
        if (!told) wait = std::max<qint64>(limiter().intervalMs(), 1) << m_retries;
        wait = std::min(wait, MaxRetryAfterMs);
        // The whole wait of a request stays within its time-out: a service that asks for longer gets
        // its own line as the answer.
        if (m_retries >= MaxRetries || m_waitedMs + wait > qint64(m_config.timeoutSeconds()) * 1000) {
            result.Reason = words.isEmpty() ? statusLine : words;
            result.Status = 503;
            end(result);
            return;
        }
        ++m_retries;
        m_waitedMs += wait;
        emit logLine(told ? tr("The service is busy (%1): asking again in %2 s as it says")
                                .arg(words.isEmpty() ? statusLine : words)
                                .arg(QString::number(wait / 1000.0, 'f', 1))
                          : tr("The service is busy (%1): asking again in %2 s")
                                .arg(words.isEmpty() ? statusLine : words)
                                .arg(QString::number(wait / 1000.0, 'f', 1)));
        // Every request of the process waits, not only this one.
        if (m_paced) limiter().holdOff(wait);
        m_wait.start(int(wait));
        return;
    }
    result.kind = TResult::Kind::Answered;
    result.Status = response.Status;
    result.Body = response.Body;
    result.ContentType = response.header("Content-Type");
    result.Reason = statusLine;
    end(result);
}

void TMbClient::end(const TResult& result)
{
    Done done = std::move(m_done);
    m_done = nullptr;
    m_wait.stop();
    m_limit.stop();
    ++m_serial;
    if (done) done(result);
}

} // namespace cantorix
