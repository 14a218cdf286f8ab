#include "core/lookup/acoustid/Fingerprinter.h"

#include "core/Text.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace cantorix {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Fingerprinter", text); }

constexpr const char* CacheHeader = "# Cantorix fingerprints 1 (fpcalc -json)";

bool isFingerprintChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool isFingerprint(const QByteArray& print)
{
    return !print.isEmpty() && print.size() <= MaxFingerprintBytes && std::all_of(print.begin(), print.end(), isFingerprintChar);
}

// The last "ERROR: ..." line fpcalc wrote, as one line; empty when none.
QString fpcalcError(const QByteArray& errors)
{
    const QList<QByteArray> lines = errors.split('\n');
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        QByteArray line = lines[i].trimmed();
        if (line.startsWith("ERROR:")) line = line.mid(6).trimmed();
        if (!line.isEmpty()) return SingleLine(QString::fromUtf8(line.left(300)));
    }
    return {};
}

} // namespace

bool ParseFpcalcJson(const QByteArray& output, int* durationS, QByteArray* fingerprint)
{
    if (output.size() > MaxFpcalcOutputBytes) return false;
    // fpcalc prints one object per file; with one file, the first line holds it.
    const qsizetype end = output.indexOf('\n');
    const QJsonDocument doc = QJsonDocument::fromJson(end < 0 ? output : output.left(end));
    if (!doc.isObject()) return false;
    const QJsonObject o = doc.object();
    const QJsonValue duration = o.value("duration");
    const QJsonValue print = o.value("fingerprint");
    if (!duration.isDouble() || !print.isString()) return false;
    const double seconds = duration.toDouble();
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 86400 * 7) return false;
    const QByteArray bytes = print.toString().toLatin1();
    if (!isFingerprint(bytes)) return false;
    *durationS = int(std::lround(seconds));
    *fingerprint = bytes;
    return true;
}

QString FpcalcMissingText()
{
    return tr("Fingerprints need the program fpcalc: install the package libchromaprint-tools");
}

// ---- TFingerprintCache

TFingerprintCache::TFingerprintCache(QString directory) : m_directory(std::move(directory)) {}

void TFingerprintCache::load()
{
    m_loaded = true;
    m_entries.clear();
    m_order.clear();
    if (m_directory.isEmpty()) return;
    QFile file(m_directory + '/' + FileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes) return;
    const QByteArray all = file.read(MaxFileBytes);
    const QList<QByteArray> lines = all.split('\n');
    if (lines.value(0) != CacheHeader) return;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (f.size() != 5) continue;
        bool ok1 = false, ok2 = false, ok3 = false;
        TEntry e;
        const QString path = QUrl::fromPercentEncoding(f[0]);
        e.Size = f[1].toLongLong(&ok1);
        e.MtimeMs = f[2].toLongLong(&ok2);
        e.DurationS = f[3].toInt(&ok3);
        e.Fingerprint = f[4];
        if (!ok1 || !ok2 || !ok3 || path.isEmpty() || e.Size < 0 || e.DurationS < 0 || !isFingerprint(e.Fingerprint)) continue;
        if (m_entries.contains(path)) m_order.removeOne(path);
        m_entries.insert(path, e);
        m_order << path;
    }
    while (m_order.size() > MaxEntries) m_entries.remove(m_order.takeFirst());
}

bool TFingerprintCache::save()
{
    if (!m_changed || m_directory.isEmpty()) return true;
    if (!QDir().mkpath(m_directory)) return false;
    QByteArray text = QByteArray(CacheHeader) + '\n';
    for (const QString& path : std::as_const(m_order)) {
        const TEntry& e = m_entries[path];
        text += path.toUtf8().toPercentEncoding("/") + '\t' + QByteArray::number(e.Size) + '\t' +
            QByteArray::number(e.MtimeMs) + '\t' + QByteArray::number(e.DurationS) + '\t' + e.Fingerprint + '\n';
    }
    QSaveFile file(m_directory + '/' + FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) return false;
    m_changed = false;
    return true;
}

