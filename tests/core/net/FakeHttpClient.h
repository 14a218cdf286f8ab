// An HTTP client for protocol tests: records every URL (and every request sent with headers), and
// answers only when the test says so (or at once from the event loop, when a reply for the URL's
// command is set up).
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
        QList<THttpRequest> sent;               // every Send, with its headers
        THttpClient::ResponseCompletion pendingResponse;
    };

    // The state outlives the client that the component owns.
    explicit FakeHttpClient(State* state) : m_s(state) {}

    bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) override
    {
        m_s->pending = nullptr;
        m_s->pendingResponse = nullptr;
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

    // A Send is recorded (its URL in urls too) and answered by respond(); an auto_ body for its URL
    // comes as a 200 answer from the event loop.
    bool Send(const THttpRequest& request, ResponseCompletion done, QString* errorText) override
    {
        m_s->pending = nullptr;
        m_s->pendingResponse = nullptr;
        if (!m_s->refuseWith.isEmpty()) {
            *errorText = m_s->refuseWith;
            return false;
        }
        m_s->urls << request.Url;
        m_s->sent << request;
        m_s->lastProxy = request.Proxy;
        m_s->pendingResponse = std::move(done);
        const int number = ++m_s->started;
        for (const auto& [part, body] : m_s->auto_)
            if (request.Url.contains(part)) {
                State* s = m_s;
                THttpResponse response;
                response.Status = 200;
                response.Reason = "OK";
                response.Body = body;
                response.Url = request.Url;
                QMetaObject::invokeMethod(
                    &s->context, [s, response, number] { if (s->started == number) respond(s, response); },
                    Qt::QueuedConnection);
                break;
            }
        return true;
    }

    void Abort() override
    {
        m_s->pending = nullptr;
        m_s->pendingResponse = nullptr;
    }

    // Delivers the answer to the Send in flight; false when there is none.
    static bool respond(State* s, const THttpResponse& response)
    {
        THttpClient::ResponseCompletion done = std::move(s->pendingResponse);
        s->pendingResponse = nullptr;
        if (!done) return false;
        done(response);
        return true;
    }
    // The same with a status, a body and headers.
    static bool respond(State* s, int status, const QByteArray& body, const THttpHeaders& headers = {})
    {
        THttpResponse response;
        response.Status = status;
        response.Body = body;
        response.Headers = headers;
        response.Url = s->urls.isEmpty() ? QString() : s->urls.last();
        return respond(s, response);
    }

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
