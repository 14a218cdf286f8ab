// The freedb "Server" setting as the options window, the command line and the CDDB client read it.
#pragma once

#include <QString>

namespace cantorix {

// Where the freedb server is: what the "Server" setting names.
struct TServerAddress {
    QString Scheme = "http";
    QString Host = "gnudb.gnudb.org";
    QString Port = "80";
    QString Path = "/~cddb/cddb.cgi";
};
// The "Server" setting may be a host, "host:port" or an http:// or https:// address; a port named in
// it is used, otherwise 80 (443 for https); an address without a path (or just "/") uses the CGI
// path. Empty gives the default server. Text that is no address at all is kept as the host, and
// the client then starts no request with it ("no valid server address").
TServerAddress ParseServerSetting(const QString& text);
// Why `text` cannot name a server, or empty when it can (a host, "host:port" or an http:// or
// https:// address with a port from 1 to 65535; empty text names the default server). The options
// window and the command line's --server both check with this before anything is stored or asked.
QString ServerSettingProblem(const QString& text);

} // namespace cantorix