bool TFingerprintCache::find(const QString& file, qint64 size, qint64 mtimeMs, TFingerprint* out) const
{
    const auto it = m_entries.constFind(file);
    if (it == m_entries.constEnd() || it->Size != size || it->MtimeMs != mtimeMs) return false;
    out->File = file;
    out->DurationS = it->DurationS;
    out->Fingerprint = it->Fingerprint;
    out->Error.clear();
    out->Cached = true;
    return true;
}

void TFingerprintCache::store(const QString& file, qint64 size, qint64 mtimeMs, const TFingerprint& print)
{
    if (!print.ok() || !isFingerprint(print.Fingerprint)) return;
    if (m_entries.contains(file)) m_order.removeOne(file);
    m_entries.insert(file, TEntry{size, mtimeMs, print.DurationS, print.Fingerprint});
    m_order << file;
    while (m_order.size() > MaxEntries) m_entries.remove(m_order.takeFirst());
    m_changed = true;
}

// ---- TFingerprinter

struct TFingerprinter::TJob {
    int index = 0;
    QProcess* process = nullptr;
    QTimer* timer = nullptr;
    QByteArray out, err;
    bool overflow = false;
};

TFingerprinter::TFingerprinter(QObject* parent) : QObject(parent) {}

TFingerprinter::~TFingerprinter()
{
    cancel();
}

int TFingerprinter::parallel() const
{
    if (m_config.Parallel > 0) return std::min(m_config.Parallel, 64);
    return std::clamp(QThread::idealThreadCount(), 2, 64);
}

void TFingerprinter::start(const QStringList& files)
{
    cancel();
    ++m_run;
    m_running = true;
    m_done = 0;
    m_results.clear();
    m_sizes.clear();
    m_mtimes.clear();
    m_pending.clear();
    m_program.clear();
    m_cache = std::make_unique<TFingerprintCache>(m_config.CacheDirectory);
    m_cache->load();
    for (int i = 0; i < files.size(); ++i) {
        TFingerprint print;
        print.File = files[i];
        const QFileInfo info(files[i]);
        const qint64 size = info.size();
        const qint64 mtime = info.lastModified().toMSecsSinceEpoch();
        m_sizes << size;
        m_mtimes << mtime;
        if (!info.isFile()) {
            print.Error = tr("Not a file");
            ++m_done;
        } else if (m_cache->find(files[i], size, mtime, &print)) {
            ++m_done;
        } else {
            m_pending << i;
        }
        m_results << print;
    }
    // Never from inside start(): the caller hears of every end from the event loop.
    const quint64 run = m_run;
    QTimer::singleShot(0, this, [this, run] {
        if (run != m_run || !m_running) return;
        emit progress(m_done, int(m_results.size()));
        if (!m_pending.isEmpty()) {
            // Only files not in the cache need the program.
            const QString program = m_config.Program.isEmpty() ? QString("fpcalc") : m_config.Program;
            m_program = program.contains('/') ? (QFileInfo(program).isExecutable() ? program : QString())
                                              : QStandardPaths::findExecutable(program);
            if (m_program.isEmpty()) {
                finish(FpcalcMissingText());
                return;
            }
        }
        next();
    });
}

void TFingerprinter::cancel()
{
    ++m_run;
    m_running = false;
    for (TJob* job : std::as_const(m_jobs)) {
        job->process->disconnect(this);
        job->timer->stop();
        job->process->kill();
        job->process->waitForFinished(1000);
        delete job->process;
        delete job->timer;
        delete job;
    }
    m_jobs.clear();
    m_pending.clear();
}

void TFingerprinter::next()
{
    while (m_running && !m_pending.isEmpty() && m_jobs.size() < parallel()) launch(m_pending.takeFirst());
    if (m_running && m_pending.isEmpty() && m_jobs.isEmpty()) finish();
}

