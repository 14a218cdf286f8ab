#include "core/rename/RenameByTag.h"

#include "audio/FileIO.h"
#include "audio/FileInfo.h"
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

std::string proposeOne(const std::string& dir, const std::string& name, const std::string& preparedTemplate,
                       const TRenameByTagOptions& options, size_t limit)
{
    bool proposes = false;
    const TFileInfoValues tags = ReadNameTagValues(dir + name, &proposes);
    // Untagged files keep their names rather than all becoming "- - -.ext".
    if (!proposes || (tags.Title.empty() && tags.Artist.empty() && tags.Album.empty())) return name;
    TNameValues values;
    values.Artist = tags.Artist;
    values.Album = tags.Album;
    values.Year = tags.Year;
    values.Title = tags.Title;
    values.TrackNo = tags.Track;
    std::string built = BuildFileName(preparedTemplate, values, OldNameExtension(name), options.FixUnderScores,
                                      TNameVariant::RenameByTag);
    // The cleaning replaced every "/", so this keeps the whole name; it guards the folder all the same.
    if (const size_t slash = built.rfind('/'); slash != std::string::npos) built.erase(0, slash + 1);
    built = FitNameLength(built, limit);
    return CleanTypedName(built).value_or(name);
}

} // namespace

std::string ProposeTagName(const std::string& folder, const std::string& name, const TRenameByTagOptions& options)
{
    const std::string dir = withSlash(folder);
    return proposeOne(dir, name, PrepareNameTemplate(options.NameFormat), options, nameLimit(dir));
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
        proposals.push_back({name, proposeOne(dir, name, prepared, options, limit)});
    }
    return proposals;
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
                                 const std::function<void(const std::string&)>& log)
{
    const std::string dir = withSlash(folder);
    TTagRenameOutcome outcome;
    for (const TTagProposal& p : proposals) {
        const std::optional<std::string> target = CleanTypedName(p.NewName);
        if (!target) {
            ++outcome.failed;
            log(RenameErrorLine(p.OldName, InvalidNameReason()));
            continue;
        }
        // A no-replace move onto itself would fail with "File exists": the file already has its name.
        if (*target == p.OldName) continue;
        IoResult moved = moveNoReplace(dir + p.OldName, dir + *target);
        if (moved) {
            ++outcome.moved;
        } else {
            ++outcome.failed;
            log(RenameErrorLine(p.OldName, moved.error));
        }
    }
    log(TagRenameEndLine);
    return outcome;
}

} // namespace cantorix
