#include "core/lookup/musicbrainz/CoverArt.h"

#include "core/lookup/musicbrainz/ReleaseReply.h"

#include <QCoreApplication>

namespace cantorix {

QString CoverArtUrl(const QString& base, const QString& releaseId)
{
    return base + "/release/" + releaseId + "/front-500";
}

TCoverArtFetch::TCoverArtFetch(const TMusicBrainzConfig& config, std::unique_ptr<THttpClient> http, QObject* parent)
    : QObject(parent), m_config(config), m_client(std::move(http))
{
    connect(&m_client, &TMbClient::logLine, this, &TCoverArtFetch::logLine);
    connect(&m_client, &TMbClient::requestSent, this, [this](const QString& url) {
        if (!m_config.HideData) emit logLine("[DE] GET " + url);
    });
}

bool TCoverArtFetch::start(const QString& releaseId)
{
    m_client.abort();
    const QString base = MbServerBase(m_config.CoverServer);
    if (base.isEmpty()) {
        emit logLine(tr("Invalid cover art server address \"%1\"").arg(m_config.CoverServer));
        return false;
    }
    if (!IsMbid(releaseId)) {
        emit logLine(tr("No cover: \"%1\" is no MusicBrainz release ID").arg(releaseId));
        return false;
    }
    m_client.setConfig(m_config);
    // The archive is not the web service: its requests are not paced.
    m_client.get(CoverArtUrl(base, releaseId), false, MaxImageBytes, [this](const TMbClient::TResult& r) {
        TResult result;
        using Kind = TMbClient::TResult::Kind;
        if (r.kind == Kind::TimedOut) {
            result.kind = TResult::Kind::TimedOut;
            result.Reason = r.Reason;
        } else if (r.kind == Kind::Failed) {
            result.Reason = r.Reason;
        } else if (r.Status == 404) {
            result.kind = TResult::Kind::None;
            result.Reason = tr("The release has no front cover");
        } else if (r.Status != 200) {
            result.Reason = r.Reason;
        } else if (!IsJpeg(r.Body)) {
            result.Reason = tr("The cover is no JPEG image");
        } else {
            result.kind = TResult::Kind::Found;
            result.Image = r.Body;
        }
        if (result.kind != TResult::Kind::Found) emit logLine(result.Reason);
        emit finished(result);
    });
    return true;
}

} // namespace cantorix
