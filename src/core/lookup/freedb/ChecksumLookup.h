// The checksum lookup without its window: the folder's playing times become a disc ID, the CDDB
// client asks the freedb server for it, the user picks one of several matches, the chosen entry is
// read and delivered as an album record. The main window and cantorix-cli both run it.
//
// What the main window does around it:
// - "Query" (btQueryClick, checksum mode): call start() with TrackDurations, the listed folder and
//   the lookup's values from the settings (LookupConfigFromSettings).
// - lockControls / unlockControls: disable / enable btQuery, MainTree, FileGrid, btRenameByTag and
//   btRefresh.
// - logLine: append the line to lsLog and select the last line.
// - matchChoiceNeeded: show TMatchForm with the lines; OK with a selected line calls
//   chooseMatch(index), OK without one chooseMatch(-1), Cancel or closing cancelMatchChoice(). The
//   answer may come from inside the signal (a modal exec()) or later.
// - entryRead: fill edDBAlbum, edDBArtist, edDBYear and GenreBox (the item equal to Genre without
//   regard to case, or none) and grid row k+1 columns "TrackNo"/"Track" from Titles[k]; enable
//   btAction when Album is not empty. unlockControls follows.
// - timedOut: show the message box (error icon, TimeoutCaption, TimeoutText) modally;
//   unlockControls follows when the slot returns.
// - every folder scan: call setCurrentFolder() with the scanned folder, so that a late reply for a
//   folder the user has left is not shown. Closing the window: abandon().
// - finished: how the lookup ended, as a value (the command line's exit code comes from it).
#pragma once

#include "core/lookup/LookupSource.h"
#include "core/lookup/freedb/Cddb.h"
#include "core/lookup/freedb/DiscID.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

namespace cantorix {

// What a lookup needs to know besides the folder; LookupConfigFromSettings builds it from the settings.
struct TLookupConfig {
    TServerAddress Server;                // the freedb server
    int TimeoutSeconds = 30;              // time limit of the query and again of the read; start() keeps it
                                          // within 1 to 86400
    QString Email = "cantorix@localhost"; // sent in the hello
    THttpProxy Proxy;                     // Address empty: no proxy
    bool HideData = false;                // true: no "[DE] " log lines
    QString Note;                         // a line the lookup logs first (why a setting was not used)
};

// Points the client at the config's server, with its hello address and proxy.
void ApplyLookupConfig(TCddb& cddb, const TLookupConfig& config);

class TChecksumLookup : public QObject {
    Q_OBJECT
public:
    static const QString TimeoutCaption; // "Connection timed out!"
    static const QString TimeoutText;    // the message, lines separated by CR LF
    // The time-out message for the current lookup: which server gave no answer in how long, then TimeoutText.
    QString timeoutMessage() const;

    // Without an HTTP client of its own the lookup uses TQtHttpClient.
    explicit TChecksumLookup(std::unique_ptr<THttpClient> http = nullptr, QObject* parent = nullptr);
    ~TChecksumLookup() override;

    // Starts a lookup of `folder` from its whole-second playing times (TrackDurations) with the server,
    // time limit, hello address, proxy and HideData of `config`. A lookup still running is abandoned
    // first. The folder becomes the current one.
    void start(const QStringList& trackDurations, const QString& folder, const TLookupConfig& config);

    // The folder now listed by the window. A reply of a lookup for another folder is logged, but its
    // entry is not delivered and it asks no choice and unlocks nothing.
    void setCurrentFolder(const QString& folder);
    // Stops the lookup: no further signals for it, its request is dropped, the timer stopped.
    void abandon();
    // Whether "[DE] " lines are logged is decided by the config's HideData at start(); this overrides it.
    void setHideData(bool hide) { m_hideData = hide; }

    // The disc ID of the last start(), the client, whether the timer runs (for the window and tests).
    const TCDDBDiscID& discId() const { return m_discId; }
    TCddb& cddb() { return *m_cddb; }
    bool timerActive() const { return m_timer.isActive(); }
    // The time limit in seconds that start() took from its config.
    int timeoutSeconds() const { return m_timeoutSeconds; }
    // The client's status behind the end of the last lookup (Progress with no text when none was).
    const TCddbStatus& endStatus() const { return m_endStatus; }

public slots:
    // Answer to matchChoiceNeeded: the index of the chosen line, or -1 for OK without a selection.
    void chooseMatch(int index);
    void cancelMatchChoice();
    // The connection timer's handler; public so that the window's tests can fire it.
    void ConnectionTimerTimer();

signals:
    void lockControls();
    void unlockControls();
    void logLine(const QString& line);
    // Several matches: one line per match ("category discid artist / title"), in the server's order.
    void matchChoiceNeeded(const QStringList& matches);
    // The chosen entry, read for `folder`.
    void entryRead(const cantorix::AlbumRecord& record, const QString& folder);
    void timedOut();
    // How the lookup ended, right after the unlockControls of its end; once per lookup, except that an
    // entry read after TimedOut (the request goes on) still follows as EntryRead. Like entryRead and
    // unlockControls, nothing comes for a folder that is no longer the current one, nor after abandon().
    void finished(const cantorix::TLookupOutcome& outcome);

private:
    void CddbStatusMessage(const QString& text);
    void CddbDataExchange(const QString& line);
    void CddbMatch(const TMatchArray& matches, int& rightOne);
    void WMRead(quint64 lookup);
    void readEntryIntoResult(const TCddbStatus& status);
    void startTimer();
    void unlock();
    void finish(TLookupOutcome outcome, const TCddbStatus& status = {});
    // After a time-out: logs the first late callback once, drops the request; true when it was late.
    bool lateReply();
    bool isStale() const;

    std::unique_ptr<TCddb> m_cddb;
    TCDDBDiscID m_discId;
    QTimer m_timer;
    int m_timeoutSeconds = 30;
    bool m_hideData = false;
    bool m_readPending = false;
    bool m_choosing = false;
    bool m_active = false;     // a lookup was started and not abandoned
    bool m_timedOut = false;   // the current lookup ended by its time limit
    bool m_lateReplyLogged = false;
    std::optional<TLookupOutcome::Kind> m_ended; // how the current lookup ended, once it has
    quint64 m_lookup = 0;      // number of the current lookup, to drop queued reads of older ones
    QString m_folder;          // the folder being looked up
    QString m_currentFolder;   // the folder the window lists now
    TCddbStatus m_endStatus;
};

} // namespace cantorix
