#include "core/Text.h"

namespace cantorix {

QString TrimControls(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= ' ') ++b;
    while (e > b && s[e - 1].unicode() <= ' ') --e;
    return s.mid(b, e - b);
}

bool IsControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f);
}

bool IsBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
}

QString EscapeControls(const QString& text, bool keepTabs)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n') out += QLatin1String("\\n");
        else if (u == '\t') out += keepTabs ? QString(c) : QString("\\t");
        else if (IsControl(c)) out += QString("\\x%1").arg(uint(u), 2, 16, QChar('0'));
        else if (IsBidiControl(c)) out += QString("\\u%1").arg(uint(u), 4, 16, QChar('0'));
        else out += c;
    }
    return out;
}

QString SingleLine(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (IsControl(c) || IsBidiControl(c) || c.unicode() == 0x2028 || c.unicode() == 0x2029) c = ' ';
    return out;
}

QString WithSlash(const QString& folder)
{
    return folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
}

bool ParseInt32(QStringView text, int32_t* value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const qsizetype digits = text.size() - i;
    // Ten digits cannot overflow the 64-bit sum below.
    if (digits < 1 || digits > 10) return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    if (value) *value = int32_t(v);
    return true;
}

} // namespace cantorix
