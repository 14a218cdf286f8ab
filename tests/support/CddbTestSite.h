// A freedb server for tests, on a LocalHttpServer: canned replies chosen by the CDDB command that a
// request carries ("cddb query ...", "cddb read rock a10b600c", "sites"), or computed from it as the
// server's inexact matching does. Commands without a reply get "500 Unrecognized command.", as a real
// server answers them. A request below protocol level 6 gets a UTF-8 reply in ISO-8859-1, "?" for
// each character that ISO-8859-1 lacks, as the server transcodes it.
#pragma once

#include "support/LocalHttpServer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <string>

namespace cantorix::test {

class CddbTestSite {
public:
    // Requests whose decoded cmd begins with `cmdPrefix` get `response`; the first fitting rule wins.
    void on(const QString& cmdPrefix, const HttpResponse& response);
    // The same with a plain-text 200 response carrying `body`.
    void onBody(const QString& cmdPrefix, const QByteArray& body);
    // Requests for `cmdPrefix` are never answered.
    void hangOn(const QString& cmdPrefix);
    // Requests at a protocol level above `level` get cddbd's refusal, "501 Illegal CDDB protocol level:
    // <level asked>.", as a server configured for an older level answers them.
    void refuseLevelsAbove(int level) { m_maxLevel = level; }

    // One stored disc that only the server's inexact matching finds: a "cddb query" gets the 211 list
    // of `matchLines` ("categ discid dtitle", CR LF each) when it names the disc's track count, every
    // track start within InexactFrames of the disc's `offsets`, and an nsecs at most InexactSeconds
    // from the disc's "# Disc length" `discLength`; any other query gets "202 No match for disc ID".
    void onInexactQuery(const QList<qint64>& offsets, int discLength, const QByteArray& matchLines);
    static constexpr int InexactFrames = 75;
    static constexpr int InexactSeconds = 1;

    LocalHttpServer::Handler handler() const;

    // A read reply for an xmcd entry: the 210 line, the entry's lines and ".", each ending in CR LF.
    static QByteArray entryReply(const QString& category, const QString& discId, const QByteArray& entry);

private:
    struct Rule {
        QString prefix;
        std::function<HttpResponse(const QString& cmd)> answer;
    };
    QList<Rule> m_rules;
    int m_maxLevel = 6;
};

// The body of the saved server reply tests/data/cddb/<name>.
QByteArray transcriptFixtureBody(const std::string& name);

} // namespace cantorix::test
