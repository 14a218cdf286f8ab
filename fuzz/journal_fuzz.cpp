// The undo journal read from hostile bytes: what is read is sound (bare names, a sibling folder, a
// playlist ending in ".m3u"), reads again the same once written, and undoing it in a dry run acts
// inside the album folder only.
#include "FuzzFile.h"
#include "core/rename/JournalUndo.h"

#include <string>
#include <string_view>

using namespace cantorix;

namespace {

bool bare(const std::string& n)
{
    return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos && n.find('\0') == std::string::npos;
}

bool same(const TRenameJournalData& a, const TRenameJournalData& b)
{
    if (a.Moves.size() != b.Moves.size()) return false;
    for (size_t i = 0; i < a.Moves.size(); ++i)
        if (a.Moves[i].From != b.Moves[i].From || a.Moves[i].To != b.Moves[i].To || a.Moves[i].Done != b.Moves[i].Done ||
            a.Moves[i].Inode != b.Moves[i].Inode || a.Moves[i].Undone != b.Moves[i].Undone)
            return false;
    return a.Kind == b.Kind && a.Folder == b.Folder && a.FolderInode == b.FolderInode && a.FolderAfter == b.FolderAfter &&
           a.FolderMoved == b.FolderMoved && a.Playlist == b.Playlist && a.PlaylistSha256 == b.PlaylistSha256 &&
           a.WroteTags == b.WroteTags && a.Finished == b.Finished && a.UndoStarted == b.UndoStarted;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TRenameJournalData d;
    size_t valid = 0;
    const bool read = ParseJournal(bytes, d, &valid);
    fuzzfile::check(valid <= size, "the trusted lines lie in the input");
    if (!read) return 0;
    fuzzfile::check(d.Folder.size() >= 2 && d.Folder.front() == '/' && d.Folder.back() == '/', "an absolute folder");
    for (const TJournalMove& m : d.Moves) fuzzfile::check(bare(m.From) && bare(m.To), "bare names");
    if (!d.FolderAfter.empty()) {
        const std::string parent = d.Folder.substr(0, d.Folder.rfind('/', d.Folder.size() - 2) + 1);
        const std::string name = d.FolderAfter.substr(parent.size(), d.FolderAfter.size() - parent.size() - 1);
        fuzzfile::check(d.FolderAfter.compare(0, parent.size(), parent) == 0 && bare(name) &&
                            d.FolderAfter.back() == '/',
                        "the folder's new name is a sibling");
    }
    if (!d.Playlist.empty())
        fuzzfile::check(bare(d.Playlist) && d.Playlist.size() > 4 &&
                            d.Playlist.compare(d.Playlist.size() - 4, 4, ".m3u") == 0,
                        "a playlist name");

    // What was read, written again, reads the same.
    TRenameJournalData again;
    fuzzfile::check(ParseJournal(JournalText(d), again) && same(d, again), "the record reads back");
    TRenameJournalData prefix;
    fuzzfile::check(ParseJournal(bytes.substr(0, valid), prefix) && same(d, prefix), "the trusted lines alone say it");

    // A dry run in a scratch album folder: nothing outside it is looked at for moves.
    if (d.Moves.size() <= 64) {
        const std::string album = fuzzfile::scratchFolder() + "/album/";
        d.Folder = album;
        const TUndoReport r = UndoRenameRun(d, album, true);
        fuzzfile::check(r.MovedBack + r.LeftAlone <= int(d.Moves.size()) + 2, "one step per move at most");
    }
    return 0;
}
