#include "core/lookup/freedb/Cddb.h"

#include "core/net/HttpModule.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QCoreApplication>
#include <QUrl>

#include <algorithm>

namespace cantorix {

namespace {

// Level 6 is level 5 in UTF-8: at level 5 the server turns every character that ISO-8859-1 lacks
// into "?" before sending it.
const QString ProtocolLevel = "6";

// A reply that does not begin with a status line is echoed this far at most: it is some other
// server's page, not protocol data.
constexpr qsizetype MaxForeignEcho = 200;

bool isAsciiDigit(QChar c) { return c >= '0' && c <= '9'; }

} // namespace

TServerAddress ParseServerSetting(const QString& text)
{
    TServerAddress address;
    const QString trimmed = TrimControls(text);
    if (trimmed.isEmpty()) return address;

    QUrl url(trimmed.contains("://") ? trimmed : "http://" + trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        address.Host = trimmed;
        return address;
    }
    address.Scheme = scheme;
    address.Host = url.host(QUrl::FullyEncoded);
    if (address.Host.contains(':')) address.Host = '[' + address.Host + ']'; // an IPv6 address
    address.Port = QString::number(url.port(scheme == "https" ? 443 : 80));
    QString path = url.path(QUrl::FullyEncoded);
    if (!path.isEmpty() && path != "/") address.Path = path;
    return address;
}

QString ServerSettingProblem(const QString& text)
{
    const QString trimmed = TrimControls(text);
    if (trimmed.isEmpty()) return {};
    auto tr = [](const char* s) { return QCoreApplication::translate("ServerSetting", s); };
    if (std::any_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isSpace() || c.unicode() < 32; }))
        return tr("A server address cannot hold spaces");
    const bool withScheme = trimmed.contains("://");
    const QUrl url(withScheme ? trimmed : "http://" + trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (withScheme && scheme != "http" && scheme != "https") return tr("A server address begins with http:// or https://");
    if (url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return tr("A server address holds no \"?\", \"#\" or \"@\"");
    // QUrl refuses a port beyond 65535 as a whole; tell that apart from a bad host.
    const QString authority = withScheme ? trimmed.section("://", 1).section('/', 0, 0) : trimmed.section('/', 0, 0);
    const qsizetype colon = authority.lastIndexOf(':');
    if (colon >= 0 && !authority.endsWith(']')) {
        bool ok = false;
        const int port = authority.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535) return tr("The port must be a number from 1 to 65535");
    }
    if (!url.isValid() || url.host().isEmpty())
        return tr("\"%1\" is no host name, host:port or http:// address").arg(trimmed);
    return {};
}

TCddb::TCddb(std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), m_http(http ? std::move(http) : NewQtHttpClient())
{
}

TCddb::~TCddb() = default;

void TCddb::SetServer(const TServerAddress& address)
{
    ServerScheme = address.Scheme;
    ServerAddr = address.Host;
    ServerPort = address.Port;
    ServerAdditionalAddr = address.Path;
}

QString TCddb::Escape(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    for (char ch : text.toUtf8()) {
        auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
            out += QChar(b);
        } else if (b == ' ') {
            out += '+';
        } else {
            out += '%';
            out += QChar(hex[b >> 4]);
            out += QChar(hex[b & 15]);
        }
    }
    return out;
}

QString TCddb::cannotConnect(const QString& reason) const
{
    return QString("Cannot connect to %1:%2: %3").arg(ServerAddr, ServerPort, reason);
}

QString TCddb::urlPrefix() const
{
    return ServerScheme + "://" + ServerAddr + ":" + ServerPort + ServerAdditionalAddr;
}

QString TCddb::hello() const
{
    // Only the two halves of the address are sent: "user host".
    qsizetype at = EmailUser.lastIndexOf('@');
    QString h = at < 0 ? QString() : Escape(EmailUser.left(at) + " " + EmailUser.mid(at + 1));
    return h + "+" + Escape(ClientName) + "+" + Escape(ClientVersion);
}

QString TCddb::QueryUrl(const TCDDBDiscID& disc) const
{
    return urlPrefix() + "?cmd=" + Escape(disc.QueryCommand()) + "&hello=" + hello() + "&proto=" + ProtocolLevel;
}

QString TCddb::ReadUrl() const
{
    // Category and disc ID come from the server's own reply; escaping keeps whatever they hold from
    // changing the request (valid ones are letters and digits, which pass unchanged).
    return urlPrefix() + "?cmd=cddb+read+" + Escape(TrimControls(m_category)) + "+" + Escape(TrimControls(m_discId)) +
        "&hello=" + hello() + "&proto=" + ProtocolLevel;
}

