#include "core/Text.h"

namespace cantorix {

QString TrimControls(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= ' ') ++b;
    while (e > b && s[e - 1].unicode() <= ' ') --e;
    return s.mid(b, e - b);
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
