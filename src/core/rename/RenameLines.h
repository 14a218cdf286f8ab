// The log lines of the renamers, in one place so that the window, the command line and the tests
// use the same texts.
#pragma once

#include <QtGlobal>

#include <initializer_list>
#include <string>
#include <string_view>

namespace cantorix {

// A line in the user's language: `text` through the translator (context "Rename"), then "%1" to "%9"
// replaced by `args` as they stand, so that names keep the file system's bytes. Callers mark their
// texts with QT_TRANSLATE_NOOP("Rename", ...) so that lupdate finds them.
std::string TrLine(const char* text, std::initializer_list<std::string_view> args = {});
// The same for a line about `n` things: "%n" is the number, and the translator picks the plural form.
std::string TrCountLine(const char* text, int n);

// "Rename error: "<old name>" (<reason>)": a file move that failed; the file keeps its name.
inline std::string RenameErrorLine(const std::string& oldName, const std::string& reason)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "Rename error: \"%1\" (%2)"), {oldName, reason});
}

inline std::string FolderExistsLine(const std::string& newPath)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "[Error] Folder \"%1\" already exists!"), {newPath});
}

inline std::string FolderRenameFailedLine(const std::string& reason)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "Failed to rename the folder: \"%1\""), {reason});
}

inline std::string TagErrorLine(const std::string& fileName, const std::string& reason)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "Tag error: \"%1\" (%2)"), {fileName, reason});
}

inline std::string PlaylistErrorLine(const std::string& reason)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "Playlist error: \"%1\""), {reason});
}

inline std::string NativeErrorLine(const std::string& what, const std::string& systemText)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "[ERROR] Native: \"%1\" System: \"%2\""), {what, systemText});
}

// A built name longer than the folder takes was cut to fit.
inline std::string NameShortenedLine(const std::string& newName)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "Name shortened to fit the file system: \"%1\""), {newName});
}

// The journal for undo could not be written before the first move: nothing is moved.
inline std::string JournalErrorLine(const std::string& reason)
{
    return TrLine(QT_TRANSLATE_NOOP("Rename", "Undo journal error: \"%1\" (nothing was renamed)"), {reason});
}

// The journal could not be extended during the run: it stops, and undo puts back what it moved.
inline std::string JournalStoppedLine(const std::string& reason)
{
    return TrLine(
        QT_TRANSLATE_NOOP("Rename", "Undo journal error: \"%1\" (the run stopped; undo puts back what it renamed)"),
        {reason});
}

// Files without a title (rows beyond the entry's titles) keep their names and tags.
inline std::string UntitledKeptLine(int files)
{
    return TrCountLine(QT_TRANSLATE_N_NOOP("Rename", "Files without a title kept their names: %n"), files);
}

// Fixed lines, marked for lupdate; shown through TrLine.
inline constexpr const char* FolderRenamedLine = QT_TRANSLATE_NOOP("Rename", "Folder successfully renamed");
inline constexpr const char* PlaylistCreatedLine = QT_TRANSLATE_NOOP("Rename", "Created playlist");
// Logged by whoever watches the run, once it has seen the done flag.
inline constexpr const char* RenamingFinishedLine = QT_TRANSLATE_NOOP("Rename", "Renaming finished");

inline constexpr const char* FixStartLine = QT_TRANSLATE_NOOP("Rename", "Attempting to fix track numbers...");
inline constexpr const char* FixEndLine = QT_TRANSLATE_NOOP("Rename", "Finished fixing track numbers. Refreshing...");

} // namespace cantorix
