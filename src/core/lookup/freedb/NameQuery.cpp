#include "core/lookup/freedb/NameQuery.h"

#include "core/Text.h"
#include "core/net/HttpGet.h"
#include "core/net/HttpModule.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace cantorix {

namespace {

const char* const NotFoundText = QT_TRANSLATE_NOOP("NameQuery", "Album not found in FreeDB or connection failed");
const char* const NoConnectionText = QT_TRANSLATE_NOOP("NameQuery", "Failed to connect to the FreeDB");

// The CDDB client reads through the query's own client: one request at a time, in turn.
class TBorrowedHttpClient : public THttpClient {
public:
    explicit TBorrowedHttpClient(THttpClient& http) : m_http(http) {}
    bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) override
    {
        return m_http.GetAsync(url, proxy, std::move(done), errorText);
    }
    bool Fetch(const QString& url, const TFetchOptions& options, Completion done, QString* errorText) override
    {
        return m_http.Fetch(url, options, std::move(done), errorText);
    }
    void Abort() override { m_http.Abort(); }

private:
    THttpClient& m_http;
};

bool hasAlbumTitle(const QStringList& lines)
{
    return std::any_of(lines.begin(), lines.end(),
                       [](const QString& line) { return XmcdKey(line).compare("DTITLE", Qt::CaseInsensitive) == 0; });
}

// "Artist / Album" at its first " / "; without one the whole title is both, as an entry's DTITLE is.
void splitTitle(const QString& title, QString& artist, QString& album)
{
    const qsizetype slash = title.indexOf(" / ");
    album = (slash < 0 ? title : title.mid(slash + 3)).trimmed();
    artist = slash < 0 ? album : title.left(slash).trimmed();
}

} // namespace

struct TNameQuery::Private {
    enum class Stage { Idle, Searching, Choosing, Fetching, Reading };

    TNameQuery* q;
    std::unique_ptr<THttpClient> http;
    THTTPGet get;
    TCddb cddb;
    QTimer timer; // the time limit of a CDDB read
    TNameQueryConfig config;
    Stage stage = Stage::Idle;
    bool active = false;
    bool starting = false; // inside start(): an end is reported from the event loop
    std::optional<TLookupOutcome::Kind> ended;
    quint64 run = 0; // number of the current query, to drop queued work of older ones
    QString folder, searchAddress;
    QList<TSearchMatch> matches;

    Private(TNameQuery* owner, std::unique_ptr<THttpClient> client)
        : q(owner), http(client ? std::move(client) : NewQtHttpClient()), get(http.get()),
          cddb(std::make_unique<TBorrowedHttpClient>(*http))
    {
        timer.setSingleShot(true);
    }

    int timeoutSeconds() const { return config.Lookup.timeoutSeconds(); }
    bool live() const { return active && !ended; }
    void log(const QString& line) { emit q->logLine(line); }

    // The end of a query: its outcome, once.
    void end(TLookupOutcome::Kind kind, const QString& reason, int code = 0, const AlbumRecord& record = {})
    {
        if (!live()) return;
        timer.stop();
        stage = Stage::Idle;
        ended = kind;
        TLookupOutcome outcome;
        outcome.kind = kind;
        outcome.reason = reason;
        outcome.code = code;
        outcome.folder = folder;
        outcome.record = record;
        outcome.needsPairing = kind == TLookupOutcome::Kind::EntryRead;
        if (starting) {
            QMetaObject::invokeMethod(q, [this, outcome, current = run] {
                if (current == run && active) emit q->finished(outcome);
            }, Qt::QueuedConnection);
            return;
        }
        emit q->finished(outcome);
    }

    void download(const QString& url)
    {
        get.URL = url;
        get.TimeoutSeconds = timeoutSeconds();
        get.GetFile();
    }

    void downloadDone(const QByteArray& bytes)
    {
        if (!live()) return;
        if (stage == Stage::Searching) {
            searchPageRead(bytes);
        } else if (stage == Stage::Fetching) {
            entryLinesRead(SplitLines(DecodeReplyText(bytes)));
        }
    }

