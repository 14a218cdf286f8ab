// Records of the first version: one JSON document per run, rewritten after every step. They are read
// once and become records of this version.
#pragma once

#include "core/rename/JournalFormat.h"

#include <string>

namespace cantorix::journal {

// A record of the first version read: false when it is not one or names what undo may not act on.
bool fromLegacyJson(const std::string& bytes, TRenameJournalData& d);
// Records of the first version in `directory` become records of this one, under the keys of both their
// folders. Unreadable ones were never followed and go too.
void migrateLegacy(const std::string& directory);

} // namespace cantorix::journal
