#include "support/CliRunner.h"

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>

namespace cantorix::test {

static QStringList lines(const QString& text)
{
    QStringList l = text.split('\n');
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}

QStringList CliResult::outLines() const { return lines(out); }
QStringList CliResult::errLines() const { return lines(err); }

// The test's environment with `environment` added: English texts unless the test asks for another
// language (LANGUAGE comes before the locale).
static QProcessEnvironment cliEnvironment(const QStringList& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LANGUAGE", "en");
    for (const QString& entry : environment) {
        const qsizetype eq = entry.indexOf('=');
        env.insert(entry.left(eq), eq < 0 ? QString() : entry.mid(eq + 1));
    }
    return env;
}

CliResult runCli(const QStringList& args, int timeoutMs, const QStringList& environment, const QString& workingDirectory)
{
    QProcess p;
    if (!workingDirectory.isEmpty()) p.setWorkingDirectory(workingDirectory);
    p.setProcessEnvironment(cliEnvironment(environment));
    p.start(QString::fromStdString(cliPath()), args);
    CliResult r;
    if (!p.waitForStarted(timeoutMs)) return r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

CliResult runCliServing(const QStringList& args, int timeoutMs, const QStringList& environment)
{
    QProcess process;
    process.setProcessEnvironment(cliEnvironment(environment));
    QElapsedTimer clock;
    clock.start();
    process.start(QString::fromStdString(cliPath()), args);
    QDeadlineTimer deadline(timeoutMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    CliResult r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    r.ms = clock.elapsed();
    return r;
}

} // namespace cantorix::test
