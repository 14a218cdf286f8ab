// An HTTP client for protocol tests: records every URL, and answers only when the test says so
// (or at once from the event loop, when a reply for the URL's command is set up).
#pragma once

#include "core/net/HttpClient.h"

#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPair>
#include <QString>

namespace cantorix::test {

class FakeHttpClient : public THttpClient {
public:
    struct State {
        QStringList urls;
        THttpProxy lastProxy;
        THttpClient::Completion pending;
        QString refuseWith;                      // non-empty: GetAsync fails with this text
        QList<QPair<QString, QByteArray>> auto_; // URL part -> body, answered from the event loop
        QObject context;
        int started = 0;
    };

    // The state outlives the client that the component owns.
    explicit FakeHttpClient(State* state) : m_s(state) {}

    bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) override
    {
        m_s->pending = nullptr;
        if (!m_s->refuseWith.isEmpty()) {
            *errorText = m_s->refuseWith;
            return false;
        }
        m_s->urls << url;
        m_s->lastProxy = proxy;
        m_s->pending = std::move(done);
        const int number = ++m_s->started;
        for (const auto& [part, body] : m_s->auto_)
            if (url.contains(part)) {
                State* s = m_s;
                QByteArray reply = body;
                QMetaObject::invokeMethod(
                    &s->context, [s, reply, number] { if (s->started == number) complete(s, 0, QString(), reply); },
                    Qt::QueuedConnection);
                break;
            }
        return true;
    }

    void Abort() override { m_s->pending = nullptr; }

    // Delivers the completion of the request in flight; false when there is none.
    static bool complete(State* s, int error, const QString& text, const QByteArray& body)
    {
        THttpClient::Completion done = std::move(s->pending);
        s->pending = nullptr;
        if (!done) return false;
        done(error, text, body);
        return true;
    }

private:
    State* m_s;
};

} // namespace cantorix::test
