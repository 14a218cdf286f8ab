// An album's front cover as a file: folder.jpg in the album folder, written complete under a
// temporary name and moved to its name only while that is free, so that an image already there is
// never lost. A cover that replaces one (the user said yes) first moves the old one aside as
// folder.previous.jpg, where undo finds it again.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace cantorix {

inline constexpr const char* CoverFileName = "folder.jpg";
inline constexpr const char* PreviousCoverFileName = "folder.previous.jpg";

// True when `bytes` begin as a JPEG file does (FF D8 FF).
bool IsJpeg(const QByteArray& bytes);

struct TCoverSaveResult {
    enum class Kind {
        Saved,  // Path is the new file
        Kept,   // a file of that name was there already and was left as it was (Reason may say why)
        Failed, // Reason says why; nothing was left behind
    };
    Kind kind = Kind::Failed;
    QString Path;
    QString Reason;
    // Saved, or Failed when the old file could not get its name back: it is now folder.previous.jpg.
    bool MovedPrevious = false;
};

// Saves `image` (a JPEG) as folder.jpg in `folder` (file-system bytes, with or without its "/"). An
// entry of that name is kept unless `replace`; then it is moved to folder.previous.jpg first, which
// must be free (otherwise it is kept too). On a failure after that move the old file gets its name back;
// should that fail as well, the result is Failed with MovedPrevious set, and Reason names where it is.
TCoverSaveResult SaveCoverFile(const std::string& folder, const QByteArray& image, bool replace);
// The same for a folder given as text, never replacing.
TCoverSaveResult SaveCoverImage(const QString& folder, const QByteArray& image);

} // namespace cantorix
