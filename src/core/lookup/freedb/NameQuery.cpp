#include "core/lookup/freedb/NameQuery.h"

#include "core/Text.h"
#include "core/net/HttpGet.h"
#include "core/net/HttpModule.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QFile>
#include <QMetaObject>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace cantorix {

namespace {

const QString NotFoundText = "Album not found in FreeDB or connection failed";
const QString NoConnectionText = "Failed to connect to the FreeDB";

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

// "Artist / Album" at its first " / "; without one the whole title is the album.
void splitTitle(const QString& title, QString& artist, QString& album)
{
    const qsizetype slash = title.indexOf(" / ");
    artist = slash < 0 ? QString() : title.left(slash).trimmed();
    album = (slash < 0 ? title : title.mid(slash + 3)).trimmed();
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
    std::optional<TLookupOutcome::Kind> ended;
    quint64 run = 0; // number of the current query, to drop queued work of older ones
    QString folder, currentFolder, searchAddress;
    QList<TSearchMatch> matches;

    Private(TNameQuery* owner, std::unique_ptr<THttpClient> client)
        : q(owner), http(client ? std::move(client) : NewQtHttpClient()), get(http.get()),
          cddb(std::make_unique<TBorrowedHttpClient>(*http))
    {
        timer.setSingleShot(true);
    }

    int timeoutSeconds() const { return ClampTimeoutSeconds(config.Lookup.TimeoutSeconds); }
    bool isStale() const { return folder != currentFolder; }
    void log(const QString& line) { emit q->logLine(line); }

    // The end of a query: the controls come back and the outcome follows, once.
    void end(TLookupOutcome::Kind kind, const QString& reason, const TCddbStatus& status = {},
             const AlbumRecord& record = {})
    {
        if (!active || ended) return;
        timer.stop();
        stage = Stage::Idle;
        ended = kind;
        emit q->unlockControls();
        TLookupOutcome outcome;
        outcome.kind = kind;
        outcome.reason = reason;
        outcome.code = status.Code;
        outcome.folder = folder;
        outcome.record = record;
        emit q->finished(outcome);
    }

    // A query whose folder is no longer listed goes quietly: nobody waits for its controls.
    bool droppedAsStale(const QString& what)
    {
        if (!isStale()) return false;
        log(QString("%1 for \"%2\" ignored: another folder is listed").arg(what, folder));
        active = false;
        stage = Stage::Idle;
        timer.stop();
        return true;
    }

    void download(const QString& url, const QString& fileName)
    {
        get.URL = url;
        get.FileName = fileName;
        get.TimeoutSeconds = timeoutSeconds();
        get.GetFile();
    }

    // The downloaded file's bytes; the file is removed at once, whatever happens next.
    QByteArray takeFile(const QString& path)
    {
        QFile file(path);
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly)) bytes = file.read(get.MaxBytes);
        file.close();
        QFile::remove(path);
        return bytes;
    }

    void downloadDone(const QString& path)
    {
        const QByteArray bytes = takeFile(path);
        if (!active || ended) return;
        if (stage == Stage::Searching) {
            searchPageRead(bytes);
        } else if (stage == Stage::Fetching) {
            const QStringList lines = SplitLines(DecodeReplyText(bytes));
            entryLinesRead(lines, {});
        }
    }

    void downloadFailed()
    {
        if (!active || ended || (stage != Stage::Searching && stage != Stage::Fetching)) return;
        const TCddbStatus status{TCddbStatusKind::RequestFailed, 0, get.ErrorText()};
        if (get.TimedOut()) {
            const QString line = QString("No answer from %1 within %2 seconds")
                                     .arg(QUrl(get.URL).adjusted(QUrl::RemovePath | QUrl::RemoveQuery).toString())
                                     .arg(timeoutSeconds());
            log(line);
            end(TLookupOutcome::Kind::TimedOut, line, status);
            return;
        }
        log(QString("Download of %1 failed: %2").arg(get.URL, get.ErrorText()));
        log(NoConnectionText);
        end(TLookupOutcome::Kind::Failed, NoConnectionText, status);
    }

    void searchPageRead(const QByteArray& page)
    {
        matches = ParseSearchPage(page, searchAddress);
        if (matches.isEmpty()) {
            log(NotFoundText);
            end(TLookupOutcome::Kind::NoMatch, NotFoundText, {TCddbStatusKind::NoMatch, 0, NotFoundText});
            return;
        }
        log(QString("%1 matches found from FreeDB").arg(matches.size()));
        if (droppedAsStale("Matches")) return;
        QStringList lines;
        for (const TSearchMatch& m : std::as_const(matches)) lines << MatchLine(m);
        stage = Stage::Choosing;
        emit q->matchChoiceNeeded(lines); // the answer may come from inside (a modal window)
    }

    void choose(int index)
    {
        if (!active || ended || stage != Stage::Choosing) return;
        if (index < 0 || index >= matches.size()) {
            end(TLookupOutcome::Kind::Cancelled, "No match chosen");
            return;
        }
        const TSearchMatch match = matches[index];
        QString artist, album;
        splitTitle(match.Title, artist, album);
        emit q->matchChosen(artist, album);
        if (!active || ended) return;
        log("Attempting to get album data from FreeDB");
        if (match.From == TSearchMatch::Source::SitePage) {
            const QUrl site = QUrl(searchAddress).adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
            stage = Stage::Fetching;
            download(site.toString(QUrl::FullyEncoded) + "/freedb/" + match.Category + "/" + match.DiscId, "temp2.txt");
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
        if (!active || ended || stage != Stage::Reading) return;
        const TCddbStatus status = cddb.LastStatus();
        log(text);
        switch (status.Kind) {
        case TCddbStatusKind::EntryRead:
            // Delivered once the whole reply is handled: the client checks the entry after its last
            // line, and a corrupt entry must end the query as a failure.
            QMetaObject::invokeMethod(q, [this, current = run] {
                if (current == run && active && !ended && stage == Stage::Reading)
                    entryLinesRead(cddb.EntryLines(), cddb.LastStatus());
            }, Qt::QueuedConnection);
            break;
        case TCddbStatusKind::NotFound:
        case TCddbStatusKind::CorruptEntry:
        case TCddbStatusKind::ServerError:
        case TCddbStatusKind::RequestFailed:
        case TCddbStatusKind::NoMatch: cddb.Abort(); end(TLookupOutcome::Kind::Failed, text, status); break;
        case TCddbStatusKind::Progress: break;
        }
    }

    void cddbData(const QString& line)
    {
        if (!active || ended || stage != Stage::Reading || config.Lookup.HideData) return;
        QString text = line;
        while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
        log("[DE] " + text);
    }

    void readTimedOut()
    {
        if (!active || ended || stage != Stage::Reading) return;
        cddb.Abort();
        const QString line = QString("No answer from %1 within %2 seconds").arg(cddb.ServerUrl()).arg(timeoutSeconds());
        log(line);
        end(TLookupOutcome::Kind::TimedOut, line);
    }

    // The chosen entry, from the web site's page or the CDDB server. One without an album title is no
    // entry (an error page, a page of another layout): the fields stay as they are.
    void entryLinesRead(const QStringList& lines, const TCddbStatus& status)
    {
        if (!hasAlbumTitle(lines)) {
            const QString corrupt = "The entry is corrupt: it has no DTITLE";
            log(corrupt);
            end(TLookupOutcome::Kind::Failed, corrupt, {TCddbStatusKind::CorruptEntry, 0, corrupt});
            return;
        }
        if (droppedAsStale("Entry")) return;
        const AlbumRecord record = ReadNameEntry(lines);
        log("Album data received. Please sort files carefully!");
        timer.stop();
        stage = Stage::Idle;
        emit q->entryRead(record, folder);
        end(TLookupOutcome::Kind::EntryRead, "Entry read",
            status.Kind == TCddbStatusKind::EntryRead ? status : TCddbStatus{TCddbStatusKind::EntryRead, 0, "Entry read"},
            record);
    }
};

