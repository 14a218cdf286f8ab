#include "core/rename/RenameJob.h"

#include <QThread>

namespace cantorix {

TRenameJob::TRenameJob(std::unique_ptr<TRenameRun> run, QObject* parent) : QObject(parent), m_run(std::move(run))
{
    const int rows = m_run->fileCount();
    // Emitted on the worker: receivers on other threads get them queued, in order.
    m_run->setObserver([this](const std::string& line) { emit logLine(QString::fromStdString(line)); },
                       [this, rows](int done) { emit progress(done, rows); });
}

TRenameJob::~TRenameJob() { wait(); }

void TRenameJob::start()
{
    if (m_thread) return;
    m_thread = QThread::create([this] { m_run->run(); });
    m_thread->setParent(this);
    // The thread's own finished comes after everything the run emitted on it.
    connect(m_thread, &QThread::finished, this, &TRenameJob::finished);
    m_thread->start();
}

void TRenameJob::wait()
{
    if (m_thread) m_thread->wait();
}

bool TRenameJob::running() const { return m_thread && m_thread->isRunning(); }

} // namespace cantorix
