#include "core/CoverFile.h"

#include "audio/IoResult.h"
#include "audio/Paths.h"
#include "audio/SafeWrite.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>

namespace cantorix {

bool IsJpeg(const QByteArray& bytes)
{
    return bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF;
}

TCoverSaveResult SaveCoverFile(const std::string& folder, const QByteArray& image, bool replace)
{
    TCoverSaveResult result;
    const std::string dir = withSlash(folder);
    const std::string target = dir + CoverFileName;
    const std::string previous = dir + PreviousCoverFileName;
    result.Path = QFile::decodeName(QByteArray::fromStdString(target));
    if (!IsJpeg(image)) {
        result.Reason = QCoreApplication::translate("MusicBrainz", "The cover is no JPEG image");
        return result;
    }
    const bool exists = entryExists(target);
    if (exists && (!replace || entryExists(previous))) {
        result.kind = TCoverSaveResult::Kind::Kept;
        if (replace)
            result.Reason = QCoreApplication::translate("MusicBrainz", "\"%1\" is in the way of the old cover")
                                .arg(QString::fromUtf8(PreviousCoverFileName));
        return result;
    }
    // The old image moves aside first; the new one is written complete and takes the name only while
    // it is free (the file layer's new-file route), so nothing that came meanwhile is replaced.
    if (exists) {
        if (IoResult aside = moveNoReplace(target, previous); !aside) {
            result.Reason = QString::fromStdString(aside.error);
            return result;
        }
        result.MovedPrevious = true;
    }
    if (IoResult written = writeNewFile(target, image.constData(), size_t(image.size())); !written) {
        // The old cover gets its name back. Should that fail too (an entry of its name came meanwhile),
        // it stays under the other name, and the user must hear where it is.
        if (result.MovedPrevious && moveNoReplace(previous, target)) result.MovedPrevious = false;
        if (written.code == EEXIST && !result.MovedPrevious) {
            result.kind = TCoverSaveResult::Kind::Kept;
            return result;
        }
        result.Reason = QString::fromStdString(written.error);
        if (result.MovedPrevious)
            result.Reason = QCoreApplication::translate("MusicBrainz", "%1; the old cover is now \"%2\"")
                                .arg(result.Reason, QString::fromUtf8(PreviousCoverFileName));
        return result;
    }
    result.kind = TCoverSaveResult::Kind::Saved;
    return result;
}

TCoverSaveResult SaveCoverImage(const QString& folder, const QByteArray& image)
{
    return SaveCoverFile(QFile::encodeName(folder).toStdString(), image, false);
}

} // namespace cantorix
