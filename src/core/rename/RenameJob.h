// A rename run on a worker thread that reports by signals: each log line as it is made, the rows done,
// and its end. The signals reach receivers on other threads queued, in the order the run made them,
// so the window never polls and never reads the run while it works.
#pragma once

#include "core/rename/RenameRun.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;

namespace cantorix {

class TRenameJob : public QObject {
    Q_OBJECT
public:
    explicit TRenameJob(std::unique_ptr<TRenameRun> run, QObject* parent = nullptr);
    // Waits for the run: files must never be left half-moved.
    ~TRenameJob() override;

    // Starts the run on its own thread; call once.
    void start();
    // Blocks until the run has ended (at once when it never started).
    void wait();
    bool running() const;
    // The run; read its report and folder only after finished.
    const TRenameRun& run() const { return *m_run; }

signals:
    void logLine(const QString& line);
    void progress(int rowsDone, int rows);
    // The run has ended; every logLine and progress of it came before.
    void finished();

private:
    std::unique_ptr<TRenameRun> m_run;
    QThread* m_thread = nullptr;
};

} // namespace cantorix
