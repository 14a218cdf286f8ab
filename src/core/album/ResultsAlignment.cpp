#include "core/album/ResultsAlignment.h"


#include <QCollator>

#include <algorithm>
#include <climits>
#include <numeric>
#include <vector>

namespace cantorix {

namespace {

// Names and titles are compared by their first this many characters: enough to tell any two titles
// apart, and it bounds the work per pair.
constexpr qsizetype MaxComparedChars = 256;

std::vector<char32_t> comparedChars(const QString& text)
{
    const QList<uint> ucs4 = text.toUcs4();
    const qsizetype n = std::min(ucs4.size(), MaxComparedChars);
    return std::vector<char32_t>(ucs4.begin(), ucs4.begin() + n);
}

// Edit distance (insertion, deletion, substitution: 1 each), characters compared exactly.
int levenshtein(const std::vector<char32_t>& a, const std::vector<char32_t>& b)
{
    std::vector<int> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The part of a file name that holds its title: after the last "-" ("01 - Band - Intro" gives Intro).
QString titlePart(const QString& localName)
{
    const qsizetype hyphen = localName.lastIndexOf('-');
    return (hyphen < 0 ? localName : localName.mid(hyphen + 1)).trimmed();
}

} // namespace

QString LocalTrackName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    if (dot < 0) return fileName;
    QString name = fileName;
    name.remove(fileName.mid(dot), Qt::CaseInsensitive);
    return name;
}

QList<TAlignedRow> AlignTitles(const QList<TrackTitle>& trackTitles, const QStringList& fileNames)
{
    const int titles = int(std::min<qsizetype>(trackTitles.size(), MaxAlignedTitles));
    const int files = int(fileNames.size());
    QList<TAlignedRow> rows;
    if (files > 0 && LocalTrackName(fileNames[0]).contains("track", Qt::CaseInsensitive)) {
        // "Track01", "Track02" ...: the names say nothing about the titles, so the grid order stands.
        for (int i = 0; i < std::max(titles, files); ++i)
            rows.append({i < titles ? i : -1, i < files ? i : -1});
        return rows;
    }

    std::vector<int> unpaired(static_cast<size_t>(files));
    std::iota(unpaired.begin(), unpaired.end(), 0);
    std::vector<std::vector<char32_t>> compared;
    compared.reserve(size_t(files));
    for (const QString& name : fileNames) compared.push_back(comparedChars(titlePart(LocalTrackName(name))));

    for (int t = 0; t < titles; ++t) {
        if (unpaired.empty()) {
            rows.append({t, -1});
            continue;
        }
        const std::vector<char32_t> title = comparedChars(TitleText(trackTitles[t]).trimmed());
        // Above any distance of two compared texts; a tie keeps the file that comes first in the grid.
        int best = INT_MAX;
        size_t winner = 0;
        for (size_t k = 0; k < unpaired.size(); ++k) {
            const int d = levenshtein(compared[size_t(unpaired[k])], title);
            if (d < best) {
                best = d;
                winner = k;
            }
        }
        rows.append({t, unpaired[winner]});
        unpaired.erase(unpaired.begin() + qsizetype(winner));
    }

    // Files without a title, alphabetically (as the user's locale sorts, case-insensitively).
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(unpaired.begin(), unpaired.end(), [&](int a, int b) {
        return collator.compare(LocalTrackName(fileNames[a]), LocalTrackName(fileNames[b])) < 0;
    });
    for (int file : unpaired) rows.append({-1, file});
    return rows;
}

} // namespace cantorix
