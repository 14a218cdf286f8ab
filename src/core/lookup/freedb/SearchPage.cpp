// The web search's words and address, and the two layouts of its result page.
#include "core/lookup/freedb/NameQuery.h"

#include "core/lookup/freedb/XmcdEntry.h"

#include <QRegularExpression>
#include <QUrl>

#include <array>

namespace cantorix {

namespace {

constexpr std::array<const char*, 11> Categories = {"blues", "classical", "country", "data", "folk", "jazz",
                                                    "misc", "newage", "reggae", "rock", "soundtrack"};
// A page is not expected to list more; the match window stays usable.
constexpr int MaxMatches = 500;

// The HTML 4 names of the characters U+00A0 to U+00FF, in order.
constexpr std::array<const char*, 96> Latin1Entities = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

// The character an entity name ("amp", "#38", "#x26") stands for; 0 when it is none.
char32_t entityValue(const QString& name)
{
    if (name.startsWith('#')) {
        bool ok = false;
        const uint v = name.size() > 1 && (name[1] == 'x' || name[1] == 'X') ? name.mid(2).toUInt(&ok, 16)
                                                                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
        return char32_t(v);
    }
    if (name == "amp") return '&';
    if (name == "lt") return '<';
    if (name == "gt") return '>';
    if (name == "quot") return '"';
    if (name == "apos") return '\'';
    for (size_t i = 0; i < Latin1Entities.size(); ++i)
        if (name == QLatin1String(Latin1Entities[i])) return char32_t(0xA0 + i);
    return 0;
}

// Entities decoded; one that is not known stays as it stands.
QString decodeEntities(const QString& html)
{
    QString out;
    out.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype semicolon = html[i] == '&' ? html.indexOf(';', i + 1) : -1;
        // Entity names are short; a lone "&" in text is no entity.
        if (semicolon > i + 1 && semicolon - i <= 10) {
            if (const char32_t c = entityValue(html.mid(i + 1, semicolon - i - 1))) {
                out += QString::fromUcs4(&c, 1);
                i = semicolon + 1;
                continue;
            }
        }
        out += html[i++];
    }
    return out;
}

// The text of a piece of HTML as shown: tags removed, entities decoded, every run of white space
// and control characters one space, trimmed.
QString plainText(const QString& html)
{
    QString text;
    bool inTag = false;
    for (QChar c : html) {
        if (inTag) {
            if (c == '>') inTag = false;
        } else if (c == '<') {
            inTag = true;
        } else {
            text += c;
        }
    }
    text = decodeEntities(text);
    text = SingleLine(text);
    for (QChar& c : text)
        if (c.isSpace()) c = ' ';
    return text.simplified();
}

// The value of the attribute `name` in a start tag (quoted or not), entities decoded.
QString attribute(const QString& tag, const QString& name)
{
    static const QRegularExpression re(
        R"re((?:^|\s)([a-zA-Z-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re");
    for (auto it = re.globalMatch(tag); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0) continue;
        for (int g = 2; g <= 4; ++g)
            if (m.capturedStart(g) >= 0) return decodeEntities(m.captured(g));
    }
    return {};
}

bool isCategory(const QString& text)
{
    for (const char* c : Categories)
        if (text == QLatin1String(c)) return true;
    return false;
}

bool isDiscId(const QString& text)
{
    if (text.size() != 8) return false;
    for (QChar c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// A query item of a link ("cat", "id"): its value up to the next "&", "#" or end.
QString queryItem(const QString& href, const QString& name)
{
    const qsizetype query = href.indexOf('?');
    if (query < 0) return {};
    for (const QString& item : href.mid(query + 1).section('#', 0, 0).split('&'))
        if (item.startsWith(name + '=', Qt::CaseInsensitive)) return item.mid(name.size() + 1);
    return {};
}

bool isNumber(const QString& text)
{
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

} // namespace

QString MatchLine(const TSearchMatch& match)
{
    return match.Category + ' ' + match.DiscId + ' ' + match.Title;
}

QByteArray SearchWords(const QString& artist, const QString& album)
{
    QByteArray words;
    for (const QString& field : {artist, album}) {
        const QString trimmed = field.trimmed();
        if (trimmed.isEmpty()) continue;
        // "&", "+", "/" and every non-ASCII byte are escaped, so no word can end or change the query.
        QByteArray encoded = QUrl::toPercentEncoding(trimmed, " ");
        encoded.replace(' ', '+');
        if (!words.isEmpty()) words += '+';
        words += encoded;
    }
    return words;
}

QString SearchAddress(const QString& urlTemplate, const QString& artist, const QString& album)
{
    QString address = urlTemplate.trimmed();
    return address.replace("%s", QString::fromLatin1(SearchWords(artist, album)));
}

// The layout is told by the links themselves, so the page's address does not matter to the reading;
// the entry's address is made from it by the query.
QList<TSearchMatch> ParseSearchPage(const QByteArray& html, const QString& pageUrl)
{
    Q_UNUSED(pageUrl);
    const QString page = DecodeReplyText(html);
    QList<TSearchMatch> matches;
    QString title; // the title of the last album link: numbered and Discid links repeat it
    static const QRegularExpression discIdText(R"(^Discid:\s*(\S+)\s*/\s*(\S+)$)",
                                               QRegularExpression::CaseInsensitiveOption);
    qsizetype pos = 0;
    while (matches.size() < MaxMatches) {
        // Each link: <a ...>text</a>. The search always moves forward.
        const qsizetype open = page.indexOf("<a", pos, Qt::CaseInsensitive);
        if (open < 0) break;
        pos = open + 2;
        if (open + 2 < page.size() && !page[open + 2].isSpace()) continue; // <abbr>, <address> ...
        const qsizetype tagEnd = page.indexOf('>', pos);
        if (tagEnd < 0) break;
        const qsizetype close = page.indexOf("</a", tagEnd, Qt::CaseInsensitive);
        if (close < 0) break;
        const QString href = attribute(page.mid(open + 2, tagEnd - open - 2), "href");
        const QString text = plainText(page.mid(tagEnd + 1, close - tagEnd - 1));
        pos = close + 3;

        TSearchMatch match;
        if (href.contains("freedb_search_fmt.php", Qt::CaseInsensitive)) {
            // The classic layout: "Artist / Album" links, and numbered links ("2") to the same album
            // in another category.
            match.Category = queryItem(href, "cat").toLower();
            match.DiscId = queryItem(href, "id").toLower();
            if (!text.isEmpty() && !isNumber(text)) title = text;
            match.From = TSearchMatch::Source::SitePage;
        } else if (const QRegularExpressionMatch m = discIdText.match(text); m.hasMatch()) {
            // gnudb: "Discid: rock / 920b810c" after the album's link.
            match.Category = m.captured(1).toLower();
            match.DiscId = m.captured(2).toLower();
            match.From = TSearchMatch::Source::CddbRead;
        } else {
            if (href.contains("/cd/") && !text.isEmpty()) title = text;
            continue;
        }
        if (!isCategory(match.Category) || !isDiscId(match.DiscId)) continue;
        match.Title = title;
        matches.append(match);
    }
    return matches;
}

} // namespace cantorix
