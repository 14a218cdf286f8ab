#include "core/rename/RenameByTag.h"

#include "audio/Paths.h"
#include "audio/FileInfo.h"
#include "audio/TagText.h"
#include "core/rename/JournaledMoves.h"
#include "core/rename/RenameLines.h"

#include <cerrno>
#include <unistd.h>

namespace cantorix {

namespace {

size_t nameLimit(const std::string& folder)
{
    long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? size_t(limit) : 255;
}

TTagProposal proposeOne(const std::string& dir, const std::string& name, const std::string& preparedTemplate,
                         const TRenameByTagOptions& options, size_t limit)
{
    TTagProposal p{name, name, false};
    bool proposes = false;
    const TFileInfoValues tags = ReadNameTagValues(dir + name, &proposes);
    // Untagged files keep their names rather than all becoming "- - -.ext".
    if (!proposes || (tags.Title.empty() && tags.Artist.empty() && tags.Album.empty())) return p;
    TNameValues values;
    values.Artist = tags.Artist;
    values.Album = tags.Album;
    values.Year = tags.Year;
    values.Title = tags.Title;
    values.TrackNo = TagTrackNumber(tags.Track);
    std::optional<TFittedName> built = BuildFittedFileName(preparedTemplate, values, OldNameExtension(name),
                                                           options.FixUnderScores, TNameVariant::RenameByTag, limit,
                                                           options.PortableNames);
    if (!built) return p;
    // The cleaning replaced every "/", so this keeps the whole name; it guards the folder all the same.
    std::string n = built->Name;
    if (const size_t slash = n.rfind('/'); slash != std::string::npos) n.erase(0, slash + 1);
    p.NewName = CleanTypedName(n).value_or(name);
    p.NoNumber = values.TrackNo.empty() && preparedTemplate.find("$#$") != std::string::npos && p.NewName != name;
    return p;
}

} // namespace

std::string ProposeTagName(const std::string& folder, const std::string& name, const TRenameByTagOptions& options)
{
    const std::string dir = withSlash(folder);
    return proposeOne(dir, name, PrepareNameTemplate(options.NameFormat), options, nameLimit(dir)).NewName;
}

std::vector<TTagProposal> ProposeTagNames(const std::string& folder, const std::vector<std::string>& names,
                                          const TRenameByTagOptions& options)
{
    const std::string dir = withSlash(folder);
    const std::string prepared = PrepareNameTemplate(options.NameFormat);
    const size_t limit = nameLimit(dir);
    std::vector<TTagProposal> proposals;
    for (const std::string& name : names) {
        if (name.empty()) break;
        proposals.push_back(proposeOne(dir, name, prepared, options, limit));
    }
    return proposals;
}

std::string TagTrackNumber(std::string_view trackText)
{
    std::string number(trackText.substr(0, trackText.find('/')));
    return trimBlanks(number);
}

std::optional<std::string> CleanTypedName(std::string_view typed)
{
    std::string name(typed);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    // "." and ".." end in dots, so they are empty now.
    if (name.empty()) return std::nullopt;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || u < 32 || u == 127) return std::nullopt; // NUL included
    }
    return name;
}

std::string InvalidNameReason() { return errnoText(EINVAL); }

TTagRenameOutcome RunRenameByTag(const std::string& folder, const std::vector<TTagProposal>& proposals,
                                 const std::function<void(const std::string&)>& log,
                                 const std::string& journalDirectory)
{
    std::vector<TFileMove> moves;
    for (const TTagProposal& p : proposals) {
        const std::optional<std::string> target = CleanTypedName(p.NewName);
        // A no-replace move onto itself would fail with "File exists": the file already has its name.
        moves.push_back({p.OldName, target.value_or(std::string()), target.has_value()});
    }
    const TMovesOutcome done = MoveFilesJournaled(folder, TJournalKind::RenameByTag, moves, log, journalDirectory);
    log(TrLine(TagRenameEndLine));
    return {done.Moved, done.Failed};
}

} // namespace cantorix
