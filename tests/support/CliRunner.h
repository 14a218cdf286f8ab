// Runs cantorix-cli ($CANTORIX_CLI) as a separate process and collects what it printed.
#pragma once

#include <QString>
#include <QStringList>

#include "support/QtPrinters.h"

namespace cantorix::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 ms = 0; // how long it ran (runCliServing)
    QStringList outLines() const;
    QStringList errLines() const;
};

// Waits at most `timeoutMs`; a process still running then is killed and reported with exit code -1.
// `environment` holds "NAME=value" entries added to the test's own environment. The program speaks
// English (LANGUAGE=en) unless `environment` sets LANGUAGE. It runs in `workingDirectory` when one is given.
CliResult runCli(const QStringList& args, int timeoutMs = 30000, const QStringList& environment = {},
                 const QString& workingDirectory = {});

// The same for a test whose local server lives in this process: its event loop keeps running while
// cantorix-cli talks to the server.
CliResult runCliServing(const QStringList& args, int timeoutMs = 20000, const QStringList& environment = {});

} // namespace cantorix::test