    void downloadFailed()
    {
        if (!live() || (stage != Stage::Searching && stage != Stage::Fetching)) return;
        if (get.TimedOut()) {
            const QString line = QCoreApplication::translate("NameQuery", "No answer from %1 within %2 seconds")
                                     .arg(QUrl(get.URL).adjusted(QUrl::RemovePath | QUrl::RemoveQuery).toString())
                                     .arg(timeoutSeconds());
            log(line);
            end(TLookupOutcome::Kind::TimedOut, line);
            return;
        }
        // The reason may hold the server's own reason phrase.
        log(QCoreApplication::translate("NameQuery", "Download of %1 failed: %2")
                .arg(get.URL, EscapeControls(get.ErrorText())));
        log(QCoreApplication::translate("NameQuery", NoConnectionText));
        end(TLookupOutcome::Kind::Failed, QCoreApplication::translate("NameQuery", NoConnectionText));
    }

    void searchPageRead(const QByteArray& page)
    {
        matches = ParseSearchPage(page, searchAddress);
        if (matches.isEmpty()) {
            log(QCoreApplication::translate("NameQuery", NotFoundText));
            end(TLookupOutcome::Kind::NoMatch, QCoreApplication::translate("NameQuery", NotFoundText));
            return;
        }
        log(matches.size() == 1
                ? QCoreApplication::translate("NameQuery", "1 match found from FreeDB")
                : QCoreApplication::translate("NameQuery", "%1 matches found from FreeDB").arg(matches.size()));
        QStringList lines;
        for (const TSearchMatch& m : std::as_const(matches)) lines << MatchLine(m);
        stage = Stage::Choosing;
        emit q->candidatesFound(lines, 0); // the answer may come from inside (a modal window)
    }

    void choose(int index)
    {
        if (!live() || stage != Stage::Choosing) return;
        if (index < 0 || index >= matches.size()) {
            end(TLookupOutcome::Kind::Cancelled, QCoreApplication::translate("NameQuery", "No match chosen"));
            return;
        }
        const TSearchMatch match = matches[index];
        QString artist, album;
        splitTitle(match.Title, artist, album);
        emit q->candidateChosen(artist, album);
        if (!live()) return;
        log(QCoreApplication::translate("NameQuery", "Attempting to get album data from FreeDB"));
        emit q->stepChanged(TLookupStep::Reading);
        if (match.From == TSearchMatch::Source::SitePage) {
            const QUrl site = QUrl(searchAddress).adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
            stage = Stage::Fetching;
            download(site.toString(QUrl::FullyEncoded) + "/freedb/" + match.Category + "/" + match.DiscId);
            return;
        }
        // gnudb's matches are read from its CDDB server, as the checksum lookup reads them.
        stage = Stage::Reading;
        ApplyLookupConfig(cddb, config.Lookup);
        cddb.ChooseEntry(match.Category, match.DiscId);
        timer.start(timeoutSeconds() * 1000);
        cddb.ReadEntry(); // a refused request shows up as a status
    }

    void cddbStatus(const QString& text)
    {
        if (!live() || stage != Stage::Reading) return;
        const TCddbStatus status = cddb.LastStatus();
        log(text);
        switch (status.Kind) {
        case TCddbStatusKind::EntryRead:
            // Delivered once the whole reply is handled: the client checks the entry after its last
            // line, and a corrupt entry must end the query as a failure.
            QMetaObject::invokeMethod(q, [this, current = run] {
                if (current == run && live() && stage == Stage::Reading) entryLinesRead(cddb.EntryLines());
            }, Qt::QueuedConnection);
            break;
        case TCddbStatusKind::NotFound:
        case TCddbStatusKind::CorruptEntry:
        case TCddbStatusKind::ServerError:
        case TCddbStatusKind::RequestFailed:
        case TCddbStatusKind::NoMatch: cddb.Abort(); end(TLookupOutcome::Kind::Failed, text, status.Code); break;
        case TCddbStatusKind::Progress: break;
        }
    }

    void cddbData(const QString& line)
    {
        if (!live() || stage != Stage::Reading || config.Lookup.HideData) return;
        QString text = line;
        while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
        log("[DE] " + text);
    }

    void readTimedOut()
    {
        if (!live() || stage != Stage::Reading) return;
        cddb.Abort();
        const QString line = QCoreApplication::translate("NameQuery", "No answer from %1 within %2 seconds")
                                 .arg(cddb.ServerUrl())
                                 .arg(timeoutSeconds());
        log(line);
        end(TLookupOutcome::Kind::TimedOut, line);
    }

