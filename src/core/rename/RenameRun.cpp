#include "core/rename/RenameRun.h"

#include "audio/WriteTags.h"
#include "core/rename/NameFormat.h"
#include "core/rename/RenameLines.h"

#include <cerrno>
#include <exception>
#include <utility>

namespace cantorix {

namespace {

// The parent of a folder path that ends in "/", itself ending in "/".
std::string parentOf(const std::string& folder)
{
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    size_t slash = f.rfind('/');
    if (slash == std::string::npos) return std::string();
    return f.substr(0, slash + 1);
}

std::string withoutSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// A name built from values may hold a NUL, which would cut the path short in the system call; such a
// name is refused like any other invalid name.
bool holdsNul(const std::string& s) { return s.find('\0') != std::string::npos; }

} // namespace

TRenameRun::TRenameRun(std::string folder, std::vector<TRenameRow> rows, TAlbumData album,
                       TRenameOptions options)
    : m_folder(withSlash(std::move(folder))), m_album(std::move(album)), m_options(std::move(options)),
      m_tagWriter(WriteAudioTags)
{
    for (TRenameRow& row : rows) {
        if (row.FileName.empty()) break;
        m_rows.push_back(std::move(row));
    }
}

TRenameRun::~TRenameRun() { wait(); }

void TRenameRun::start()
{
    if (m_thread.joinable()) return;
    m_thread = std::thread([this] { run(); });
}

void TRenameRun::wait()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

std::vector<std::string> TRenameRun::takeLogLines()
{
    std::lock_guard<std::mutex> lock(m_logMutex);
    std::vector<std::string> lines;
    lines.swap(m_log);
    return lines;
}

std::string TRenameRun::folderToSelect() const
{
    return isDone() ? m_folderToSelect : std::string();
}

void TRenameRun::log(std::string line)
{
    std::lock_guard<std::mutex> lock(m_logMutex);
    m_log.push_back(std::move(line));
}

std::string TRenameRun::newNameFor(const TRenameRow& row, const std::string& preparedTemplate) const
{
    TNameValues v{m_album.Artist, m_album.Album, m_album.Year, row.Track, row.TrackNo};
    return BuildFileName(preparedTemplate, v, OldNameExtension(row.FileName), m_options.FixUnderScores,
                         TNameVariant::RenameRun);
}

std::vector<TRenamePlanItem> TRenameRun::plan() const
{
    std::string prepared = PrepareNameTemplate(m_options.NameFormat);
    std::vector<TRenamePlanItem> items;
    for (const TRenameRow& row : m_rows) items.push_back({row.FileName, newNameFor(row, prepared)});
    return items;
}

std::string TRenameRun::plannedFolderPath() const
{
    if (!m_options.RenameFolder) return std::string();
    return parentOf(m_folder) +
           BuildFolderName(m_album.Artist, m_album.Album, m_album.Year, m_options.FolderFormat) + "/";
}

std::string TRenameRun::playlistFileName() const
{
    if (!m_options.CreatePlaylist) return std::string();
    return BuildPlaylistName(m_album.Artist, m_album.Album) + ".m3u";
}

void TRenameRun::run()
{
    try {
        work();
    } catch (const std::exception& e) {
        log(NativeErrorLine(e.what(), errnoText(errno)));
    } catch (...) {
        log(NativeErrorLine("unknown exception", errnoText(errno)));
    }
    // Whatever happened, the watcher gets a folder to select and sees the run end.
    if (m_folderToSelect.empty()) m_folderToSelect = m_folder;
    m_done.store(true, std::memory_order_release);
}

void TRenameRun::work()
{
    m_folderToSelect.clear();
    const std::string prepared = PrepareNameTemplate(m_options.NameFormat);
    std::string playlist;

    m_currentRow.store(1, std::memory_order_relaxed);
    for (const TRenameRow& row : m_rows) {
        const std::string newName = newNameFor(row, prepared);
        IoResult moved;
        if (holdsNul(newName))
            moved = IoResult::fromErrno(EINVAL);
        else if (newName != row.FileName) // a file that already has its name needs no move
            moved = moveNoReplace(m_folder + row.FileName, m_folder + newName);

        if (!moved) {
            log(RenameErrorLine(row.FileName, moved.error));
        } else if (m_options.WriteTags && m_tagWriter && IsTagWritingExtension(newName)) {
            TTagValues values{row.Track, m_album.Artist, m_album.Album, m_album.Year, row.TrackNo, m_album.Genre};
            IoResult tagged;
            try {
                tagged = m_tagWriter(m_folder + newName, values);
            } catch (const std::exception& e) {
                tagged = IoResult::failure(e.what());
            } catch (...) {
                tagged = IoResult::failure("unknown error");
            }
            if (!tagged) log(TagErrorLine(newName, tagged.error));
        }
        // The playlist lists every row by its new name, moved or not.
        if (m_options.CreatePlaylist) playlist += newName + "\r\n";
        m_currentRow.fetch_add(1, std::memory_order_relaxed);
    }

    const std::string albumFolder = m_options.RenameFolder ? renameFolder() : m_folder;
    m_folderToSelect = albumFolder;

    if (m_options.CreatePlaylist) {
        IoResult written = writeWholeFile(albumFolder + playlistFileName(), playlist.data(), playlist.size());
        log(written ? std::string(PlaylistCreatedLine) : PlaylistErrorLine(written.error));
    }
}

// The folder step: returns the album folder afterwards (the old one unless the rename succeeded).
std::string TRenameRun::renameFolder()
{
    std::string name = BuildFolderName(m_album.Artist, m_album.Album, m_album.Year, m_options.FolderFormat);
    std::string newPath = parentOf(m_folder) + name + "/";
    // Also catches an empty name (the parent) and the folder's own name.
    if (directoryExists(newPath)) {
        log(FolderExistsLine(newPath));
        return m_folder;
    }
    IoResult moved = holdsNul(name) ? IoResult::fromErrno(EINVAL)
                                    : moveNoReplace(withoutSlash(m_folder), withoutSlash(newPath));
    if (!moved) {
        log(FolderRenameFailedLine(moved.error));
        return m_folder;
    }
    log(FolderRenamedLine);
    return newPath;
}

} // namespace cantorix
