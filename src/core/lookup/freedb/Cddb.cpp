#include "core/lookup/freedb/Cddb.h"

#include "core/net/HttpModule.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <iterator>

namespace cantorix {

namespace {

// A reply that does not begin with a status line is echoed this far at most: it is some other
// server's page, not protocol data.
constexpr qsizetype MaxForeignEcho = 200;

bool isAsciiDigit(QChar c) { return c >= '0' && c <= '9'; }

} // namespace

TCddb::TCddb(std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), m_http(http ? std::move(http) : NewQtHttpClient())
{
}

TCddb::~TCddb() = default;

void TCddb::SetServer(const TServerAddress& address)
{
    // A level a server refused says nothing about another server.
    if (address.Scheme != ServerScheme || address.Host != ServerAddr || address.Port != ServerPort ||
        address.Path != ServerAdditionalAddr)
        m_protocolLevel = PreferredLevel;
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
    // The host is the setting's text when it names no server: whatever it holds, one line.
    return QCoreApplication::translate("Cddb", "Cannot connect to %1:%2: %3")
        .arg(EscapeControls(ServerAddr), EscapeControls(ServerPort), reason);
}

bool TCddb::goesToServer(const QString& url) const
{
    // Text that names no server stays the host (ParseServerSetting); glued into a URL it may still
    // parse, as another host and path ("ftp://x" gives the host "ftp"). Only the server asked for is asked.
    const QUrl parsed(url, QUrl::StrictMode);
    QString host = ServerAddr;
    if (host.startsWith('[') && host.endsWith(']')) host = host.mid(1, host.size() - 2);
    return parsed.isValid() && parsed.scheme() == ServerScheme && parsed.host(QUrl::FullyEncoded) == host &&
        QString::number(parsed.port()) == ServerPort && parsed.path(QUrl::FullyEncoded) == ServerAdditionalAddr;
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

QString TCddb::requestUrl(const QString& command, int level) const
{
    return urlPrefix() + "?cmd=" + command + "&hello=" + hello() + "&proto=" + QString::number(level);
}

QString TCddb::QueryUrl(const TCDDBDiscID& disc) const
{
    return requestUrl(Escape(disc.QueryCommand()), m_protocolLevel);
}

namespace {

// Category and disc ID come from the server's own reply; escaping keeps whatever they hold from
// changing the request (valid ones are letters and digits, which pass unchanged).
QString readCommand(const QString& category, const QString& discId)
{
    return "cddb+read+" + TCddb::Escape(TrimControls(category)) + "+" + TCddb::Escape(TrimControls(discId));
}

bool isStatusLine(const QString& line)
{
    return line.size() >= 3 && isAsciiDigit(line[0]) && isAsciiDigit(line[1]) && isAsciiDigit(line[2]);
}

// The line that ends a list or an entry.
bool isTerminator(const QString& line) { return TrimControls(line) == "."; }

bool isAsciiLetterOrDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isHexDigit(QChar c) { return isAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

} // namespace

QString TCddb::ReadUrl() const
{
    return requestUrl(readCommand(m_category, m_discId), m_protocolLevel);
}

QString TCddb::SitesUrl() const
{
    return requestUrl("sites", m_protocolLevel);
}

int TCddb::QueryDisc(const TCDDBDiscID& disc)
{
    return startRequest({Escape(disc.QueryCommand()), QCoreApplication::translate("Cddb", "Querying CD"),
        TState::Querying, m_protocolLevel, false});
}

int TCddb::ReadEntry()
{
    return startRequest({readCommand(m_category, m_discId), QCoreApplication::translate("Cddb", "Reading CD info"),
        TState::Reading, m_protocolLevel, false});
}

int TCddb::QuerySites()
{
    // A new list replaces the old one whole; a failed request leaves none behind.
    m_servers.fill(TServer());
    m_sitesListed = false;
    return startRequest(
        {"sites", QCoreApplication::translate("Cddb", "Getting sites"), TState::GettingSites, m_protocolLevel, false});
}

void TCddb::Abort()
{
    ++m_serial;
    m_http->Abort();
    m_state = TState::Idle;
}

int TCddb::startRequest(const TRequest& request)
{
    // A new request replaces the one in flight; its reply is no longer wanted.
    const quint64 serial = ++m_serial;
    m_http->Abort();
    m_request = request;
    status(request.StatusText);
    if (serial != m_serial) return 0;
    const QString url = requestUrl(request.Command, request.Level);
    dataExchange(url + "\r\n");
    if (serial != m_serial) return 0;
    QString error;
    if (!goesToServer(url)) {
        m_state = TState::RequestFailed;
        status(cannotConnect(QCoreApplication::translate("Cddb", "no valid server address")),
               TCddbStatusKind::RequestFailed);
        return -1;
    }
    bool started = m_http->GetAsync(
        url, m_proxy,
        [this, serial](int code, const QString& text, const QByteArray& body) { HandleReply(serial, code, text, body); },
        &error);
    if (!started) {
        m_state = TState::RequestFailed;
        status(cannotConnect(error), TCddbStatusKind::RequestFailed);
        return -1;
    }
    m_state = request.State;
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

QString TCddb::serverLine(const QString& line) const
{
    // Cut before escaping, so that no escape is cut in two.
    const QString shown = EscapeControls(TrimControls(line).left(MaxForeignEcho));
    // gnudb refuses clients without a real address ("500 Unknown developer email") and may ban them.
    if (shown.contains("mail", Qt::CaseInsensitive))
        return QCoreApplication::translate("Cddb", "%1 (enter your own e-mail address in Options \u203a Connection, or "
                                                   "as [Connection] Email in the settings file: the server asks for a "
                                                   "real one)")
            .arg(shown);
    return shown;
}

void TCddb::notAFreedbServer()
{
    m_state = TState::RequestFailed;
    status(QCoreApplication::translate("Cddb", "The server %1 did not answer as a freedb server").arg(urlPrefix()),
        TCddbStatusKind::RequestFailed);
}

void TCddb::HandleReply(quint64 serial, int error, const QString& errorText, const QByteArray& body)
{
    if (serial != m_serial) return; // a reply to an abandoned request
    if (error != 0) {
        m_state = TState::RequestFailed;
        if (error > THttpClient::HttpStatusError)
            status(QCoreApplication::translate("Cddb", "The server %1 answered %2; it is not a freedb server")
                       .arg(urlPrefix(), EscapeControls(errorText)),
                TCddbStatusKind::RequestFailed, error - THttpClient::HttpStatusError);
        else if (error == THttpClient::RedirectRefused)
            status(QCoreApplication::translate("Cddb", "The server %1 has moved to %2; enter that address as the "
                                                       "server in Options > Connection")
                       .arg(urlPrefix(), errorText),
                   TCddbStatusKind::RequestFailed);
        else if (THttpClient::IsProxyFailure(error))
            status(errorText, TCddbStatusKind::RequestFailed); // it names the proxy, which is what failed
        else
            status(cannotConnect(EscapeControls(errorText)), TCddbStatusKind::RequestFailed);
        return;
    }
    // Below level 6 the server sends ISO-8859-1, whatever the bytes would also be.
    const QString text = m_request.Level >= 6 ? DecodeReplyText(body) : QString::fromLatin1(body);
    const QStringList lines = SplitLines(text);
    // Every CDDB reply begins with a three-digit status line; anything else (a proxy's or a web
    // server's page) must never be taken for an entry.
    const QString first = lines.isEmpty() ? QString() : lines.first();
    if (!isStatusLine(first)) {
        dataExchange(EscapeControls(first.left(MaxForeignEcho), true));
        if (serial != m_serial) return;
        notAFreedbServer();
        return;
    }
    // The parser is chosen by the request, whatever a handler did to the state meanwhile.
    switch (m_request.State) {
    case TState::Querying: queryReply(lines); break;
    case TState::Reading: readReply(lines); break;
    case TState::GettingSites: sitesReply(lines); break;
    default: break;
    }
}

bool TCddb::IsMatchLine(const QString& text)
{
    // "rock a10b600c Artist / Title"
    const qsizetype space = text.indexOf(' ');
    if (space < 1 || text.size() < space + 11 || text[space + 9] != ' ') return false;
    for (qsizetype i = 0; i < space; ++i)
        if (!isAsciiLetterOrDigit(text[i])) return false;
    for (qsizetype i = space + 1; i < space + 9; ++i)
        if (!isHexDigit(text[i])) return false;
    return !TrimControls(text.mid(space + 10)).isEmpty();
}

bool TCddb::askAtLowerLevel(const QString& line)
{
    const int refused = m_request.Level;
    if (m_request.Retried || refused <= 1 || line.left(3) != "501" ||
        !line.contains("protocol level", Qt::CaseInsensitive))
        return false;
    // The highest level below the refused one that the line names ("... supported 5"), else 5: cddbd
    // names only the level it refused, and old mirrors run it configured for level 5.
    int level = 0;
    static const QRegularExpression number("\\d{1,2}");
    for (auto it = number.globalMatch(line.mid(3, MaxForeignEcho)); it.hasNext();) {
        const int n = it.next().captured().toInt();
        if (n >= 1 && n < refused) level = std::max(level, n);
    }
    if (level == 0) level = std::min(5, refused - 1);
    m_protocolLevel = level;
    const quint64 serial = m_serial;
    status(QCoreApplication::translate("Cddb", "The server refused protocol level %1; asking again at level %2")
               .arg(refused)
               .arg(level));
    if (serial != m_serial) return true;
    TRequest again = m_request;
    again.Level = level;
    again.Retried = true;
    startRequest(again);
    return true;
}

namespace {

// The code of a status line; -1 for a line that does not begin with three digits.
int statusCode(const QString& line) { return isStatusLine(line) ? line.left(3).toInt() : -1; }

// Every code ending in 30 closes the connection, 530 included.
bool closesConnection(int code) { return code % 100 == 30; }

// The text of a status code (0 to 999): a few codes have their own; the others are told by their
// first digit (the class) and their last two (what comes next). Empty for a code of neither.
QString statusCodeText(int c)
{
    static constexpr struct {
        int code;
        const char* text;
    } own[] = {
        {402, QT_TRANSLATE_NOOP("Cddb", "Server error")},
        {408, QT_TRANSLATE_NOOP("Cddb", "CGI environment error")},
        {500, QT_TRANSLATE_NOOP("Cddb", "Command syntax error, command unknown, command unimplemented")},
        {530, QT_TRANSLATE_NOOP("Cddb", "Server error, server timeout")},
    };
    for (const auto& [code, text] : own)
        if (code == c) return QCoreApplication::translate("Cddb", text);
    // By the first digit, 1 to 5.
    static constexpr const char* classes[] = {
        QT_TRANSLATE_NOOP("Cddb", "Informative message"),
        QT_TRANSLATE_NOOP("Cddb", "Command OK"),
        QT_TRANSLATE_NOOP("Cddb", "Command OK so far"),
        QT_TRANSLATE_NOOP("Cddb", "Command OK, but cannot be performed"),
        QT_TRANSLATE_NOOP("Cddb", "Command unimplemented, incorrect, or program error"),
    };
    // By the last two digits: 00, 10, 20 and 30.
    static constexpr const char* nexts[] = {
        QT_TRANSLATE_NOOP("Cddb", ", ready for further commands"),
        QT_TRANSLATE_NOOP("Cddb", ", more server-to-client output follows"),
        QT_TRANSLATE_NOOP("Cddb", ", more client-to-server input follows"),
        QT_TRANSLATE_NOOP("Cddb", ", connection will close"),
    };
    QString text;
    const int digit = c / 100, rest = c % 100;
    if (digit >= 1 && digit <= int(std::size(classes))) text = QCoreApplication::translate("Cddb", classes[digit - 1]);
    if (rest % 10 == 0 && rest / 10 < int(std::size(nexts))) text += QCoreApplication::translate("Cddb", nexts[rest / 10]);
    return text;
}

} // namespace

QString TCddb::GenericStatusText(const QString& line, bool* closes)
{
    const int code = statusCode(line);
    if (closes) *closes = code >= 0 && closesConnection(code);
    return code >= 0 ? statusCodeText(code) : QString();
}

void TCddb::genericStatus(const QString& line)
{
    const int code = statusCode(line);
    if (code < 0) return;
    if (closesConnection(code)) m_state = TState::Idle;
    const QString text = statusCodeText(code);
    if (text.isEmpty()) return;
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

void TCddb::queryReply(const QStringList& lines)
{
    const quint64 serial = m_serial;
    auto alive = [&] { return serial == m_serial; };
    const QString& first = lines.first();
    dataExchange(EscapeControls(first, true));
    if (!alive() || askAtLowerLevel(first)) return;
    const int code = first.left(3).toInt();
    if (code == 200) {
        m_matchesExact = true;
        // "200 categ discid dtitle": anything else after a 200 is no answer to a query.
        const QString match = TrimControls(first.mid(4));
        if (first.size() < 4 || first[3] != ' ' || !IsMatchLine(match)) {
            notAFreedbServer();
            return;
        }
        m_state = TState::MatchChosen;
        status(QCoreApplication::translate("Cddb", "Found exact match"));
        if (!alive()) return;
        m_matches.fill(QString());
        m_matches[0] = SingleLine(match);
        m_matchesOffered = 1;
        askMatch(0);
        return;
    }
    if (code == 202) {
        m_state = TState::QueryFailed;
        status(QCoreApplication::translate("Cddb", "No match found"), TCddbStatusKind::NoMatch, 202);
        return;
    }
    if (code != 210 && code != 211) {
        // An error (401, 403, 409, 500, 530 ...) or a status no query is answered with: the server's
        // own line says why, and nothing more is coming.
        m_state = TState::QueryFailed;
        status(serverLine(first), TCddbStatusKind::ServerError, code);
        return;
    }
    m_matchesExact = code == 210;
    status(code == 210 ? QCoreApplication::translate("Cddb", "Found exact matches")
                       : QCoreApplication::translate("Cddb", "Found inexact matches"));
    if (!alive()) return;
    m_matches.fill(QString());
    m_matchesOffered = 0;
    status(QCoreApplication::translate("Cddb", "OK, receiving matches"));
    if (!alive()) return;
    // Match lines up to the "."; lines past the hundredth are dropped, but counted for the log. A line
    // that names no match is dropped too.
    bool ended = false;
    qsizetype foreign = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        dataExchange(EscapeControls(lines[i], true));
        if (!alive()) return;
        if (isTerminator(lines[i])) {
            ended = true;
            break;
        }
        const QString match = TrimControls(lines[i]);
        if (match.isEmpty()) continue;
        if (!IsMatchLine(match)) {
            ++foreign;
            continue;
        }
        if (m_matchesOffered < MaxMatches) m_matches[size_t(m_matchesOffered)] = SingleLine(match);
        ++m_matchesOffered;
    }
    if (!ended) {
        // The body has ended: a list without its "." was cut short on the way.
        m_state = TState::QueryFailed;
        status(QCoreApplication::translate("Cddb", "The match list is corrupt"), TCddbStatusKind::CorruptEntry,
               code);
        return;
    }
    if (m_matches[0].isEmpty()) {
        if (foreign > 0) {
            notAFreedbServer();
            return;
        }
        m_state = TState::QueryFailed;
        status(QCoreApplication::translate("Cddb", "No match found"), TCddbStatusKind::NoMatch);
        return;
    }
    m_state = TState::MatchesReceived;
    status(QCoreApplication::translate("Cddb", "Received matches"));
    if (!alive()) return;
    askMatch(-1);
}

void TCddb::readReply(const QStringList& lines)
{
    const quint64 serial = m_serial;
    auto alive = [&] { return serial == m_serial; };
    const QString& first = lines.first();
    dataExchange(EscapeControls(first, true));
    if (!alive() || askAtLowerLevel(first)) return;
    const int code = first.left(3).toInt();
    if (code != 210) {
        // The server's reason alone: there is no entry to check.
        m_state = TState::ReadFailed;
        status(serverLine(first), code == 401 ? TCddbStatusKind::NotFound : TCddbStatusKind::ServerError, code);
        return;
    }
    status(QCoreApplication::translate("Cddb", "OK, CDDB database entry follows"));
    if (!alive()) return;
    m_entry.fill(QString());
    // Lines up to the "."; past the 1024th they are dropped. A line is kept as it came: a value
    // continued on the next line may end in the space between two words. A status line inside the
    // entry means the server failed on the way.
    bool ended = false, broken = false;
    size_t kept = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        dataExchange(EscapeControls(line, true));
        if (!alive()) return;
        if (isTerminator(line)) {
            ended = true;
            break;
        }
        if (line.isEmpty()) continue;
        if (QString("#TDEP").contains(line[0])) {
            if (kept < m_entry.size()) m_entry[kept++] = line;
        } else if (isStatusLine(line)) {
            broken = true;
        }
    }
    if (!ended) {
        m_state = TState::ReadFailed;
        status(QCoreApplication::translate("Cddb", "The entry is corrupt"), TCddbStatusKind::CorruptEntry);
        return;
    }
    m_state = TState::EntryRead;
    status(QCoreApplication::translate("Cddb", "Entry read"), TCddbStatusKind::EntryRead);
    if (!alive()) return;
    if (broken || !CheckEntry(EntryLines()))
        status(QCoreApplication::translate("Cddb", "The entry is corrupt"), TCddbStatusKind::CorruptEntry);
}

void TCddb::sitesReply(const QStringList& lines)
{
    const quint64 serial = m_serial;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        dataExchange(EscapeControls(lines[i], true));
        if (serial != m_serial || (i == 0 && askAtLowerLevel(lines[i]))) return;
        parseSitesLine(lines[i]);
        if (serial != m_serial || m_state != TState::GettingSites) return;
    }
    // A list cut off before its "." line is no list: say so instead of waiting for more.
    m_state = TState::NoSites;
    status(QCoreApplication::translate("Cddb", "The server list ended without its closing line"),
        TCddbStatusKind::ServerError);
}

void TCddb::parseSitesLine(const QString& line)
{
    // Lines after the end of the list, or after a failure, belong to no list.
    if (m_state != TState::GettingSites) return;
    if (!m_sitesListed) {
        // The reply's status line (HandleReply saw three digits): only 210 brings a list.
        if (line.startsWith("210")) {
            m_sitesListed = true;
            status(QCoreApplication::translate("Cddb", "OK, receiving sites"));
        } else if (line.startsWith("401")) {
            m_state = TState::NoSites;
            status(
                QCoreApplication::translate("Cddb", "No site information available"), TCddbStatusKind::NotFound, 401);
        } else {
            m_state = TState::NoSites;
            genericStatus(line);
        }
        return;
    }
    if (line.startsWith('.')) {
        m_state = TState::SitesReceived;
        status(QCoreApplication::translate("Cddb", "Got sites"));
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
