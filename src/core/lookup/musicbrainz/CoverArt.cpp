#include "core/lookup/musicbrainz/CoverArt.h"

#include "audio/IoResult.h"
#include "audio/Paths.h"
#include "audio/SafeWrite.h"
#include "core/lookup/musicbrainz/ReleaseReply.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cerrno>
#include <unistd.h>

namespace cantorix {

QString CoverArtUrl(const QString& base, const QString& releaseId)
{
    return base + "/release/" + releaseId + "/front-500";
}

bool IsJpeg(const QByteArray& bytes)
{
    return bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF;
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

TCoverSaveResult SaveCoverImage(const QString& folder, const QByteArray& image)
{
    TCoverSaveResult result;
    const std::string dir = withSlash(folder.toStdString());
    const std::string target = dir + CoverFileName;
    result.Path = QString::fromStdString(target);
    if (!IsJpeg(image)) {
        result.Reason = QCoreApplication::translate("MusicBrainz", "The cover is no JPEG image");
        return result;
    }
    if (entryExists(target)) {
        result.kind = TCoverSaveResult::Kind::Kept;
        return result;
    }
    // Written complete under a temporary name of the file layer's pattern (a scan removes one left by
    // a crash), then moved to its name only if that is still free.
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string staged;
    for (int attempt = 0; attempt < 8 && (staged.empty() || entryExists(staged)); ++attempt) {
        staged = dir + "." + CoverFileName + kTemporaryMarker;
        for (int i = 0; i < 6; ++i) staged += alphabet[QRandomGenerator::global()->bounded(62)];
    }
    if (entryExists(staged)) {
        result.Reason = QString::fromStdString(errnoText(EEXIST));
        return result;
    }
    if (IoResult written = writeWholeFile(staged, image.constData(), size_t(image.size())); !written) {
        result.Reason = QString::fromStdString(written.error);
        return result;
    }
    if (IoResult moved = moveNoReplace(staged, target); !moved) {
        ::unlink(staged.c_str());
        if (moved.code == EEXIST) {
            result.kind = TCoverSaveResult::Kind::Kept;
            return result;
        }
        result.Reason = QString::fromStdString(moved.error);
        return result;
    }
    result.kind = TCoverSaveResult::Kind::Saved;
    return result;
}

} // namespace cantorix
