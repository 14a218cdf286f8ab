// xmcd entries, as an entry file and as the CDDB server's replies to a query, a read and a sites
// request. Properties: no value of the album record holds a control character and each is trimmed;
// a reply always ends its request (at most once asked again at a lower level); nothing a server
// sent reaches a status text or the log with a control character other than a tab.
#include "FuzzFile.h"
#include "core/Text.h"
#include "core/lookup/freedb/Cddb.h"
#include "core/lookup/freedb/XmcdEntry.h"

#include <QByteArray>
#include <QString>

#include <memory>

using namespace cantorix;

namespace {

// Answers nothing by itself: the target hands each request its reply.
class TNoNetwork : public THttpClient {
public:
    bool GetAsync(const QString&, const THttpProxy&, Completion, QString*) override
    {
        ++started;
        return true;
    }
    void Abort() override {}
    int started = 0;
};

bool clean(const QString& value, bool tabsToo)
{
    for (QChar c : value)
        if (IsControl(c) && !(tabsToo && c == '\t')) return false;
    return true;
}

void checkRecord(const AlbumRecord& r)
{
    for (const QString* v : {&r.Artist, &r.Album, &r.Year, &r.Genre}) {
        fuzz::check(clean(*v, false), "an album field holds no control character");
        fuzz::check(*v == TrimControls(*v), "an album field is trimmed");
    }
    for (const TrackTitle& t : r.Titles) {
        fuzz::check(clean(t.Title, false), "a title holds no control character");
        fuzz::check(t.Title == TrimControls(t.Title), "a title is trimmed");
        fuzz::check(t.No.isEmpty() || t.No.size() >= 2, "a track number has two digits or more");
    }
}

void replyTo(uint8_t mode, const QByteArray& body)
{
    auto http = std::make_unique<TNoNetwork>();
    TNoNetwork* network = http.get();
    TCddb cddb(std::move(http));
    bool statusesClean = true, linesClean = true;
    int finals = 0;
    cddb.OnStatusMessage = [&](TCddb& c, const QString& text) {
        statusesClean = statusesClean && clean(text, false);
        if (c.LastStatus().Kind != TCddbStatusKind::Progress) ++finals;
    };
    cddb.OnDataExchange = [&](TCddb&, const QString& line) {
        // The request URL comes with its line end; every received line without one.
        QString l = line;
        if (l.endsWith("\r\n")) l.chop(2);
        linesClean = linesClean && clean(l, true);
    };
    int matchAsked = 0;
    cddb.OnMatch = [&](TCddb&, const TMatchArray& matches, int& rightOne) {
        ++matchAsked;
        for (const QString& m : matches)
            fuzz::check(m.isEmpty() || TCddb::IsMatchLine(m), "a match is a match line");
        rightOne = 0;
    };
    const TCDDBDiscID disc = TCDDBDiscID::FromSeconds({200, 180, 245});
    switch (mode % 3) {
    case 0: cddb.QueryDisc(disc); break;
    case 1: cddb.ChooseEntry("rock", "a10b600c"); cddb.ReadEntry(); break;
    default: cddb.QuerySites(); break;
    }
    // A refused level is asked once more: the same reply then ends the request for good.
    for (int reply = 0; reply < 2 && network->started > reply; ++reply)
        cddb.HandleReply(cddb.RequestSerial(), 0, QString(), body);
    fuzz::check(network->started <= 2, "a request is asked again at most once");
    // A server list ends in a state of its own (below); a query or a read says how it ended.
    if (mode % 3 != 2) fuzz::check(finals + matchAsked >= 1, "every reply ends its request");
    fuzz::check(finals <= 2, "a reply ends its request once (an entry may be read, then found corrupt)");
    fuzz::check(statusesClean, "no status text holds a control character");
    fuzz::check(linesClean, "no logged line holds a control character other than a tab");
    const TCddb::TState state = cddb.State();
    fuzz::check(state != TCddb::TState::Querying && state != TCddb::TState::Reading &&
                    state != TCddb::TState::GettingSites,
                "no request waits for more after its reply");
    if (state == TCddb::TState::EntryRead) checkRecord(ReadChecksumEntry(cddb.EntryLines()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = SplitLines(DecodeReplyText(bytes));
    const AlbumRecord checksum = ReadChecksumEntry(lines);
    checkRecord(checksum);
    fuzz::check(checksum.Titles.size() <= GridFileRows, "a checksum lookup fills no row past the grid");
    checkRecord(ReadNameEntry(lines));
    CheckEntry(lines);
    XmcdText(lines, "EXTD");
    if (size > 0) replyTo(data[0], bytes.mid(1));
    return 0;
}
