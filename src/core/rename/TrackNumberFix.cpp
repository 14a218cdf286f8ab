#include "core/rename/TrackNumberFix.h"

#include "core/rename/JournaledMoves.h"
#include "core/rename/RenameLines.h"

namespace cantorix {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNonZeroDigit(char c) { return c >= '1' && c <= '9'; }

} // namespace

std::optional<std::string> FixedTrackName(const std::string& name)
{
    // Where each character starts. Digits are single bytes, so a character is a digit when its first
    // byte is one; the name's bytes are spliced, never re-encoded.
    std::vector<size_t> starts;
    for (size_t b = 0; b < name.size(); ++b)
        if (b == 0 || (static_cast<unsigned char>(name[b]) & 0xC0) != 0x80) starts.push_back(b);
    const size_t len = starts.size();
    if (len == 0) return std::nullopt;
    auto at = [&](size_t i) { return name[starts[i]]; }; // character at 0-based index i (position i + 1)

    if (isNonZeroDigit(at(0)) && (len == 1 || !isDigit(at(1)))) return "0" + name;
    if (len < 5) return std::nullopt;
    for (size_t i = 1; i + 3 < len; ++i) // positions 2 to len - 3
        if (isNonZeroDigit(at(i)) && !isDigit(at(i - 1)) && !isDigit(at(i + 1)))
            return name.substr(0, starts[i]) + "0" + name.substr(starts[i]);
    return std::nullopt;
}

int RunTrackNumberFix(const std::string& folder, const std::vector<std::string>& names,
                      const std::function<void(const std::string&)>& log, const std::string& journalDirectory)
{
    log(TrLine(FixStartLine));
    std::vector<TFileMove> moves;
    for (const std::string& name : names) {
        if (name.empty()) break;
        if (std::optional<std::string> fixed = FixedTrackName(name)) moves.push_back({name, *fixed});
    }
    const TMovesOutcome done = MoveFilesJournaled(folder, TJournalKind::TrackNumberFix, moves, log, journalDirectory);
    log(TrLine(FixEndLine));
    return done.Failed;
}

} // namespace cantorix
