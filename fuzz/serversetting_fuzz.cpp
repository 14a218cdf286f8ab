// The "Server" setting, as the options window and --server give it: whatever its text, a request goes
// to the host, port and path the setting names, over http or https, and its text cannot add a path,
// a query or a line to the request. Text that is no address at all starts no request, and the reason
// is one line.
#include "FuzzFile.h"
#include "core/Text.h"
#include "core/lookup/freedb/Cddb.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>

using namespace cantorix;

namespace {

// Records what would be sent.
class TNoNetwork : public THttpClient {
public:
    explicit TNoNetwork(QString* url) : m_url(url) {}
    bool GetAsync(const QString& url, const THttpProxy&, Completion, QString*) override
    {
        *m_url = url;
        return true;
    }
    void Abort() override {}

private:
    QString* m_url;
};

bool hasControl(const QString& text)
{
    for (QChar c : text)
        if (IsControl(c)) return true;
    return false;
}

bool hasControlOrSpace(const QString& text)
{
    for (QChar c : text)
        if (IsControl(c) || c.isSpace()) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const TServerAddress a = ParseServerSetting(text);
    fuzz::check(a.Scheme == "http" || a.Scheme == "https", "the scheme is http or https");
    int32_t port = 0;
    fuzz::check(ParseInt32(a.Port, &port) && port >= 1 && port <= 65535, "the port is a number from 1 to 65535");
    fuzz::check(a.Path.startsWith('/') && !hasControlOrSpace(a.Path), "the path is an encoded absolute path");
    fuzz::check(!a.Path.contains('?') && !a.Path.contains('#'), "the path holds no query");
    fuzz::check(!a.Host.isEmpty(), "there is a host");
    if (TrimControls(text).isEmpty()) fuzz::check(a.Host == "gnudb.gnudb.org", "no text names the default server");

    QString sent;
    TCddb cddb(std::make_unique<TNoNetwork>(&sent));
    QString status;
    cddb.OnStatusMessage = [&](TCddb&, const QString& text) { status = text; };
    cddb.SetServer(a);
    if (cddb.QuerySites() != 0) {
        // Refused: the reason is one line, whatever the setting holds.
        fuzz::check(cddb.State() == TCddb::TState::RequestFailed, "a refused request fails");
        fuzz::check(!hasControl(status), "the reason holds no control character");
        return 0;
    }
    const QUrl url(sent, QUrl::StrictMode);
    fuzz::check(url.isValid(), "a request goes to a valid URL");
    fuzz::check(url.scheme() == a.Scheme, "the request goes by the setting's scheme");
    fuzz::check(url.port(a.Scheme == "https" ? 443 : 80) == port, "the request goes to the setting's port");
    fuzz::check(url.path(QUrl::FullyEncoded) == a.Path, "the request asks the setting's path");
    QString host = a.Host;
    if (host.startsWith('[') && host.endsWith(']')) host = host.mid(1, host.size() - 2);
    fuzz::check(url.host(QUrl::FullyEncoded) == host, "the request goes to the setting's host");
    fuzz::check(url.query(QUrl::FullyEncoded).startsWith("cmd=sites&hello="), "the setting adds nothing to the query");
    fuzz::check(!hasControlOrSpace(sent), "the request URL is one line without spaces");
    return 0;
}