TNameQuery::TNameQuery(std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), d(std::make_unique<Private>(this, std::move(http)))
{
    connect(&d->get, &THTTPGet::progress, this, [this](qint64 total, qint64 readed) {
        if (d->active && !d->ended) emit progress(readed, total);
    });
    connect(&d->get, &THTTPGet::doneFile, this, [this](const QString& path, qint64) { d->downloadDone(path); });
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

bool TNameQuery::start(const QString& artist, const QString& album, const QString& folder,
                       const TNameQueryConfig& config)
{
    abandon();
    if (SearchWords(artist, album).isEmpty()) {
        emit logLine("Enter an artist or an album to search for");
        return false;
    }
    ++d->run;
    d->active = true;
    d->ended.reset();
    d->folder = WithSlash(folder);
    d->currentFolder = d->folder;
    d->config = config;
    d->matches.clear();
    emit lockControls();
    if (!config.Lookup.Note.isEmpty()) emit logLine(config.Lookup.Note);
    emit logLine("Querying album by name...");

    const QString urlTemplate = config.SearchUrl.trimmed();
    if (!urlTemplate.contains("%s")) {
        const QString why = QString("The search address \"%1\" has no %s for the words").arg(urlTemplate);
        emit logLine(why);
        d->end(TLookupOutcome::Kind::Failed, why, {TCddbStatusKind::RequestFailed, 0, why});
        return true;
    }
    d->searchAddress = SearchAddress(urlTemplate, artist, album);
    d->stage = Private::Stage::Searching;
    d->download(d->searchAddress, "temp1.html");
    return true;
}

void TNameQuery::setCurrentFolder(const QString& folder)
{
    d->currentFolder = WithSlash(folder);
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

bool TNameQuery::running() const
{
    return d->active && !d->ended;
}

void TNameQuery::chooseMatch(int index)
{
    d->choose(index);
}

void TNameQuery::cancelMatchChoice()
{
    if (!d->active || d->ended || d->stage != Private::Stage::Choosing) return;
    d->end(TLookupOutcome::Kind::Cancelled, "Match choice cancelled");
}

} // namespace cantorix