void TFingerprinter::launch(int index)
{
    auto* job = new TJob;
    job->index = index;
    job->process = new QProcess;
    job->timer = new QTimer;
    job->timer->setSingleShot(true);
    m_jobs << job;
    QProcess* p = job->process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C"); // a decimal point in the duration, whatever the user's locale
    p->setProcessEnvironment(env);
    connect(p, &QProcess::readyReadStandardOutput, this, [job] {
        job->out += job->process->readAllStandardOutput();
        if (job->out.size() > MaxFpcalcOutputBytes) {
            job->overflow = true;
            job->process->kill();
        }
    });
    connect(p, &QProcess::readyReadStandardError, this, [job] {
        const QByteArray more = job->process->readAllStandardError();
        if (job->err.size() < 64 * 1024) job->err += more.left(64 * 1024);
    });
    connect(p, &QProcess::finished, this, [this, index] { ended(index, false); });
    connect(p, &QProcess::errorOccurred, this, [this, index](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) ended(index, false);
    });
    connect(job->timer, &QTimer::timeout, this, [this, index] { ended(index, true); });
    job->timer->start(std::clamp(m_config.TimeoutSeconds, 1, 86400) * 1000);
    // "--" keeps a file name that starts with "-" from being read as an option.
    p->start(m_program, {"-json", "--", m_results[index].File}, QIODevice::ReadOnly);
}

void TFingerprinter::ended(int index, bool timedOut)
{
    auto it = std::find_if(m_jobs.begin(), m_jobs.end(), [index](TJob* j) { return j->index == index; });
    if (it == m_jobs.end()) return;
    TJob* job = *it;
    m_jobs.erase(it);
    job->process->disconnect(this);
    job->timer->stop();
    const bool failedToStart = job->process->error() == QProcess::FailedToStart;
    if (job->process->state() != QProcess::NotRunning) {
        job->process->kill();
        job->process->waitForFinished(1000);
    }
    job->out += job->process->readAllStandardOutput().left(MaxFpcalcOutputBytes);
    TFingerprint& print = m_results[index];
    int duration = 0;
    QByteArray fingerprint;
    if (timedOut) {
        print.Error = tr("fpcalc gave no result within %1 seconds").arg(std::clamp(m_config.TimeoutSeconds, 1, 86400));
    } else if (failedToStart) {
        print.Error = FpcalcMissingText();
    } else if (job->overflow) {
        print.Error = tr("fpcalc printed more than a fingerprint");
    } else if (ParseFpcalcJson(job->out, &duration, &fingerprint)) {
        // A whole result counts even when fpcalc exits with an error after it.
        if (duration < MinFingerprintSeconds) {
            print.Error = tr("Too short to identify (%1 s)").arg(duration);
        } else {
            print.DurationS = duration;
            print.Fingerprint = fingerprint;
            m_cache->store(print.File, m_sizes[index], m_mtimes[index], print);
        }
    } else {
        const QString why = fpcalcError(job->err);
        print.Error = why.isEmpty() ? tr("fpcalc could not fingerprint the file") : tr("fpcalc: %1").arg(why);
    }
    job->process->deleteLater();
    job->timer->deleteLater();
    delete job;
    ++m_done;
    emit progress(m_done, int(m_results.size()));
    if (failedToStart) {
        // The program is gone: no other file can fare better.
        const quint64 run = m_run;
        QTimer::singleShot(0, this, [this, run] {
            if (run == m_run && m_running) finish(FpcalcMissingText());
        });
        return;
    }
    next();
}

void TFingerprinter::finish(const QString& failure)
{
    cancel(); // the processes of a run that failed as a whole
    if (!failure.isEmpty())
        for (TFingerprint& print : m_results)
            if (print.ok() && print.Fingerprint.isEmpty()) print.Error = failure;
    m_cache->save();
    emit finished(m_results, failure);
}

} // namespace cantorix