    // The chosen entry, from the web site's page or the CDDB server. One without an album title is no
    // entry (an error page, a page of another layout): the fields stay as they are.
    void entryLinesRead(const QStringList& lines)
    {
        if (!hasAlbumTitle(lines)) {
            const QString corrupt = QCoreApplication::translate("NameQuery", "The entry is corrupt: it has no DTITLE");
            log(corrupt);
            end(TLookupOutcome::Kind::Failed, corrupt);
            return;
        }
        const AlbumRecord record = ReadNameEntry(lines);
        log(QCoreApplication::translate("NameQuery", "Album data received. Please sort files carefully!"));
        end(TLookupOutcome::Kind::EntryRead, QCoreApplication::translate("NameQuery", "Entry read"), 0, record);
    }
};

TNameQuery::TNameQuery(std::unique_ptr<THttpClient> http, QObject* parent)
    : TLookupSource(parent), d(std::make_unique<Private>(this, std::move(http)))
{
    connect(&d->get, &THTTPGet::progress, this, [this](qint64 received, qint64 total) {
        if (d->live()) emit progress(received, total);
    });
    connect(&d->get, &THTTPGet::done, this, [this](const QByteArray& body) { d->downloadDone(body); });
    connect(&d->get, &THTTPGet::error, this, [this] { d->downloadFailed(); });
    connect(&d->timer, &QTimer::timeout, this, [this] { d->readTimedOut(); });
    d->cddb.OnStatusMessage = [this](TCddb&, const QString& text) { d->cddbStatus(text); };
    d->cddb.OnDataExchange = [this](TCddb&, const QString& line) { d->cddbData(line); };
}

TNameQuery::~TNameQuery()
{
    // The client's handlers point here; nothing may reach them while the members go.
    d->cddb.Abort();
    d->cddb.OnStatusMessage = nullptr;
    d->cddb.OnDataExchange = nullptr;
    d->get.disconnect(this);
}

void TNameQuery::setConfig(const TNameQueryConfig& config) { d->config = config; }

bool TNameQuery::start(const TLookupRequest& request)
{
    abandon();
    if (SearchWords(request.Artist, request.Album).isEmpty()) {
        emit logLine(QCoreApplication::translate("NameQuery", "Enter an artist or an album to search for"));
        return false;
    }
    ++d->run;
    d->active = true;
    d->starting = true;
    d->ended.reset();
    d->folder = WithSlash(request.Folder);
    d->matches.clear();
    if (!d->config.Lookup.Note.isEmpty()) emit logLine(d->config.Lookup.Note);
    emit logLine(QCoreApplication::translate("NameQuery", "Querying album by name..."));

    const QString urlTemplate = d->config.SearchUrl.trimmed();
    if (!urlTemplate.contains("%s")) {
        const QString why =
            QCoreApplication::translate("NameQuery", "The search address \"%1\" has no %s for the words")
                .arg(urlTemplate);
        emit logLine(why);
        d->end(TLookupOutcome::Kind::Failed, why);
    } else {
        d->searchAddress = SearchAddress(urlTemplate, request.Artist, request.Album);
        d->stage = Private::Stage::Searching;
        emit stepChanged(TLookupStep::Searching);
        d->download(d->searchAddress);
    }
    d->starting = false;
    return true;
}

void TNameQuery::abandon()
{
    ++d->run;
    d->active = false;
    d->stage = Private::Stage::Idle;
    d->timer.stop();
    d->get.Stop();
    d->cddb.Abort();
}

bool TNameQuery::running() const { return d->live(); }

void TNameQuery::choose(int index) { d->choose(index); }

void TNameQuery::cancel()
{
    if (!d->live()) return;
    // The request in flight goes; whatever it would still deliver is never looked at.
    d->get.Stop();
    d->cddb.Abort();
    d->end(TLookupOutcome::Kind::Cancelled,
        d->stage == Private::Stage::Choosing ? QCoreApplication::translate("NameQuery", "Match choice cancelled")
                                             : QCoreApplication::translate("NameQuery", "The lookup was cancelled"));
}

} // namespace cantorix
