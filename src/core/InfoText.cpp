#include "core/InfoText.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

namespace cantorix {

namespace {

// The translation context of the texts below.
struct InfoText {
    Q_DECLARE_TR_FUNCTIONS(InfoText)
};

// A rate as the readers write it: a plain decimal with "." (never a sign or an exponent). Values far
// beyond any real rate are no rate.
bool parseRate(const QString& text, double* value)
{
    if (text.isEmpty() || text.size() > 32) return false;
    for (QChar c : text)
        if (!(c.isDigit() || c == '.')) return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > 1e9) return false;
    *value = v;
    return true;
}

// Whole units, halves to the even neighbour.
long long roundEven(double v) { return static_cast<long long>(std::nearbyint(v)); }

} // namespace

QString ShownBitrate(const QString& extension, const QString& value)
{
    QString rest = value.trimmed();
    bool variable = false;
    for (const char* kind : {"VBR", "CBR", "Unknown"})
        if (rest.startsWith(QLatin1String(kind))) {
            variable = QLatin1String(kind) == QLatin1String("VBR");
            rest = rest.mid(qsizetype(qstrlen(kind))).trimmed();
            break;
        }
    if (rest.isEmpty()) return {};
    double rate = 0;
    if (!parseRate(rest, &rate)) return value;
    if (extension.compare(".AAC", Qt::CaseInsensitive) == 0) rate /= 1000.0; // bit/s
    const long long kbits = roundEven(rate);
    if (kbits <= 0) return {};
    const QString shown = InfoText::tr("%1 kbit/s").arg(kbits);
    return variable ? InfoText::tr("VBR, %1").arg(shown) : shown;
}

QString ShownSampleRate(const QString& value)
{
    const QString text = value.trimmed();
    double rate = 0;
    if (text.isEmpty()) return {};
    if (!parseRate(text, &rate)) return value;
    if (rate <= 0) return {};
    return InfoText::tr("%1 kHz").arg(text);
}

QString ShownChannels(const QString& value)
{
    const QString text = value.trimmed();
    const QString lower = text.toLower();
    if (text.isEmpty() || lower == "unknown" || text == "0") return {};
    if (text == "M" || lower == "mono") return InfoText::tr("Mono");
    if (text == "S" || lower == "stereo") return InfoText::tr("Stereo");
    if (lower == "joint stereo") return InfoText::tr("Joint stereo");
    if (lower == "dual channel") return InfoText::tr("Dual channel");
    if (lower == "surround") return InfoText::tr("Surround");
    // A count, alone or as the channel code "<n>ch.".
    QString digits = text;
    if (digits.endsWith("ch.")) digits.chop(3);
    bool ok = false;
    const int n = digits.toInt(&ok);
    if (!ok || n < 0 || digits.isEmpty() || !digits[0].isDigit()) return value;
    switch (n) {
    case 0: return {};
    case 1:
        return InfoText::tr("Mono");
    case 2:
        return InfoText::tr("Stereo");
    case 6: return QStringLiteral("5.1");
    case 7: return QStringLiteral("6.1");
    case 8: return QStringLiteral("7.1");
    default:
        return InfoText::tr("%1 channels").arg(n);
    }
}

} // namespace cantorix
