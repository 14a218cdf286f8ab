#include "support/CddbTestSite.h"

#include "support/TestFiles.h"

#include <QFile>
#include <gtest/gtest.h>

namespace cantorix::test {

void CddbTestSite::on(const QString& cmdPrefix, const HttpResponse& response)
{
    m_rules << Rule{cmdPrefix, response};
}

void CddbTestSite::onBody(const QString& cmdPrefix, const QByteArray& body)
{
    HttpResponse response;
    response.body = body;
    on(cmdPrefix, response);
}

void CddbTestSite::hangOn(const QString& cmdPrefix)
{
    HttpResponse response;
    response.hang = true;
    on(cmdPrefix, response);
}

LocalHttpServer::Handler CddbTestSite::handler() const
{
    return [rules = m_rules](const HttpRequest& request) {
        const QString cmd = formValue(request, "cmd");
        for (const Rule& rule : rules)
            if (cmd.startsWith(rule.prefix)) return rule.response;
        HttpResponse unknown;
        unknown.body = "500 Unrecognized command.\r\n";
        return unknown;
    };
}

QByteArray CddbTestSite::entryReply(const QString& category, const QString& discId, const QByteArray& entry)
{
    QByteArray reply = "210 " + category.toLatin1() + " " + discId.toLatin1() +
        " CD database entry follows (until terminating `.')\r\n";
    QByteArray text = entry;
    text.replace("\r\n", "\n");
    for (const QByteArray& line : text.split('\n'))
        if (!line.isEmpty()) reply += line + "\r\n";
    return reply + ".\r\n";
}

QByteArray transcriptFixtureBody(const std::string& name)
{
    QFile file(QString::fromStdString(fixture("cddb/" + name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return transcriptBody(file.readAll());
}

} // namespace cantorix::test
