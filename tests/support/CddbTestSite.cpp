#include "support/CddbTestSite.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <cstdlib>

namespace cantorix::test {

void CddbTestSite::on(const QString& cmdPrefix, const HttpResponse& response)
{
    m_rules << Rule{cmdPrefix, [response](const QString&) { return response; }};
}

void CddbTestSite::onInexactQuery(const QList<qint64>& offsets, int discLength, const QByteArray& matchLines)
{
    m_rules << Rule{"cddb query ", [offsets, discLength, matchLines](const QString& cmd) {
                        // "cddb query discid ntrks off1 ... offN nsecs"
                        const QStringList words = cmd.split(' ', Qt::SkipEmptyParts);
                        bool match = words.size() == 4 + offsets.size() + 1 &&
                            words[3] == QString::number(offsets.size());
                        for (qsizetype k = 0; match && k < offsets.size(); ++k)
                            match = std::abs(words[4 + k].toLongLong() - offsets[k]) <= InexactFrames;
                        match = match && std::abs(words.last().toInt() - discLength) <= InexactSeconds;
                        HttpResponse response;
                        response.body = match ? "211 Found inexact matches, list follows (until terminating `.')\r\n" +
                                matchLines + ".\r\n"
                                              : "202 No match for disc ID " + words.value(2).toLatin1() + ".\r\n";
                        return response;
                    }};
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
    return [rules = m_rules, maxLevel = m_maxLevel](const HttpRequest& request) {
        const QString cmd = formValue(request, "cmd");
        if (const int level = formValue(request, "proto").toInt(); level > maxLevel) {
            HttpResponse refused;
            refused.body = "501 Illegal CDDB protocol level: " + QByteArray::number(level) + ".\r\n";
            return refused;
        }
        for (const Rule& rule : rules)
            if (cmd.startsWith(rule.prefix)) {
                HttpResponse response = rule.answer(cmd);
                // Below level 6 the server sends ISO-8859-1, with "?" for every character it lacks.
                const QString text = QString::fromUtf8(response.body);
                if (formValue(request, "proto").toInt() < 6 && text.toUtf8() == response.body)
                    response.body = text.toLatin1();
                return response;
            }
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
