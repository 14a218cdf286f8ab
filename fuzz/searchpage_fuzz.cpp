// The web search's result pages, in both layouts, and the search words: whatever a page holds, every
// match names one of the freedb categories and a disc ID, its line is one line without a control
// character, and no word can end or change the query.
#include "FuzzFile.h"
#include "core/Text.h"
#include "core/lookup/freedb/NameQuery.h"

#include <QByteArray>
#include <QString>

using namespace cantorix;

namespace {

// The first byte steers the fuzzer into one layout: the rest follows the start of a result row.
const char* const Prefixes[] = {
    "",
    "<tr><td><a href=\"http://www.freedb.org/freedb_search_fmt.php?cat=",
    "<a href=\"http://www.gnudb.org/cd/ro920b810c\"><b>",
};

bool isDiscId(const QString& id)
{
    if (id.size() != 8) return false;
    for (QChar c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool hasControl(const QString& text)
{
    for (QChar c : text)
        if (IsControl(c) || c.unicode() == 0x2028 || c.unicode() == 0x2029) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const QByteArray page = QByteArray(Prefixes[data[0] % 3]) + rest;
    const QList<TSearchMatch> matches = ParseSearchPage(page, "https://www.gnudb.org/search/x");
    fuzz::check(matches.size() <= 500, "a page gives at most 500 matches");
    static const QStringList categories = {"blues", "classical", "country", "data", "folk", "jazz",
                                           "misc", "newage", "reggae", "rock", "soundtrack"};
    for (const TSearchMatch& m : matches) {
        fuzz::check(categories.contains(m.Category), "a match names a freedb category");
        fuzz::check(isDiscId(m.DiscId), "a match names an 8-digit disc ID");
        fuzz::check(!hasControl(MatchLine(m)), "a match line holds no control character");
        fuzz::check(m.Title == m.Title.trimmed(), "a title is trimmed");
    }

    // The same bytes as the artist and album words of a search.
    const QString text = QString::fromUtf8(rest);
    const QByteArray words = SearchWords(text.left(text.size() / 2), text.mid(text.size() / 2));
    for (char c : words) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '%' || c == '+';
        fuzz::check(plain, "the words hold only unreserved characters, escapes and '+'");
    }
    const QString address = SearchAddress("https://www.gnudb.org/search/%s", text.left(64), text.mid(64));
    fuzz::check(!address.contains('#') && !address.contains('?') && !address.contains(' '),
                "the words cannot change the search address");
    return 0;
}
