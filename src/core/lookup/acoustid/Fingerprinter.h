// Chromaprint fingerprints of audio files, by the field's own program: `fpcalc -json FILE` (Debian
// package libchromaprint-tools) run as a process per file, several side by side, each within a time
// limit. A process keeps the decoders of every format fpcalc reads (FFmpeg's) out of Cantorix: a
// file that makes a decoder crash or hang costs that one process, which the time limit ends, and
// the program needs no decoding library to start. fpcalc may exit non-zero after printing a whole
// result (a decoding error at the end of the file): the printed result counts.
//
// Results are kept per file (its path, size and modification time) in a cache file in the state
// folder, so a second lookup of the same files computes nothing.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class QTimer;

namespace cantorix {

struct TFingerprint {
    QString File;
    int DurationS = 0;       // whole seconds
    QByteArray Fingerprint;  // compressed, in the URL-safe base64 fpcalc prints
    QString Error;           // empty: the fingerprint is good; else one line saying why not
    bool Cached = false;     // taken from the cache
    bool ok() const { return Error.isEmpty(); }
};

struct TFingerprintConfig {
    QString Program = "fpcalc";  // a name looked for on PATH, or a path
    int TimeoutSeconds = 120;    // per file; 1 to 86400
    int Parallel = 0;            // processes at once; 0: one per processor, at least 2
    QString CacheDirectory;      // where the cache file lives; empty: no cache
};

// Below this many seconds a file is too short to be told apart from others.
inline constexpr int MinFingerprintSeconds = 3;
// Caps on what one fpcalc run may print.
inline constexpr qint64 MaxFpcalcOutputBytes = 1024 * 1024;
inline constexpr qsizetype MaxFingerprintBytes = 256 * 1024;

// fpcalc's JSON ({"duration": 20.00, "fingerprint": "AQAA..."}): false when it holds no whole result.
bool ParseFpcalcJson(const QByteArray& output, int* durationS, QByteArray* fingerprint);
// The line that says fpcalc is missing and which Debian package has it.
QString FpcalcMissingText();

// The cache file: one line per file. Loaded whole (with caps) and saved whole, replacing the old
// file at once, so a crash leaves the old or the new one.
class TFingerprintCache {
public:
    static constexpr const char* FileName = "fingerprints.tsv";
    static constexpr int MaxEntries = 20000;
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    explicit TFingerprintCache(QString directory);
    // Reads the cache file; a missing, damaged or foreign file counts as empty (damaged lines are dropped).
    void load();
    // Writes it when something changed; false when that failed (the lookup goes on without).
    bool save();
    // The fingerprint kept for `file` when its size and modification time are still those recorded.
    bool find(const QString& file, qint64 size, qint64 mtimeMs, TFingerprint* out) const;
    void store(const QString& file, qint64 size, qint64 mtimeMs, const TFingerprint& print);
    int size() const { return int(m_order.size()); }

private:
    struct TEntry {
        qint64 Size = 0, MtimeMs = 0;
        int DurationS = 0;
        QByteArray Fingerprint;
    };
    QString m_directory;
    QHash<QString, TEntry> m_entries;
    QStringList m_order; // oldest first; the oldest go when MaxEntries is reached
    bool m_loaded = false;
    bool m_changed = false;
};

// Fingerprints a list of files, side by side, with progress. finished comes exactly once per
// start(), from the event loop, unless cancel() came first.
class TFingerprinter : public QObject {
    Q_OBJECT
public:
    explicit TFingerprinter(QObject* parent = nullptr);
    ~TFingerprinter() override;

    void setConfig(const TFingerprintConfig& config) { m_config = config; }
    const TFingerprintConfig& config() const { return m_config; }

    // Starts on `files` (absolute paths); a run still going is cancelled first.
    void start(const QStringList& files);
    // Ends the run now: its processes are killed and no finished follows.
    void cancel();
    bool running() const { return m_running; }

signals:
    // Files done so far (from the cache or computed) of all.
    void progress(int done, int total);
    // One result per file, in the order given. `failure` is not empty when the run could not work at
    // all (fpcalc is missing): then the results carry that line as their error.
    void finished(const QList<cantorix::TFingerprint>& results, const QString& failure);

private:
    struct TJob;
    void next();
    void launch(int index);
    void ended(int index, bool timedOut);
    void finish(const QString& failure = {});
    int parallel() const;

    TFingerprintConfig m_config;
    std::unique_ptr<TFingerprintCache> m_cache;
    QList<TFingerprint> m_results;
    QList<qint64> m_sizes, m_mtimes;
    QList<int> m_pending;         // indexes still to compute
    QList<TJob*> m_jobs;          // running processes
    QString m_program;            // the resolved fpcalc
    int m_done = 0;
    bool m_running = false;
    quint64 m_run = 0;
};

} // namespace cantorix
