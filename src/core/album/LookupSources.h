// The music databases the album workflow can ask, one row each. Everything outside a source's own
// folder under core/lookup learns of it from its row: the window's Database choice and the options
// window's fields, the command line's switches, options and help, the batch's choice between a set
// looked up whole and disc by disc, and the caption of a time-out. A new database is its folder plus
// a row in LookupSources.cpp.
#pragma once

#include "core/Settings.h"
#include "core/lookup/LookupSource.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

namespace cantorix {

class THttpClient;

// How the album is looked up: by the files (their playing times), or by artist and album words.
enum class TQueryMode { Checksum, Name };

// One value of a source that the settings hold, that the command line may replace for one run and
// that the options window may edit. Any of the three may be absent (nullptr).
struct TSourceOption {
    const TSettingKey<const char*>* Key = nullptr; // the stored value
    const char* CliName = nullptr;     // "mb-server": "--mb-server VALUE"
    const char* CliValueName = nullptr; // "URL"
    const char* CliHelp = nullptr;     // QT_TRANSLATE_NOOP("cli", ...)
    bool SearchOnly = false;           // a command line option of the searches by name only
    // Why a value given on the command line is refused (empty: taken); nullptr: every value is taken.
    QString (*Problem)(const QString& value) = nullptr;
    const char* FieldLabel = nullptr;  // the options window's label, QT_TRANSLATE_NOOP("cantorix::TOptionsForm", ...)
    const char* FieldName = nullptr;   // the field's object name
    const char* FieldToolTip = nullptr; // QT_TRANSLATE_NOOP("cantorix::TOptionsForm", ...)
    const char* Placeholder = nullptr; // what an empty field stands for (the default)
};

// What a source's lookup is made from: the settings, the values the command line gave for this run
// (by TSourceOption::CliName) and the HTTP client to use (none: the network module's).
struct TSourceContext {
    const TSettings& Settings;
    const QHash<QString, QString>& Given;
    std::unique_ptr<THttpClient> Http;
    // The value given for this run to the option named `cliName`; empty when none was.
    QString given(const char* cliName) const { return Given.value(QString::fromLatin1(cliName)); }
};

struct TLookupSourceRow {
    const char* Word;        // [Main] Database names the source by it (without regard to case)
    const char* Label;       // the window's name for it, QT_TRANSLATE_NOOP("cantorix::TMainForm", ...)
    const char* Description; // what it answers by, a part of the window's tool tip (same context)
    bool DiscSets;           // looks a set of discs up whole (TLookupRequest::Discs)
    bool Covers;             // its albums have front covers to fetch (TAlbumWorkflow::startCoverFetch)
    bool NameSearch;         // takes a search by artist and album words
    bool WholeSecondDiscId;  // a file without a playing time spoils its disc ID (the listing warns)
    const char* CliSwitch;   // "musicbrainz": "--musicbrainz" picks it; nullptr: the one asked without a switch
    const char* CliSwitchHelp; // QT_TRANSLATE_NOOP("cli", ...)
    const char* OptionsGroup; // the options window's group box of its fields (object name)
    QList<TSourceOption> Options;
    QString (*TimeoutCaption)(); // the message box's caption when it does not answer in time
    std::unique_ptr<TLookupSource> (*Make)(TQueryMode mode, TSourceContext& context);

    QString label() const;
    QString description() const;
};

// Every source, the one asked without a choice first.
const QList<TLookupSourceRow>& LookupSources();
// The source named `word` (without regard to case); the first when none is.
const TLookupSourceRow& LookupSourceNamed(const QString& word);
// Its index in LookupSources().
int LookupSourceIndex(const TLookupSourceRow& source);

// [Main] Database: the source it names, otherwise the first.
const TLookupSourceRow& DatabaseFromSettings(const TSettings& settings);
void StoreDatabase(TSettings& settings, const TLookupSourceRow& source);

} // namespace cantorix