QString TCddb::SitesUrl() const
{
    return urlPrefix() + "?cmd=sites&hello=" + hello() + "&proto=" + ProtocolLevel;
}

int TCddb::QueryDisc(const TCDDBDiscID& disc)
{
    return startRequest(QueryUrl(disc), "Querying CD", TState::Querying);
}

int TCddb::ReadEntry()
{
    return startRequest(ReadUrl(), "Reading CD info", TState::Reading);
}

int TCddb::QuerySites()
{
    // A new list replaces the old one whole; a failed request leaves none behind.
    m_servers.fill(TServer());
    m_sitesListed = false;
    return startRequest(SitesUrl(), "Getting sites", TState::GettingSites);
}

void TCddb::Abort()
{
    ++m_serial;
    m_http->Abort();
    m_state = TState::Idle;
}

int TCddb::startRequest(const QString& url, const QString& statusText, TState state)
{
    // A new request replaces the one in flight; its reply is no longer wanted.
    const quint64 serial = ++m_serial;
    m_http->Abort();
    status(statusText);
    if (serial != m_serial) return 0;
    dataExchange(url + "\r\n");
    if (serial != m_serial) return 0;
    QString error;
    bool started = m_http->GetAsync(
        url, m_proxy,
        [this, serial](int code, const QString& text, const QByteArray& body) { HandleReply(serial, code, text, body); },
        &error);
    if (!started) {
        m_state = TState::RequestFailed;
        status(cannotConnect(error), TCddbStatusKind::RequestFailed);
        return -1;
    }
    m_state = state;
    return 0;
}

void TCddb::status(const QString& text, TCddbStatusKind kind, int code)
{
    m_lastStatus = {kind, code, text};
    if (OnStatusMessage) OnStatusMessage(*this, text);
}

void TCddb::dataExchange(const QString& line)
{
    if (OnDataExchange) OnDataExchange(*this, line);
}

void TCddb::HandleReply(quint64 serial, int error, const QString& errorText, const QByteArray& body)
{
    if (serial != m_serial) return; // a reply to an abandoned request
    if (error != 0) {
        m_state = TState::RequestFailed;
        if (error > THttpClient::HttpStatusError)
            status(QString("The server %1 answered %2; it is not a freedb server").arg(urlPrefix(), errorText),
                   TCddbStatusKind::RequestFailed, error - THttpClient::HttpStatusError);
        else if (error == THttpClient::RedirectRefused)
            status(QCoreApplication::translate("Cddb", "The server %1 has moved to %2; enter that address as the "
                                                       "server in Options > Connection")
                       .arg(urlPrefix(), errorText),
                   TCddbStatusKind::RequestFailed);
        else if (THttpClient::IsProxyFailure(error))
            status(errorText, TCddbStatusKind::RequestFailed); // it names the proxy, which is what failed
        else
            status(cannotConnect(errorText), TCddbStatusKind::RequestFailed);
        return;
    }
    // The parser is chosen once, by the state at arrival, even if a line changes the state.
    const TState arrival = m_state;
    const QStringList lines = SplitLines(DecodeReplyText(body));
    // Every CDDB reply begins with a three-digit status line; anything else (a proxy's or a web
    // server's page) must never be taken for an entry.
    const QString first = lines.isEmpty() ? QString() : lines.first();
    if (first.size() < 3 || !isAsciiDigit(first[0]) || !isAsciiDigit(first[1]) || !isAsciiDigit(first[2])) {
        dataExchange(first.left(MaxForeignEcho));
        if (serial != m_serial) return;
        m_state = TState::RequestFailed;
        status(QString("The server %1 did not answer as a freedb server").arg(urlPrefix()),
               TCddbStatusKind::RequestFailed);
        return;
    }
    for (const QString& line : lines) {
        dataExchange(line);
        if (serial != m_serial) return;
        bool goOn = true;
        switch (arrival) {
        case TState::Querying: goOn = parseQueryLine(line); break;
        case TState::Reading: goOn = parseReadLine(line); break;
        case TState::GettingSites: parseSitesLine(line); break;
        default: break;
        }
        if (!goOn || serial != m_serial) return;
    }
    if (arrival == TState::Reading && !CheckEntry(EntryLines()))
        status("The entry is corrupt", TCddbStatusKind::CorruptEntry);
    // A list cut off before its "." line is no list: say so instead of waiting for more.
    if (arrival == TState::GettingSites && m_state == TState::GettingSites) {
        m_state = TState::NoSites;
        status("The server list ended without its closing line", TCddbStatusKind::ServerError);
    }
}

