// The CDDB client: talks to a freedb server with the CDDB protocol, level 6, carried by HTTP GET of
// the server's CGI script. Three asynchronous requests (disc query, entry read, server list); the
// results come back through the events OnStatusMessage (progress and result texts),
// OnDataExchange (every line sent or received) and OnMatch (choose one of the matches).
//
// The body of an HTTP reply is the whole CDDB reply: each request ends with the reply that comes, in
// one final status (or OnMatch), never by waiting for more. A server that refuses level 6 is asked
// once more at a lower level.
#pragma once

#include "core/lookup/freedb/DiscID.h"
#include "core/lookup/freedb/ServerSetting.h"
#include "core/net/HttpClient.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

namespace cantorix {

struct TLocation {
    QString Latitude;
    QString Longitude;
    QString Description;
};

// One line of a sites reply.
struct TServer {
    QString Site;    // host name
    QString Address; // CGI path, or "-"
    bool IsHTTP = false;
    int32_t Port = 0;
    TLocation Location;
};

// Match lines of a query reply ("category discid artist / title"), empty where unused.
using TMatchArray = std::array<QString, 100>;

// What a status text of the client reports, so that its users decide on a value and not on the text.
enum class TCddbStatusKind {
    Progress,      // a request started, or a reply line that went well ("Found exact match", "Command OK")
    EntryRead,     // "Entry read": the entry lines are complete
    NoMatch,       // the query found no match (202, an empty match list)
    NotFound,      // 401: the entry to read, or the site list, does not exist
    CorruptEntry,  // the entry read failed the completeness check, or it or a match list was cut short
    ServerError,   // any other status the request cannot go on from (402, 403, 409, 500, 530 ...): the
                   // text is the server's own line
    RequestFailed, // the HTTP client could not start the request or reported a transport/HTTP failure,
                   // or the reply is no CDDB reply (its first line, or a 200 line that names no match)
};

// One status of the client: its text as OnStatusMessage gets it, its kind and the reply's status code.
struct TCddbStatus {
    TCddbStatusKind Kind = TCddbStatusKind::Progress;
    int Code = 0; // the three-digit code of the reply line behind it; 0 when none is behind it
    QString Text;
};

class TCddb : public QObject {
    Q_OBJECT
public:
    enum class TState {
        Idle,
        Querying,
        MatchesReceived, // a multiple-match list is complete and OnMatch is being asked
        MatchChosen,     // a match has been chosen and can be read
        QueryFailed,
        Reading,
        EntryRead,
        ReadFailed,
        GettingSites,
        SitesReceived,
        NoSites,
        RequestFailed,
    };

    static constexpr int MaxMatches = 100;
    // The level asked first; level 6 is level 5 in UTF-8.
    static constexpr int PreferredLevel = 6;
    static constexpr int MaxEntryLines = 1024;
    static constexpr int MaxServers = 100;
    // Answer of an OnMatch handler that chooses later, by ChooseMatch: the client keeps its state
    // (MatchesReceived) and its matches until then.
    static constexpr int ChoiceLater = -2;

    using TStatusEvent = std::function<void(TCddb& sender, const QString& status)>;
    using TMatchEvent = std::function<void(TCddb& sender, const TMatchArray& matches, int& rightOne)>;

