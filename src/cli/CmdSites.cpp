#include "cli/Commands.h"

#include "core/Settings.h"
#include "core/album/SettingsValues.h"
#include "core/lookup/freedb/ServerList.h"

#include <QEventLoop>

namespace cantorix::cli {

// sites [--server S]: the freedb server list as the options window asks for it (the default freedb
// server, or S) and would store it: one host per line, HTTP servers on port 80, each once, sorted. The
// log lines of the request go to stderr. Exit 0 when the list holds a server, 1 otherwise.
int cmdSites(Invocation& inv)
{
    const QString server = serverOption(inv);
    inv.expectPositional(0);

    const TSettings settings(inv.settingsFile);
    TLookupConfig config = LookupConfigFromSettings(settings);
    config.Server = server.isEmpty() ? TServerAddress() : ParseServerSetting(server);

    TServerListQuery query;
    QEventLoop loop;
    TServerListOutcome result;
    QObject::connect(&query, &TServerListQuery::logLine, [&](const QString& line) { inv.err << line << '\n'; });
    QObject::connect(&query, &TServerListQuery::finished, [&](const TServerListOutcome& outcome) {
        result = outcome;
        loop.quit();
    });
    query.start(config);
    if (query.running()) loop.exec();

    if (!result.Ok) {
        inv.err << "cantorix-cli: " << result.Reason << '\n';
        return 1;
    }
    if (result.Hosts.isEmpty()) {
        inv.err << "cantorix-cli: "
                << QCoreApplication::translate("cli", "the reply named no HTTP server on port 80 (%1 records)")
                       .arg(result.Records)
                << "\n";
        return 1;
    }
    for (const QString& host : std::as_const(result.Hosts)) inv.out << host << '\n';
    return 0;
}

} // namespace cantorix::cli
