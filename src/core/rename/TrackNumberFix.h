// The track-number fix: file names that hold a lone one-digit number get a "0" before that digit
// ("1 - Title.mp3" becomes "01 - Title.mp3"), so that they sort well. Looks at names only.
#pragma once

#include "core/rename/RenameJournal.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cantorix {

// The fixed name of one bare file name, or nothing when the name is left alone. A lone digit is one
// of 1 to 9 without a digit right before or after it. A name starting with a lone digit gets a
// leading "0"; otherwise the first lone digit from the second character up to the fourth-last
// character gets one (so the last three characters, normally the extension, are never looked at).
// At most one zero per name. Positions count characters, not bytes.
std::optional<std::string> FixedTrackName(const std::string& name);

// Runs the fix over the listed names of `folder` (rows in grid order; stops at the first empty
// name): every name with a fixed form is moved to it, never replacing an existing file, journaled in
// `journalDirectory` so that Undo reverses the fix (none when empty; when the journal cannot begin,
// nothing moves and its line is logged). Hands each log line to `log` in order: the opening line, one
// "Rename error:" line per failed move, the closing line. Returns the number of names that were to be
// fixed and were not. The caller rescans the folder afterwards.
int RunTrackNumberFix(const std::string& folder, const std::vector<std::string>& names,
                      const std::function<void(const std::string&)>& log,
                      const std::string& journalDirectory = TRenameJournal::defaultDirectory());

} // namespace cantorix