    // Without a client of its own the component uses TQtHttpClient.
    explicit TCddb(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TCddb() override;

    // Properties, as sent in every request URL. ServerScheme is "http" or "https".
    QString ServerScheme = "http";
    QString ServerAddr = "gnudb.gnudb.org";
    QString ServerPort = "80";
    QString ServerAdditionalAddr = "/~cddb/cddb.cgi";
    QString EmailUser = "cantorix@localhost"; // only its two halves around the last "@" are sent
    QString ClientName = "Cantorix";
    QString ClientVersion = "1.0";

    QString ProxyAddress() const { return m_proxy.Address; }
    QString ProxyPort() const { return m_proxy.Port; }
    QString ProxyUsername() const { return m_proxy.Username; }
    QString ProxyPassword() const { return m_proxy.Password; }
    void SetProxyAddress(const QString& v) { m_proxy.Address = v; }
    void SetProxyPort(const QString& v) { m_proxy.Port = v; }
    void SetProxyUsername(const QString& v) { m_proxy.Username = v; }
    void SetProxyPassword(const QString& v) { m_proxy.Password = v; }
    void SetServer(const TServerAddress& address);

    // An unassigned OnStatusMessage or OnDataExchange is skipped; an unassigned OnMatch keeps the
    // first match. Handlers must not destroy the component (use deleteLater).
    TStatusEvent OnStatusMessage;
    TStatusEvent OnDataExchange;
    TMatchEvent OnMatch;

    // Start a request: 0 when started, -1 when the HTTP client refused it or the server address is no
    // valid address (then the state is RequestFailed and the reason has been sent as a status text). A
    // request started while another is in flight abandons that one.
    int QueryDisc(const TCDDBDiscID& disc);
    int ReadEntry();
    int QuerySites();
    // Abandons the request in flight without any event; the state becomes Idle.
    void Abort();

    // Chooses match `rightOne` for the next ReadEntry (state MatchChosen): the category is the text
    // before the match's first space, the disc ID the 8 characters after it. -1, an index outside
    // the matches or an empty match chooses nothing (state QueryFailed); returns whether one was chosen.
    bool ChooseMatch(int rightOne);
    // Chooses an entry known from elsewhere (a web search) for the next ReadEntry: state MatchChosen.
    void ChooseEntry(const QString& category, const QString& discId);

    // Entry line i of the last entry read (0 to 1023), empty where there is none.
    QString GetEntryLine(int i) const;
    QStringList EntryLines() const;
    // A copy of server record i of the last sites reply (0 to 99); an empty record outside.
    TServer GetServer(int i) const;
    const TMatchArray& Matches() const { return m_matches; }
    // How many match lines the last multiple-match reply held (more than MaxMatches when it was cut).
    int MatchesOffered() const { return m_matchesOffered; }
    // Whether the last query's matches are exact (200 or 210: the disc ID itself) rather than the
    // server's inexact matches (211).
    bool MatchesExact() const { return m_matchesExact; }
    TState State() const { return m_state; }
    // The status last sent to OnStatusMessage; inside that handler, the one being handled.
    const TCddbStatus& LastStatus() const { return m_lastStatus; }
    // The protocol level requests are sent at: PreferredLevel, or the lower one a server that refused
    // it named (kept until SetServer names another server).
    int ProtocolLevel() const { return m_protocolLevel; }
    QString ChosenCategory() const { return m_category; }
    QString ChosenDiscID() const { return m_discId; }

    // The request URLs as sent.
    QString QueryUrl(const TCDDBDiscID& disc) const;
    // The server's address as requests use it: scheme, host, port and CGI path.
    QString ServerUrl() const { return urlPrefix(); }
    QString ReadUrl() const;
    QString SitesUrl() const;

    // Every ASCII letter and digit kept, a space as "+", every other byte (of the UTF-8 text) as "%XX".
    static QString Escape(const QString& text);
    // The status text of a reply line by its three-digit code; *closes is set for codes ending in 30.
    // Empty for a line that does not begin with three digits.
    static QString GenericStatusText(const QString& line, bool* closes = nullptr);
    // Whether `text` is a match line of a query reply: a category (ASCII letters and digits), one
    // space, a disc ID of 8 hexadecimal digits, one space and a title that is not empty.
    static bool IsMatchLine(const QString& text);

    // Handles a completion of the HTTP client for the request numbered `serial`; used by the client's
    // callback and by tests that feed replies.
    void HandleReply(quint64 serial, int error, const QString& errorText, const QByteArray& body);
    // The number of the request in flight (each start takes a new one).
    quint64 RequestSerial() const { return m_serial; }

private:
    // What a request asks, so that it can be asked again at another level.
    struct TRequest {
        QString Command; // the escaped cmd value
        QString StatusText;
        TState State = TState::Idle; // Querying, Reading or GettingSites
        int Level = PreferredLevel;
        bool Retried = false; // already asked again at a lower level
    };

    int startRequest(const TRequest& request);
    QString requestUrl(const QString& command, int level) const;
    QString urlPrefix() const;
    // "Cannot connect to <host>:<port>: <reason>".
    QString cannotConnect(const QString& reason) const;
    // Whether `url` asks the configured scheme, host, port and path (and not some other server).
    bool goesToServer(const QString& url) const;
    QString hello() const;
    void status(const QString& text, TCddbStatusKind kind = TCddbStatusKind::Progress, int code = 0);
    void dataExchange(const QString& line);
    void genericStatus(const QString& line);
    // A reply line as a status text or a log line shows it: trimmed, cut short, controls escaped, with
    // a word on the e-mail setting when the server speaks of the address.
    QString serverLine(const QString& line) const;
    void notAFreedbServer();
    // Asks the request again at a lower level when `line` refuses the level it was sent at; false
    // when it does not, or the request was asked again already.
    bool askAtLowerLevel(const QString& line);
    // Each handles a whole reply whose first line is a status line. A handler of an event may start
    // another request, which ends the reply's handling.
    void queryReply(const QStringList& lines);
    void readReply(const QStringList& lines);
    void sitesReply(const QStringList& lines);
    void parseSitesLine(const QString& line);
    bool askMatch(int fallback);

    std::unique_ptr<THttpClient> m_http;
    THttpProxy m_proxy;
    TState m_state = TState::Idle;
    TCddbStatus m_lastStatus;
    quint64 m_serial = 0;
    TMatchArray m_matches;
    int m_matchesOffered = 0;
    bool m_matchesExact = false;
    std::array<QString, MaxEntryLines> m_entry;
    std::array<TServer, MaxServers> m_servers;
    bool m_sitesListed = false; // the sites reply's 210 line has come
    TRequest m_request;         // the request in flight (or the last one)
    int m_protocolLevel = PreferredLevel;
    QString m_category;
    QString m_discId;
};

} // namespace cantorix
