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
    QStringList outLines() const;
    QStringList errLines() const;
};

// Waits at most `timeoutMs`; a process still running then is killed and reported with exit code -1.
// `environment` holds "NAME=value" entries added to the test's own environment.
CliResult runCli(const QStringList& args, int timeoutMs = 30000, const QStringList& environment = {});

} // namespace cantorix::test
