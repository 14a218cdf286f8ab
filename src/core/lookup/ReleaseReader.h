// Reads one release of a music database by its identifier, as that database's own lookup reads the
// release a user chose: what a source that finds releases by other means (fingerprints) needs to
// have the album data, identifiers and cover come as they do from the database itself. The table of
// lookup sources gives each such source the reader of the database it names.
#pragma once

#include "core/lookup/LookupSource.h"

#include <QObject>
#include <QString>

namespace cantorix {

class TReleaseReader : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TReleaseReader() override = default;

    // Reads release `releaseId` and delivers the medium at `mediumPosition` (from 1) as an EntryRead
    // outcome whose titles are the medium's tracks in order, numbered from "01"; or how it failed.
    // finished comes exactly once, later, from the event loop, unless cancel() came first.
    virtual void read(const QString& releaseId, int mediumPosition) = 0;
    // Drops the read in flight: no finished for it.
    virtual void cancel() = 0;

signals:
    void logLine(const QString& line);
    void progress(qint64 received, qint64 total);
    void finished(const cantorix::TLookupOutcome& outcome);
};

} // namespace cantorix
