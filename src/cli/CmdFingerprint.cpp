#include "cli/Commands.h"

#include "core/lookup/acoustid/Fingerprinter.h"
#include "core/rename/RenameJournal.h"

#include <QEventLoop>
#include <QFileInfo>

namespace cantorix::cli {

// fingerprint FILE...: each file's duration and Chromaprint fingerprint, as an AcoustID lookup sends
// them (kept in the state folder like the lookup's, so that a lookup after it computes nothing).
int cmdFingerprint(Invocation& inv)
{
    if (inv.args.isEmpty()) throw UsageError{QCoreApplication::translate("cli", "no file given")};
    QStringList files;
    for (const QString& arg : std::as_const(inv.args)) files << QFileInfo(QFile::decodeName(inv.rawArg(arg))).absoluteFilePath();
    TFingerprintConfig config;
    config.CacheDirectory = QString::fromStdString(TRenameJournal::defaultDirectory());
    TFingerprinter printer;
    printer.setConfig(config);
    QList<TFingerprint> results;
    QString failure;
    QEventLoop loop;
    QObject::connect(&printer, &TFingerprinter::finished, &loop, [&](const QList<TFingerprint>& r, const QString& f) {
        results = r;
        failure = f;
        loop.quit();
    });
    printer.start(files);
    loop.exec();
    if (!failure.isEmpty()) {
        inv.err << "cantorix-cli: " << failure << '\n';
        return 1;
    }
    int failed = 0;
    for (qsizetype i = 0; i < results.size(); ++i) {
        const TFingerprint& print = results[i];
        const QString name = EscapeControls(inv.args.value(i));
        if (!print.ok()) {
            inv.err << "cantorix-cli: " << name << ": " << print.Error << '\n';
            ++failed;
            continue;
        }
        inv.out << "file: " << name << '\n'
                << "duration: " << print.DurationS << '\n'
                << "fingerprint: " << QString::fromLatin1(print.Fingerprint) << '\n';
    }
    return failed > 0 ? 1 : 0;
}

} // namespace cantorix::cli