QString TCddb::GenericStatusText(const QString& line, bool* closes)
{
    if (closes) *closes = false;
    if (line.size() < 3 || !isAsciiDigit(line[0]) || !isAsciiDigit(line[1]) || !isAsciiDigit(line[2])) return {};
    const int c = line.left(3).toInt();
    // Every code ending in 30 closes the connection, 530 included.
    if (closes) *closes = c % 100 == 30;
    switch (c) {
    case 402: return "Server error";
    case 408: return "CGI environment error";
    case 500: return "Command syntax error, command unknown, command unimplemented";
    case 530: return "Server error, server timeout";
    default: break;
    }
    QString text;
    switch (c / 100) {
    case 1: text = "Informative message"; break;
    case 2: text = "Command OK"; break;
    case 3: text = "Command OK so far"; break;
    case 4: text = "Command OK, but cannot be performed"; break;
    case 5: text = "Command unimplemented, incorrect, or program error"; break;
    default: break;
    }
    switch (c % 100) {
    case 0: text += ", ready for further commands"; break;
    case 10: text += ", more server-to-client output follows"; break;
    case 20: text += ", more client-to-server input follows"; break;
    case 30: text += ", connection will close"; break;
    default: break;
    }
    return text;
}

void TCddb::genericStatus(const QString& line)
{
    bool closes = false;
    QString text = GenericStatusText(line, &closes);
    if (closes) m_state = TState::Idle;
    if (text.isEmpty()) return;
    // GenericStatusText found three digits at the start.
    const int code = line.left(3).toInt();
    const bool failure = code / 100 == 4 || code / 100 == 5;
    status(text, failure ? TCddbStatusKind::ServerError : TCddbStatusKind::Progress, code);
}

bool TCddb::askMatch(int fallback)
{
    const quint64 serial = m_serial;
    int rightOne = 0;
    if (OnMatch) OnMatch(*this, m_matches, rightOne);
    if (serial != m_serial) return false;
    if (rightOne == ChoiceLater) return true;
    if (rightOne == -1) {
        m_state = TState::QueryFailed;
        return true;
    }
    ChooseMatch(fallback >= 0 ? fallback : rightOne);
    return true;
}

bool TCddb::ChooseMatch(int rightOne)
{
    if (rightOne < 0 || rightOne >= MaxMatches || m_matches[size_t(rightOne)].isEmpty()) {
        m_category.clear();
        m_discId.clear();
        m_state = TState::QueryFailed;
        return false;
    }
    const QString& m = m_matches[size_t(rightOne)];
    qsizetype p = m.indexOf(' ');
    m_category = p < 0 ? QString() : m.left(p);
    m_discId = m.mid(p + 1, 8);
    m_state = TState::MatchChosen;
    return true;
}

void TCddb::ChooseEntry(const QString& category, const QString& discId)
{
    m_category = category;
    m_discId = discId;
    m_state = TState::MatchChosen;
}

bool TCddb::parseQueryLine(const QString& line)
{
    const quint64 serial = m_serial;
    auto alive = [&] { return serial == m_serial; };
    if (line.startsWith("200")) {
        m_matchesExact = true;
        m_state = TState::MatchChosen;
        status("Found exact match");
        if (!alive()) return false;
        m_matches.fill(QString());
        m_matches[0] = TrimControls(line.mid(4));
        if (m_matches[0].isEmpty()) {
            // Nothing to choose from: the lookup ends here instead of waiting for its time-out.
            m_state = TState::QueryFailed;
            status("No match found", TCddbStatusKind::NoMatch, 200);
            return alive();
        }
        return askMatch(0);
    }
    if (line.startsWith("210") || line.startsWith("211")) {
        m_matchesExact = line.startsWith("210");
        status(line.startsWith("210") ? "Found exact matches" : "Found inexact matches");
        if (!alive()) return false;
        m_matches.fill(QString());
        m_matchesOffered = 0;
        status("OK, receiving matches");
        return alive();
    }
    if (line.startsWith("202")) {
        m_state = TState::QueryFailed;
        status("No match found", TCddbStatusKind::NoMatch, 202);
        return alive();
    }
    if (line.startsWith("403")) {
        m_state = TState::QueryFailed;
        status("Database entry is corrupt", TCddbStatusKind::ServerError, 403);
        return alive();
    }
    if (line.startsWith("409")) {
        m_state = TState::QueryFailed;
        status("No handshake", TCddbStatusKind::ServerError, 409);
        return alive();
    }
    if (!line.isEmpty() && isAsciiDigit(line[0])) {
        genericStatus(line);
        return alive();
    }
    if (line.startsWith('.')) {
        if (m_matches[0].isEmpty()) {
            m_state = TState::QueryFailed;
            status("No match found", TCddbStatusKind::NoMatch);
            return alive();
        }
        m_state = TState::MatchesReceived;
        status("Received matches");
        if (!alive()) return false;
        return askMatch(-1);
    }
    // A match line. Lines past the hundredth are dropped, but counted for the log.
    QString match = TrimControls(line);
    if (!match.isEmpty()) {
        ++m_matchesOffered;
        for (QString& slot : m_matches)
            if (slot.isEmpty()) {
                slot = match;
                break;
            }
    }
    return true;
}

