// The name query without its windows: the artist and album words go to the web search, its result
// page becomes match lines, the user picks one, the chosen entry is fetched and delivered as an album
// record. The window then lets the user pair the titles with the files (TResultsForm); cantorix-cli
// search prints the pairing.
//
// What the main window does around it (as for TChecksumLookup):
// - lockControls / unlockControls: disable / enable btQuery, MainTree, FileGrid, btRenameByTag, btRefresh;
// - logLine: append to lsLog; progress: the progress bar (total 0 when unknown);
// - matchChoiceNeeded: show TMatchForm; answer with chooseMatch(index) or cancelMatchChoice();
// - matchChosen: the chosen line's artist and album, for edDBArtist/edDBAlbum while the entry loads;
// - entryRead: fill the album fields, run TResultsForm over NumberedTitles(record) and the listed
//   files, ApplyAlignment on "Accept";
// - finished: how it ended (EntryRead, NoMatch, Cancelled, Failed, TimedOut).
#pragma once

#include "core/lookup/freedb/ChecksumLookup.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace cantorix {

class THttpClient;

// One album of a search result page.
struct TSearchMatch {
    QString Category; // one of the 11 freedb categories
    QString DiscId;   // 8 lower-case hex digits
    QString Title;    // "artist / album" as plain text
    // Where the entry comes from: the search site's /freedb/<cat>/<id> page (the classic result
    // layout), or the CDDB server's read command (gnudb's layout).
    enum class Source { SitePage, CddbRead } From = Source::SitePage;
    bool operator==(const TSearchMatch&) const = default;
};

// "rock 920b810c Catharsis / Imago": the match window's line.
QString MatchLine(const TSearchMatch& match);

// The search words: each field trimmed and percent-encoded as UTF-8, spaces as "+", the two joined
// with "+"; empty when both fields are empty.
QByteArray SearchWords(const QString& artist, const QString& album);
// The search address: `urlTemplate` with %s replaced by the words.
QString SearchAddress(const QString& urlTemplate, const QString& artist, const QString& album);
// The matches of a result page of either layout, in page order; `pageUrl` is the address it came
// from (the site of SitePage entries).
QList<TSearchMatch> ParseSearchPage(const QByteArray& html, const QString& pageUrl);

struct TNameQueryConfig {
    TLookupConfig Lookup; // server (for CddbRead entries), time limit, hello, proxy, HideData
    QString SearchUrl;    // [Connection] SearchUrl
};

class TNameQuery : public QObject {
    Q_OBJECT
public:
    // Without an HTTP client of its own the query uses the network module's.
    explicit TNameQuery(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TNameQuery() override;

    // Starts a search for `folder`. Both words empty: logs why, sends nothing, returns false.
    bool start(const QString& artist, const QString& album, const QString& folder, const TNameQueryConfig& config);
    void setCurrentFolder(const QString& folder);
    void abandon();
    bool running() const;

public slots:
    void chooseMatch(int index);
    void cancelMatchChoice();

signals:
    void lockControls();
    void unlockControls();
    void logLine(const QString& line);
    void progress(qint64 received, qint64 total);
    void matchChoiceNeeded(const QStringList& matches);
    void matchChosen(const QString& artist, const QString& album);
    void entryRead(const cantorix::AlbumRecord& record, const QString& folder);
    void finished(const cantorix::TLookupOutcome& outcome);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace cantorix
