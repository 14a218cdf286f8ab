// Name building from hostile values: the name a file is moved to, the folder's and the playlist's
// names. No name a run would move to may hold "/" or NUL, be empty, "." or "..", start with "." or
// pass the file system's limit; fitting never makes two different names one.
#include "FuzzFile.h"
#include "core/rename/NameFormat.h"

#include <string>
#include <string_view>
#include <vector>

using namespace cantorix;

namespace {

// The input's fields, split at 0x1F: format, artist, album, year, title, track number, old name.
std::vector<std::string> fields(const uint8_t* data, size_t size)
{
    std::vector<std::string> out(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1F && out.size() < 7) out.emplace_back();
        else out.back() += char(data[i]);
    }
    out.resize(7);
    return out;
}

void checkFileName(const std::optional<TFittedName>& n, size_t limit)
{
    if (!n) return;
    fuzzfile::check(IsUsableName(n->Name), "a usable name");
    fuzzfile::check(n->Name[0] != '.', "not hidden");
    fuzzfile::check(n->Name.size() <= limit, "within the limit");
    fuzzfile::check(n->Shortened || n->Name == n->Full, "only a shortened name differs from its full form");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const size_t limit = 8 + data[0];
    const bool fix = data[1] & 1;
    const TNameVariant variant = data[1] & 2 ? TNameVariant::RenameByTag : TNameVariant::RenameRun;
    const int folderFormat = (data[1] >> 2) % 7 - 1;
    std::vector<std::string> f = fields(data + 2, size - 2);
    // A file's own name never holds "/" or NUL.
    for (char& c : f[6])
        if (c == '/' || c == '\0') c = '_';

    const std::string prepared = PrepareNameTemplate(f[0]);
    const std::string ext = OldNameExtension(f[6]);
    TNameValues v{f[1], f[2], f[3], f[4], f[5]};
    const std::optional<TFittedName> a = BuildFittedFileName(prepared, v, ext, fix, variant, limit);
    checkFileName(a, limit);

    // A second row whose title differs only at its end: fitting must not make the two one name.
    TNameValues w = v;
    w.Title += "~2";
    std::vector<TFittedName> rows;
    if (a) rows.push_back(*a);
    if (std::optional<TFittedName> b = BuildFittedFileName(prepared, w, ext, fix, variant, limit)) {
        checkFileName(b, limit);
        rows.push_back(*b);
    }
    SeparateShortenedNames(rows, limit);
    for (const TFittedName& r : rows) checkFileName(r, limit);
    if (rows.size() == 2 && rows[0].Full != rows[1].Full && rows[1].Shortened && rows[0].Name == rows[1].Name)
        fuzzfile::check(rows[1].Name.size() + 6 > limit, "names the cut made one are told apart where room allows");

    // The folder's name: what the run would move the folder to, or a name its existence check refuses.
    const std::string folder = FitNameLength(BuildFolderName(f[1], f[2], f[3], folderFormat), limit);
    fuzzfile::check(folder.find('/') == std::string::npos && folder.find('\0') == std::string::npos,
                    "a folder name of one component");
    fuzzfile::check(IsUsableName(folder) || folder.empty() || folder == "." || folder == "..",
                    "a folder name is usable or refused as existing");
    const std::string playlist = FitNameLength(BuildPlaylistName(f[1], f[2]) + ".m3u", limit);
    fuzzfile::check(IsUsableName(playlist), "a usable playlist name");
    return 0;
}
