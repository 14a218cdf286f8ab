// Rename by tag: every listed file gets a proposed name built from its own tags by the name format
// (rename-by-tag variant); the user may change the proposals; then the files are moved, never onto an
// existing name. The window and cantorix-cli share this. Names are file-system bytes throughout, so a
// name that is not UTF-8 keeps its exact bytes.
#pragma once

#include "core/rename/NameFormat.h"
#include "core/rename/RenameJournal.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantorix {

// One file: its current bare name and the name it is to get. NewName == OldName means "leave it".
struct TTagProposal {
    std::string OldName;
    std::string NewName;
    bool NoNumber = false; // the name format places a track number and the tags give none
};

struct TRenameByTagOptions {
    std::string NameFormat = DefaultNameFormat;
    bool FixUnderScores = true;
    bool PortableNames = false; // names a FAT, exFAT or NTFS device takes
};

inline constexpr const char* TagRenameEndLine =
    QT_TRANSLATE_NOOP("Rename", "Finished tag-to-filename renaming. Refreshing folder...");

// The proposal for `name` in `folder` (with or without its "/"). A file whose format has no tags, or
// whose title, artist and album are all empty, keeps its name. A built name longer than the folder
// takes is fitted as the rename run fits its names (the longest values shortened first).
std::string ProposeTagName(const std::string& folder, const std::string& name, const TRenameByTagOptions& options);

// The track number a name takes from a tag's track text: the part before "/" ("1/15" gives "1"),
// trimmed; the name format then pads one digit ("01").
std::string TagTrackNumber(std::string_view trackText);

// The proposals for the listed files of `folder`, in order; stops at the first empty name.
std::vector<TTagProposal> ProposeTagNames(const std::string& folder, const std::vector<std::string>& names,
                                          const TRenameByTagOptions& options);

// A typed or edited name made ready for a move: trailing spaces and dots go. Nothing when it cannot
// name a file of the folder: empty, ".", "..", holding "/" or NUL, or a control character (below 32,
// or 127).
std::optional<std::string> CleanTypedName(std::string_view typed);

// The reason text of a refused typed name ("Invalid argument").
std::string InvalidNameReason();

struct TTagRenameOutcome {
    int moved = 0;
    int failed = 0;
};

// Moves each file to its proposed name, in order, never replacing an existing file, journaled in
// `journalDirectory` so that Undo reverses them (none when empty; when the journal cannot begin,
// nothing moves and `log` gets the reason). Every NewName is checked as a typed name first. A proposal
// equal to its old name byte for byte is skipped without a line (a letter-case change is a real move).
// Hands each failure to `log` as "Rename error: "<old name>" (<reason>)", then the closing line
// TagRenameEndLine. The caller rescans the folder.
TTagRenameOutcome RunRenameByTag(const std::string& folder, const std::vector<TTagProposal>& proposals,
                                 const std::function<void(const std::string&)>& log,
                                 const std::string& journalDirectory = TRenameJournal::defaultDirectory());

} // namespace cantorix