bool TCddb::parseReadLine(const QString& line)
{
    const quint64 serial = m_serial;
    if (line.startsWith("210")) {
        status("OK, CDDB database entry follows");
        m_entry.fill(QString());
    } else if (line.startsWith("401")) {
        m_state = TState::ReadFailed;
        status("Specified CDDB entry not found", TCddbStatusKind::NotFound, 401);
    } else if (line.startsWith("403")) {
        m_state = TState::ReadFailed;
        status("Database entry is corrupt", TCddbStatusKind::ServerError, 403);
    } else if (line.startsWith("409")) {
        m_state = TState::ReadFailed;
        status("No handshake", TCddbStatusKind::ServerError, 409);
    } else if (line.startsWith("402")) {
        // Kept as it is: nothing to report.
    } else if (line.startsWith('.')) {
        m_state = TState::EntryRead;
        status("Entry read", TCddbStatusKind::EntryRead);
    } else if (!line.isEmpty() && QString("#TDEP").contains(line[0])) {
        // Lines past the 1024th are dropped. A line is kept as it came: a value continued on the
        // next line may end in the space between two words.
        for (QString& slot : m_entry)
            if (slot.isEmpty()) {
                slot = line;
                break;
            }
    } else {
        m_state = TState::ReadFailed;
        genericStatus(line);
    }
    return serial == m_serial;
}

void TCddb::parseSitesLine(const QString& line)
{
    // Lines after the end of the list, or after a failure, belong to no list.
    if (m_state != TState::GettingSites) return;
    if (!m_sitesListed) {
        // The reply's status line (HandleReply saw three digits): only 210 brings a list.
        if (line.startsWith("210")) {
            m_sitesListed = true;
            status("OK, receiving sites");
        } else if (line.startsWith("401")) {
            m_state = TState::NoSites;
            status("No site information available", TCddbStatusKind::NotFound, 401);
        } else {
            m_state = TState::NoSites;
            genericStatus(line);
        }
        return;
    }
    if (line.startsWith('.')) {
        m_state = TState::SitesReceived;
        status("Got sites");
        return;
    }
    // "host protocol port path latitude longitude description...", fields at single spaces.
    const QStringList fields = line.split(' ');
    TServer server;
    server.Site = fields[0];
    if (server.Site.isEmpty() || fields.size() < 3 || !ParseInt32(fields[2], &server.Port)) return;
    server.IsHTTP = fields[1].toLower() == "http";
    if (fields.size() > 3) server.Address = fields[3];
    if (fields.size() > 4) server.Location.Latitude = fields[4];
    if (fields.size() > 5) server.Location.Longitude = fields[5];
    qsizetype pos = -1;
    for (int spaces = 0; spaces < 6; ++spaces) {
        pos = line.indexOf(' ', pos + 1);
        if (pos < 0) break;
    }
    if (pos >= 0) server.Location.Description = line.mid(pos + 1);
    // Servers past the hundredth are dropped.
    for (TServer& slot : m_servers)
        if (slot.Site.isEmpty()) {
            slot = server;
            break;
        }
}

QString TCddb::GetEntryLine(int i) const
{
    return i >= 0 && i < MaxEntryLines ? m_entry[size_t(i)] : QString();
}

QStringList TCddb::EntryLines() const
{
    QStringList lines;
    for (const QString& line : m_entry) {
        if (line.isEmpty()) break;
        lines << line;
    }
    return lines;
}

TServer TCddb::GetServer(int i) const
{
    return i >= 0 && i < MaxServers ? m_servers[size_t(i)] : TServer();
}

} // namespace cantorix
