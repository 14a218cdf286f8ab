// The name query over the freedb web search: the artist and album words go to the search page, its
// result page becomes match lines, the user picks one, and the chosen entry is fetched and delivered
// as an album record whose titles the user then pairs with the files.
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
    QString SearchUrl;    // the search address, %s standing for the words
};

// The freedb name query: the words go to the web search, the user picks a match, its entry is fetched.
// The entry's titles are in its own order: the outcome asks for pairing them with the files.
class TNameQuery : public TLookupSource {
    Q_OBJECT
public:
    // Without an HTTP client of its own the query uses the network module's.
    explicit TNameQuery(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TNameQuery() override;

    void setConfig(const TNameQueryConfig& config);

    // A search for the request's Artist and Album words. Both empty: logs why, sends nothing, false.
    bool start(const TLookupRequest& request) override;
    void choose(int index) override;
    void cancel() override;
    void abandon() override;
    bool running() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace cantorix
